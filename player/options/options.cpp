// Command-line options of the player: the options' table, its parser and the --help text.
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <strings.h>

#include "player/capture/capture_formats.h"
#include "player/options/key_table.h"
#include "player/options/option_table.h"
#include "player/player.h"

namespace {

// The last song order a show can start at.
constexpr int kLastStartOrder = kShowEndOrder - 1;
constexpr int kMaxSongField = 0xFFFF;  // order and row are 16-bit fields of the sync data
constexpr int kMaxSide = 8192;         // largest width or height accepted for --size

// Parses a whole decimal number in [low, high]; false for anything else.
bool ParseNumber(const char* text, int low, int high, int* value) {
    if (*text < '0' || *text > '9') return false;
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || parsed < low || parsed > high) return false;
    *value = int(parsed);
    return *end == '\0';
}

// Parses "A<separator>B" into two numbers in [low, high].
bool ParsePair(const char* text, char separator, int low, int high, int* a, int* b) {
    const char* split = std::strchr(text, separator);
    if (split == nullptr) return false;
    const std::string first(text, split);
    return ParseNumber(first.c_str(), low, high, a) && ParseNumber(split + 1, low, high, b);
}

// Parses "ORDER:ROW[,ORDER:ROW...]" into options->at.
bool ParsePositions(const char* text, PlayOptions* options, std::string* error) {
    std::string list(text);
    size_t start = 0;
    for (;;) {
        const size_t comma = list.find(',', start);
        const std::string item = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        SongPosition position{};
        if (!ParsePair(item.c_str(), ':', 0, kMaxSongField, &position.order, &position.row)) {
            *error = "--at: \"" + item + "\" is not ORDER:ROW";
            return false;
        }
        if (options->atCount == kMaxFramePositions) {
            *error = "--at: more than " + std::to_string(kMaxFramePositions) + " positions";
            return false;
        }
        options->at[options->atCount++] = position;
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

// Parses "ORDER[:ROW]" (row 0 when left out) into position.
bool ParsePosition(const char* text, SongPosition* position) {
    position->row = 0;
    if (std::strchr(text, ':') == nullptr) return ParseNumber(text, 0, kMaxSongField, &position->order);
    return ParsePair(text, ':', 0, kMaxSongField, &position->order, &position->row);
}

// The capture qualities by name, in CaptureQuality's order.
constexpr const char* kQualityNames[] = {"fast", "small", "lossless"};

// False, with "OPTION needs WHAT" in error, when an option's value is empty.
bool NonEmpty(const std::string& option, const char* value, const char* what, std::string* error) {
    if (*value != '\0') return true;
    *error = option + " needs " + what;
    return false;
}

// The handlers of the options' table: each puts its option's value into options.

template <bool PlayOptions::*field>
bool SetFlag(const char*, PlayOptions* options, std::string*) {
    options->*field = true;
    return true;
}

bool ApplySize(const char* value, PlayOptions* options, std::string* error) {
    if (!ParsePair(value, 'x', 1, kMaxSide, &options->width, &options->height)) {
        *error = std::string("--size: \"") + value + "\" is not WxH (1 to " + std::to_string(kMaxSide) + ")";
        return false;
    }
    options->sizeGiven = true;
    return true;
}

bool ApplyFrom(const char* value, PlayOptions* options, std::string* error) {
    if (ParseNumber(value, 0, kLastStartOrder, &options->fromOrder)) return true;
    *error = std::string("--from: \"") + value + "\" is not an order from 0 to " + std::to_string(kLastStartOrder);
    return false;
}

bool ApplyTo(const char* value, PlayOptions* options, std::string* error) {
    if (!ParsePosition(value, &options->to)) {
        *error = std::string("--to: \"") + value + "\" is not ORDER or ORDER:ROW";
        return false;
    }
    options->toGiven = true;
    return true;
}

bool ApplyCapture(const char* value, PlayOptions* options, std::string* error) {
    if (!NonEmpty("--capture", value, "a file name", error)) return false;
    if (FindCaptureFormat(value) == nullptr) {
        *error = std::string("--capture: \"") + value + "\" is not a file type the capture writes: name it " +
                 kCaptureTypes;
        return false;
    }
    options->capturePath = value;
    return true;
}

bool ApplyQuality(const char* value, PlayOptions* options, std::string* error) {
    int found = -1;
    for (int q = 0; q < 3; ++q)
        if (std::strcmp(value, kQualityNames[q]) == 0) found = q;
    if (found < 0) {
        *error = std::string("--quality: \"") + value + "\" is not fast, small or lossless";
        return false;
    }
    options->quality = CaptureQuality(found);
    options->qualityGiven = true;
    return true;
}

bool ApplyFrames(const char* value, PlayOptions* options, std::string* error) {
    if (!NonEmpty("--frames", value, "a folder", error)) return false;
    options->framesDir = value;
    return true;
}

bool ApplyData(const char* value, PlayOptions* options, std::string* error) {
    if (!NonEmpty("--data", value, "a folder", error)) return false;
    options->dataDir = value;
    return true;
}

// The option spelled name (either spelling); null for none.
const PlayOption* FindOption(const std::string& name) {
    for (int i = 0; i < kPlayOptionCount; ++i) {
        const PlayOption& option = kPlayOptions[i];
        if (name == option.name || (option.alias != nullptr && name == option.alias)) return &option;
    }
    return nullptr;
}

// False with the reason when options that were each read well do not go together.
bool CheckCombinations(const PlayOptions& options, std::string* error) {
    const bool offScreen = options.capturePath != nullptr || options.framesDir != nullptr;
    if (options.window && offScreen) {
        *error = "--window cannot be combined with --capture or --frames (they render off screen)";
        return false;
    }
    if (options.loop && offScreen) {
        *error = "--loop cannot be combined with --capture or --frames (they end with the show)";
        return false;
    }
    if (options.sizeGiven && !options.window && !offScreen) {
        *error = "--size needs --window, --capture or --frames (full-screen play covers the whole monitor)";
        return false;
    }
    if (options.qualityGiven && options.capturePath == nullptr) {
        *error = "--quality needs --capture";
        return false;
    }
    if (const CaptureFormat* format = options.capturePath ? FindCaptureFormat(options.capturePath) : nullptr) {
        if (format->picture[int(options.quality)].encoder == nullptr) {
            *error = std::string("--quality ") + kQualityNames[int(options.quality)] + ": a " + format->extension +
                     " file cannot hold it; name the file " + kCaptureTypes;
            return false;
        }
        // 4:2:0 pictures have even sides only.
        if (NeedsEvenSides(*format, options.quality) && (options.width % 2 != 0 || options.height % 2 != 0)) {
            *error = "--size: a " + std::string(format->extension) + " capture at this quality needs an even width "
                     "and height, not " + std::to_string(options.width) + "x" + std::to_string(options.height);
            return false;
        }
    }
    if ((options.framesDir != nullptr) != (options.atCount > 0)) {
        *error = "--frames and --at go together";
        return false;
    }
    return true;
}

// Where --help says each build looks for the data files.
struct UsageFolders {
    OptionBuild build;
    const char* data;
};
constexpr UsageFolders kUsageFolders[] = {
    {kLinuxBuild,
     "Plays the show full-screen. Its data files are read from the working directory when\n"
     "they are there, else from the installed data folder (../share/orangefunk beside the\n"
     "program's folder), else from the build tree's data folder beside the program.\n"},
    {kWindowsBuild,
     "Plays the show full-screen. Its data files are read from the working directory when\n"
     "they are there, else from the data folder beside the program (data\\ in the folder of\n"
     "orangefunk.exe).\n"},
};

// Column of the one-line helps in --help; a longer option and value stand on a line of their own.
constexpr size_t kHelpColumn = 22;

// One line of --help: left (an option or keys) indented, help in its column.
std::string HelpLine(const std::string& left, const char* help) {
    std::string line = "  " + left;
    if (line.size() < kHelpColumn) line.resize(kHelpColumn, ' ');
    else line += "\n" + std::string(kHelpColumn, ' ');
    return line + help + "\n";
}

}  // namespace

// --capture and --quality need FFmpeg's encoders, which the Windows build lacks; there full
// screen changes the display mode to the show's own, so --sharp changes nothing.
const PlayOption kPlayOptions[] = {
    {"--window", nullptr, nullptr, "play in a window instead of full screen (the picture scales with it)",
     kEveryBuild, SetFlag<&PlayOptions::window>},
    {"--size", nullptr, "WxH", "size of the window, or of the captured picture (default 640x480)", kEveryBuild,
     ApplySize},
    {"--from", nullptr, "ORDER", "start the music at song order ORDER; the parts before it are skipped",
     kEveryBuild, ApplyFrom},
    {"--to", nullptr, "ORDER[:ROW]", "end the show where the song reaches ORDER:ROW (played or captured)",
     kEveryBuild, ApplyTo},
    {"--capture", nullptr, "FILE", "render the show off screen into a video file of picture and sound",
     kLinuxBuild, ApplyCapture},
    {"--quality", nullptr, "QUALITY", "the capture's encoding: fast (the default), small (to share) or lossless",
     kLinuxBuild, ApplyQuality},
    {"--frames", nullptr, "DIR", "write the frames at the --at positions as DIR/frame-OO-RRR.png, then end",
     kEveryBuild, ApplyFrames},
    {"--at", nullptr, "ORDER:ROW[,ORDER:ROW...]", "the song positions of the frames --frames writes", kEveryBuild,
     ParsePositions},
    {"--data", nullptr, "DIR", "read the show's data files from DIR", kEveryBuild, ApplyData},
    {"--stats", nullptr, nullptr, "at the end, print frame statistics per part on standard error", kEveryBuild,
     SetFlag<&PlayOptions::stats>},
    {"--sharp", nullptr, nullptr, "full screen drawn at the monitor's resolution, not at 640x480 scaled up",
     kLinuxBuild, SetFlag<&PlayOptions::sharp>},
    {"--loop", nullptr, nullptr, "play again from the start (or --from) after the end, until Escape", kEveryBuild,
     SetFlag<&PlayOptions::loop>},
    {"--version", nullptr, nullptr, "print the version", kEveryBuild, SetFlag<&PlayOptions::version>},
    {"--help", "-h", nullptr, "list the options and keys", kEveryBuild, SetFlag<&PlayOptions::help>},
};
const int kPlayOptionCount = int(std::size(kPlayOptions));

std::string PlayUsage(OptionBuild build) {
    const UsageFolders& folders = *std::find_if(std::begin(kUsageFolders), std::end(kUsageFolders),
                                                [build](const UsageFolders& f) { return f.build == build; });
    std::string text = std::string("Usage: orangefunk [options]\n") + folders.data +
                       "Relative paths given to the options start from the working directory.\n\nOptions:\n";
    bool capture = false;
    for (const PlayOption& option : kPlayOptions) {
        if ((option.builds & build) == 0) continue;
        capture = capture || option.apply == ApplyCapture;
        std::string left = (option.alias ? std::string(option.alias) + ", " : "") + option.name;
        if (option.value != nullptr) left += std::string(" ") + option.value;
        text += HelpLine(left, option.help);
    }
    text += "\nKeys while the show plays:\n";
    for (int i = 0; i < kPlayKeyCount; ++i)
        if (kPlayKeys[i].builds & build) text += HelpLine(KeyNames(kPlayKeys[i]), kPlayKeys[i].help);
    if (capture) text += std::string("\nCapture file types: ") + kCaptureTypes + ".\n";
    return text;
}

bool ParsePlayOptions(int argc, const char* const* argv, PlayOptions* options, std::string* error) {
    *options = PlayOptions{};
    for (int i = 0; i < argc; ++i) {
        std::string name = argv[i];
        const char* value = nullptr;
        const size_t equals = name.find('=');
        if (name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = argv[i] + equals + 1;
            name.resize(equals);
        }
        const PlayOption* option = FindOption(name);
        if (option == nullptr) {
            *error = "unknown option " + name;
            return false;
        }
        if (option->value != nullptr && value == nullptr) {
            if (i + 1 == argc) {
                *error = name + " needs a value";
                return false;
            }
            value = argv[++i];
        } else if (option->value == nullptr && value != nullptr) {
            *error = name + " takes no value";
            return false;
        }
        if (!option->apply(value, options, error)) return false;
    }
    if (options->help || options->version) return true;
    return CheckCombinations(*options, error);
}
