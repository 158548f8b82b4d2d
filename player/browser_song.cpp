// The song as the page shows it before and while the show plays: when each order starts,
// how long the show is, and where its parts begin, for the start screen and the seek bar.
#include <emscripten.h>

#include <cstdio>
#include <string>
#include <vector>

#include "player/player.h"
#include "player/viewer.h"

namespace {
// The parts starting at kPartStartOrders, named on the page's seek bar.
constexpr const char* kPartNames[] = {"Title",         "Morphing ball", "Snaking tube", "Spinning spiral",
                                      "Toy scene",     "Infinite zoom", "Greetings",    "Final scene"};
static_assert(sizeof kPartNames / sizeof kPartNames[0] == kPartCount, "a name for every part");
}  // namespace

// The song as the page's start screen and seek bar show it, as JSON: "orders", the second
// at which each order starts, then the song's length; "rows", each order's rows; "end",
// the order the show ends at; "parts", each part's first order and name. Empty when the
// song cannot be read.
extern "C" EMSCRIPTEN_KEEPALIVE const char* PageSong() {
    static std::string json;
    std::vector<int> rows;
    std::vector<double> seconds;
    std::string error;
    if (!host::ReadSong(kSongFile, &rows, &error, &seconds)) return "";
    char number[32];
    json = "{\"orders\":[";
    for (size_t i = 0; i < seconds.size(); ++i) {
        std::snprintf(number, sizeof number, "%s%.3f", i > 0 ? "," : "", seconds[i]);
        json += number;
    }
    json += "],\"rows\":[";
    for (size_t i = 0; i < rows.size(); ++i) json += (i > 0 ? "," : "") + std::to_string(rows[i]);
    json += "],\"end\":" + std::to_string(kShowEndOrder) + ",\"parts\":[";
    for (int i = 0; i < kPartCount; ++i)
        json += std::string(i > 0 ? "," : "") + "[" + std::to_string(kPartStartOrders[i]) + ",\"" + kPartNames[i] + "\"]";
    json += "]}";
    return json.c_str();
}
