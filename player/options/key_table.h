// The viewer's keys in one table: --help, the manual page (through tools/option_roff) print
// it; the README's key table, windows/README.txt and the page's help line are checked against it.
#pragma once

#include <string>

#include "player/options/option_table.h"

// A key, or keys, of one action of the viewer (player/viewer/viewer_keys.cpp) on the builds
// that handle it that way; a key whose action differs between builds has a row for each.
struct PlayKey {
    const char* keys;   // the keys as shown, ", " between them ("Left, Right")
    const char* also;   // other keys that do the same ("Alt+Enter"), or null
    const char* help;   // what it does, one line, lower case, no full stop
    const char* brief;  // the page's help line's word for it ("pause"), or null off the page
    unsigned builds;    // the OptionBuild bits of the builds it does this on
};

extern const PlayKey kPlayKeys[];
extern const int kPlayKeyCount;

// All the keys of key, its keys then the others, ", " between them ("F, Alt+Enter").
std::string KeyNames(const PlayKey& key);
