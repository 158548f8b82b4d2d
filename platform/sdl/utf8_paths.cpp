// UTF-8 paths on POSIX (the native and browser builds): the system takes the bytes as they are.
#include "platform/interface/utf8_paths.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace utf8 {

std::vector<std::string> Arguments(int argc, char** argv) { return std::vector<std::string>(argv + 1, argv + argc); }

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::filesystem::path ProgramFile(std::error_code* status) {
    return std::filesystem::read_symlink("/proc/self/exe", *status);
}

std::filesystem::path Path(const std::string& text) { return text; }
std::string Text(const std::filesystem::path& path) { return path.string(); }

FILE* OpenFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }
int Access(const std::string& path, int mode) { return access(path.c_str(), mode); }

bool IsFolder(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Exists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

int MakeFolder(const std::string& path) { return mkdir(path.c_str(), 0777); }
int CreateUniqueFile(char* pathTemplate, int suffixLength) { return mkstemps(pathTemplate, suffixLength); }
int RemoveFile(const std::string& path) { return unlink(path.c_str()); }
std::string KnownPicturesFolder() { return ""; }

}  // namespace utf8
