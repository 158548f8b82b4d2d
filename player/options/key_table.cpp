// The viewer's keys, as the builds handle them: the table --help and the manual page print.
#include "player/options/key_table.h"

#include <iterator>

// On the page, F and Alt+Enter are the page's own (the browser's full screen), S hands the
// frame to the browser as a download, and Escape stops the show with Play to start it again.
const PlayKey kPlayKeys[] = {
    {"Space", nullptr, "pause and resume (music and picture hold; Escape still ends)", "pause", kEveryBuild},
    {"Left, Right", nullptr, "back to the start of the part (or of the one before), on to the next", "part",
     kEveryBuild},
    {"PageUp, PageDown", "Shift+Left, Shift+Right", "one song order back or on", "order", kEveryBuild},
    {"Home", nullptr, "from the beginning", "start", kEveryBuild},
    {"M", nullptr, "mute, and the sound again", "mute", kEveryBuild},
    {"+, -", nullptr, "volume up or down", "volume", kEveryBuild},
    {"F", "Alt+Enter", "full screen on and off", "full screen", kEveryBuild},
    {"S", "F12", "the frame as orangefunk-OO-RRR.png in the pictures folder (xdg-user-dir PICTURES)", nullptr,
     kLinuxBuild},
    {"S", "F12", "the frame as orangefunk-OO-RRR.png in your Pictures folder", nullptr, kWindowsBuild},
    {"S", "F12", "the frame as orangefunk-OO-RRR.png, downloaded", "screenshot", kPageBuild},
    {"Tab", nullptr, "overlay on and off: part, song position, frames per second, frame-time graph", "overlay",
     kEveryBuild},
    {"Escape", nullptr, "end the show", nullptr, kLinuxBuild | kWindowsBuild},
    {"Escape", nullptr, "stop the show; Play starts it again", "stop", kPageBuild},
};
const int kPlayKeyCount = int(std::size(kPlayKeys));

std::string KeyNames(const PlayKey& key) {
    return std::string(key.keys) + (key.also != nullptr ? std::string(", ") + key.also : "");
}
