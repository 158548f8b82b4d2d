// Locations of test data, fixed at configure time and overridable from the environment.
#include "tests/support/test_paths.h"

#include <unistd.h>

#include <cstdlib>
#include <sys/stat.h>

std::string TestDataDir() {
    if (const char* env = std::getenv("ORANGEFUNK_TESTDATA")) return env;
    return ORANGEFUNK_TESTDATA_DIR;
}

std::string ShowDataDir() {
    if (const char* env = std::getenv("ORANGEFUNK_DATA")) return env;
    return ORANGEFUNK_DATA_DIR;
}

std::string MissingShowData() {
    for (const char* name : {"spiral.3ds", "ball2116.3ds", "striber.3ds", "toyscene.3ds", "toypush1.3ds",
                             "purple.3ds", "hjerte~1.3ds", "logoenv.png", "funk.it"}) {
        const std::string path = ShowDataDir() + "/" + name;
        if (access(path.c_str(), R_OK) != 0) return "show data missing: " + path + " (build the data target)";
    }
    return "";
}

bool DirExists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}
