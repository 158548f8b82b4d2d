// Locations of test data, fixed at configure time and overridable from the environment.
#include "tests/support/test_paths.h"

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

bool DirExists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}
