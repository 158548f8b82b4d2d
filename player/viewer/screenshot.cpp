// Screenshots: the picture of the frame about to be presented (its 4:3 rectangle in the
// drawable) as a PNG in the user's pictures folder, named by its song position.
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include "gfx/gfx.h"
#include "platform/interface/utf8_paths.h"
#include "player/capture/capture.h"
#include "player/viewer/viewer.h"

namespace {
constexpr int kMaxSameNames = 1000;  // screenshots of one song position kept side by side
constexpr const char kPicturesKey[] = "XDG_PICTURES_DIR=";

#ifndef _WIN32
// The pictures folder the desktop keeps in user-dirs.dirs (a line XDG_PICTURES_DIR="$HOME/..."
// or ="/..."), $HOME replaced by home; empty when the file or the line is missing.
std::string PicturesFromUserDirs(const std::string& home) {
    std::string config = utf8::Environment("XDG_CONFIG_HOME");
    if (config.empty()) config = home + "/.config";
    std::ifstream file(config + "/user-dirs.dirs");
    std::string line;
    while (std::getline(file, line)) {
        const size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, sizeof kPicturesKey - 1, kPicturesKey) != 0) continue;
        std::string value = line.substr(start + sizeof kPicturesKey - 1);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
        if (!value.empty() && value.front() == '/') return value;
    }
    return "";
}
#endif
}  // namespace

std::string PicturesFolder() {
    const std::string pictures = utf8::Environment("XDG_PICTURES_DIR");
    if (!pictures.empty()) return pictures;
#ifdef _WIN32
    const std::string known = utf8::KnownPicturesFolder();
    return known.empty() ? "." : known;
#else
    std::string home = utf8::Environment("HOME");
    if (home.empty()) home = ".";
    const std::string desktops = PicturesFromUserDirs(home);
    return desktops.empty() ? home + "/Pictures" : desktops;
#endif
}

bool TakeScreenshot(int order, int row, std::string* path, std::string* error) {
    int x = 0, y = 0, width = 0, height = 0;
    if (!host::PictureRect(&x, &y, &width, &height)) {
        *error = "nothing is drawn yet";
        return false;
    }
    const std::string folder = PicturesFolder();
    if (utf8::MakeFolder(folder) != 0 && errno != EEXIST) {
        *error = "cannot make the folder " + folder + ": " + std::strerror(errno);
        return false;
    }
    // The drawable up to the picture's far corner, then the picture's rows cut out of it.
    const int readWidth = x + width, readHeight = y + height;
    std::vector<uint8_t> drawable(size_t(readWidth) * readHeight * 4);
    ReadBackFrame(readWidth, readHeight, drawable.data());
    std::vector<uint8_t> picture(size_t(width) * height * 4);
    for (int line = 0; line < height; ++line)
        std::memcpy(&picture[size_t(line) * width * 4], &drawable[(size_t(y + line) * readWidth + x) * 4],
                    size_t(width) * 4);
    char name[64];
    for (int copy = 1; copy <= kMaxSameNames; ++copy) {
        if (copy == 1) std::snprintf(name, sizeof name, "%corangefunk-%02d-%03d.png", kFolderSeparator, order, row);
        else std::snprintf(name, sizeof name, "%corangefunk-%02d-%03d-%d.png", kFolderSeparator, order, row, copy);
        if (!utf8::Exists(folder + name)) break;
    }
    *path = folder + name;
    return WriteFramePng(path->c_str(), width, height, picture.data(), error);
}
