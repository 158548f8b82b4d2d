// Options checked against what the show and the machine can do, before any window, sound or
// rendering starts: song positions against the song itself, output paths against the
// file system, play on a screen against the display the environment names.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/interface/utf8_paths.h"
#include "player/capture/capture_formats.h"
#include "player/player.h"

namespace {

// Orders the show can reach: the song's orders up to the first that names no pattern (its
// end), and never past the show's end.
int ShownOrders(const std::vector<int>& rowsPerOrder) {
    const int songOrders = int(std::find(rowsPerOrder.begin(), rowsPerOrder.end(), 0) - rowsPerOrder.begin());
    return std::min(songOrders, kShowEndOrder);
}

std::string Position(int order, int row) { return std::to_string(order) + ":" + std::to_string(row); }

// False with the reason when folder is not an existing folder this process can write in.
bool WritableFolder(const std::string& option, const std::string& folder, std::string* error) {
    if (!utf8::IsFolder(folder)) {
        *error = option + ": there is no folder " + folder;
        return false;
    }
    if (utf8::Access(folder, W_OK | X_OK) != 0) {
        *error = option + ": cannot write in the folder " + folder + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

// The folder part of path: "." when it has none.
std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of(kFolderSeparators);
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
// True when the environment variable name is set and not empty.
bool Named(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}
#endif

}  // namespace

bool CheckSongPositions(const PlayOptions& options, const std::vector<int>& rowsPerOrder, std::string* error) {
    const int orders = ShownOrders(rowsPerOrder);
    const std::string range = orders > 0 ? "orders 0 to " + std::to_string(orders - 1) : "no orders";
    if (options.fromOrder >= orders) {
        *error = "--from: the song has " + range + ", not order " + std::to_string(options.fromOrder);
        return false;
    }
    if (options.toGiven) {
        const SongPosition& to = options.to;
        // The show's end (order 33 row 0) is the latest place to end.
        if (to.order > orders || (to.order == orders && to.row > 0)) {
            *error = "--to: " + Position(to.order, to.row) + " is past the show's end: the song has " + range;
            return false;
        }
        if (to.order < orders && to.row >= rowsPerOrder[to.order]) {
            *error = "--to: " + Position(to.order, to.row) + ": order " + std::to_string(to.order) + " has rows 0 to " +
                     std::to_string(rowsPerOrder[to.order] - 1);
            return false;
        }
        if (PositionKey(to.order, to.row) <= PositionKey(options.fromOrder, 0)) {
            *error = "--to: " + Position(to.order, to.row) + " is not after --from " +
                     std::to_string(options.fromOrder) + ", where the show starts";
            return false;
        }
    }
    for (int i = 0; i < options.atCount; ++i) {
        const SongPosition& at = options.at[i];
        if (at.order >= orders) {
            *error = "--at: " + Position(at.order, at.row) + " is past the show's end: the song has " + range;
            return false;
        }
        if (at.row >= rowsPerOrder[at.order]) {
            *error = "--at: " + Position(at.order, at.row) + ": order " + std::to_string(at.order) + " has rows 0 to " +
                     std::to_string(rowsPerOrder[at.order] - 1);
            return false;
        }
        if (PositionKey(at.order, at.row) >= PositionKey(options.to.order, options.to.row)) {
            *error = "--at: " + Position(at.order, at.row) + " is not before --to " +
                     Position(options.to.order, options.to.row) + ", where the show ends, so it is never shown";
            return false;
        }
        if (at.order < options.fromOrder) {
            *error = "--at: " + Position(at.order, at.row) + " comes before --from " +
                     std::to_string(options.fromOrder) + ", where the show starts, so it is never shown";
            return false;
        }
    }
    return true;
}

bool CheckOutputs(const PlayOptions& options, std::string* error) {
    if (options.capturePath != nullptr && kNoCaptureEncoders != nullptr) {
        *error = kNoCaptureEncoders;
        return false;
    }
    if (options.capturePath != nullptr) {
        if (utf8::IsFolder(options.capturePath)) {
            *error = std::string("--capture: ") + options.capturePath + " is a folder, not a file name";
            return false;
        }
        if (!WritableFolder("--capture", FolderOf(options.capturePath), error)) return false;
    }
    if (options.framesDir != nullptr) {
        // A folder that is not there yet is made in one step, inside its parent.
        const bool exists = utf8::Exists(options.framesDir);
        std::string folder = options.framesDir;
        while (folder.size() > 1 && std::strchr(kFolderSeparators, folder.back())) folder.pop_back();
        if (!WritableFolder("--frames", exists ? folder : FolderOf(folder), error)) return false;
    }
    return true;
}

bool CheckScreen(const PlayOptions& options, std::string* error) {
    if (options.capturePath != nullptr || options.framesDir != nullptr) return true;  // off screen
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
    const char* offScreen = "--capture FILE and --frames DIR --at POSITIONS play without one";
    // A Wayland display, or a video driver the user chose for SDL, is taken at its word.
    if (Named("WAYLAND_DISPLAY") || Named("SDL_VIDEODRIVER")) return true;
    if (Named("DISPLAY")) {
        if (host::XDisplayOpens()) return true;
        *error = std::string("cannot open X display ") + std::getenv("DISPLAY") + " (DISPLAY): nobody serves it; " +
                 offScreen;
        return false;
    }
    *error = std::string("there is no display to play on (DISPLAY and WAYLAND_DISPLAY are not set); ") + offScreen;
    return false;
#else
    (void)error;  // Windows and the page always have a screen
    return true;
#endif
}
