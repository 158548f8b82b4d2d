// The player's command-line options in one table: the parser, --help and the manual page
// (through tools/option_roff) all read it.
#pragma once

#include <string>

#include "player/player.h"

// The builds that offer an option or key (PlayOption::builds, PlayKey::builds, bits):
// --help, the manual page and the readmes list them on the builds that offer them. The page
// reads the options as Linux's; its keys are its own.
enum OptionBuild : unsigned { kLinuxBuild = 1, kWindowsBuild = 2, kPageBuild = 4 };
constexpr unsigned kEveryBuild = kLinuxBuild | kWindowsBuild | kPageBuild;
#ifdef _WIN32
constexpr OptionBuild kThisBuild = kWindowsBuild;
#else
constexpr OptionBuild kThisBuild = kLinuxBuild;
#endif

struct PlayOption {
    const char* name;     // "--window"
    const char* alias;    // another spelling ("-h"), or null
    const char* value;    // the value's form ("WxH"), or null for a flag, which takes none
    const char* help;     // one line, lower case, no full stop
    unsigned builds;      // the OptionBuild bits of the builds that offer it
    // Puts the option into options: value is the option's value (null for a flag). False
    // with a one-line reason in error for a value it cannot take.
    bool (*apply)(const char* value, PlayOptions* options, std::string* error);
};

extern const PlayOption kPlayOptions[];
extern const int kPlayOptionCount;

// The text of --help on build (Linux's or Windows'): where the data files are looked for, the
// options and keys (kPlayKeys) the build offers, one line each, and the capture's file types
// where --capture is offered.
std::string PlayUsage(OptionBuild build = kThisBuild);
