// Files finished safely: made under a hidden temporary name beside the final one, listed
// as leftovers while incomplete, and renamed into place (atomically, same folder) when done.
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/interface/utf8_paths.h"
#include "player/capture/leftovers.h"
#include "player/player.h"

std::string CreateTemporaryBeside(const std::string& finalPath, std::string* error) {
    const size_t slash = finalPath.find_last_of(kFolderSeparators);
    const std::string folder = slash == std::string::npos ? "" : finalPath.substr(0, slash + 1);
    const std::string name = finalPath.substr(folder.size());
    const size_t dot = name.rfind('.');
    const std::string extension = dot == std::string::npos || dot == 0 ? "" : name.substr(dot);
    std::string path = folder + "." + name.substr(0, name.size() - extension.size()) + ".partial-XXXXXX" + extension;
    std::unique_lock<std::mutex> hold = Leftovers::Hold();
    const int fd = utf8::CreateUniqueFile(path.data(), int(extension.size()));
    if (fd < 0) {
        *error = "cannot write in the folder of " + finalPath + ": " + std::strerror(errno);
        return "";
    }
    // mkstemps makes it private; a finished file gets the usual permissions.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    Leftovers::AddFile(path);
    return path;
}

bool FinishFile(const std::string& temporary, const std::string& finalPath, std::string* error) {
    std::unique_lock<std::mutex> hold = Leftovers::Hold();
    std::error_code status;  // replaces a file of that name (Windows' rename would refuse)
    std::filesystem::rename(utf8::Path(temporary), utf8::Path(finalPath), status);
    if (status) {
        *error = "cannot rename " + temporary + " to " + finalPath + ": " + status.message();
        utf8::RemoveFile(temporary);
        Leftovers::Forget(temporary);
        return false;
    }
    Leftovers::Forget(temporary);
    return true;
}

void DropFile(const std::string& temporary) {
    std::unique_lock<std::mutex> hold = Leftovers::Hold();
    utf8::RemoveFile(temporary);
    Leftovers::Forget(temporary);
}
