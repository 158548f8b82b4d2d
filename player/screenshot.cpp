// Screenshots: the picture of the frame about to be presented (its 4:3 rectangle in the
// drawable) as a PNG in the user's pictures folder, named by its song position.
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gfx/gfx.h"
#include "player/capture.h"
#include "player/viewer.h"

namespace {
constexpr int kMaxSameNames = 1000;  // screenshots of one song position kept side by side
}  // namespace

std::string PicturesFolder() {
    const char* pictures = std::getenv("XDG_PICTURES_DIR");
    if (pictures != nullptr && *pictures != '\0') return pictures;
    const char* home = std::getenv("HOME");
#ifdef _WIN32
    if (home == nullptr || *home == '\0') home = std::getenv("USERPROFILE");  // C:\Users\NAME
#endif
    return std::string(home != nullptr && *home != '\0' ? home : ".") + "/Pictures";
}

bool TakeScreenshot(int order, int row, std::string* path, std::string* error) {
    int x = 0, y = 0, width = 0, height = 0;
    if (!host::PictureRect(&x, &y, &width, &height)) {
        *error = "nothing is drawn yet";
        return false;
    }
    const std::string folder = PicturesFolder();
    if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
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
        if (copy == 1) std::snprintf(name, sizeof name, "/orangefunk-%02d-%03d.png", order, row);
        else std::snprintf(name, sizeof name, "/orangefunk-%02d-%03d-%d.png", order, row, copy);
        struct stat existing {};
        if (stat((folder + name).c_str(), &existing) != 0) break;
    }
    *path = folder + name;
    return WriteFramePng(path->c_str(), width, height, picture.data(), error);
}
