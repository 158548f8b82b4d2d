// The song as the page shows it before and while the show plays: when each order starts,
// how long the show is, and where its parts begin, for the start screen and the seek bar.
#include <emscripten.h>

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "parts/part_table.h"
#include "player/player.h"

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
    for (int i = 0; i < kPartCount; ++i) {
        std::string name = kShowParts[i].name;
        name[0] = char(std::toupper(static_cast<unsigned char>(name[0])));  // as a title on the seek bar
        json += std::string(i > 0 ? "," : "") + "[" + std::to_string(PartStartOrder(i)) + ",\"" + name + "\"]";
    }
    json += "]}";
    return json.c_str();
}
