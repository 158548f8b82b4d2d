// The player's command-line options in one table: the parser, --help and the manual page
// (through tools/option_roff) all read it.
#pragma once

#include <string>

#include "player/player.h"

struct PlayOption {
    const char* name;     // "--window"
    const char* alias;    // another spelling ("-h"), or null
    const char* value;    // the value's form ("WxH"), or null for a flag, which takes none
    const char* help;     // one line, lower case, no full stop
    // Puts the option into options: value is the option's value (null for a flag). False
    // with a one-line reason in error for a value it cannot take.
    bool (*apply)(const char* value, PlayOptions* options, std::string* error);
};

extern const PlayOption kPlayOptions[];
extern const int kPlayOptionCount;

// The text of --help: the options, one line each, and the keys (main adds the capture's
// file types).
std::string PlayUsage();
