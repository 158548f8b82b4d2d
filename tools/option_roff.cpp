// Prints the player's options' table as roff for the Linux build's manual page: `option_roff
// synopsis` the SYNOPSIS lines, `option_roff options` the OPTIONS list (one tagged paragraph
// each), of the options that build offers.
// Status 2 with a usage line for anything else.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "player/options/option_table.h"

namespace {

// text with roff's escapes: backslashes kept as \e, option dashes as minus signs.
std::string Roff(const char* text) {
    std::string out;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '\\') out += "\\e";
        else if (*c == '-' && (c[1] == '-' || (c > text && c[-1] == '-') || c == text)) out += "\\-";
        else out += *c;
    }
    return out;
}

// The option's spellings in bold and its value's form in italics.
std::string Tag(const PlayOption& option) {
    std::string tag;
    if (option.alias != nullptr) tag += "\\fB" + Roff(option.alias) + "\\fR, ";
    tag += "\\fB" + Roff(option.name) + "\\fR";
    if (option.value != nullptr) tag += " \\fI" + Roff(option.value) + "\\fR";
    return tag;
}

}  // namespace

int main(int argc, char** argv) {
    const char* what = argc == 2 ? argv[1] : "";
    if (std::strcmp(what, "synopsis") == 0) {
        std::puts(".B orangefunk");
        for (int i = 0; i < kPlayOptionCount; ++i) {
            const PlayOption& option = kPlayOptions[i];
            if ((option.builds & kLinuxBuild) == 0) continue;
            std::printf("[\\fB%s\\fR", Roff(option.name).c_str());
            if (option.value != nullptr) std::printf(" \\fI%s\\fR", Roff(option.value).c_str());
            std::puts("]");
        }
        return 0;
    }
    if (std::strcmp(what, "options") == 0) {
        for (int i = 0; i < kPlayOptionCount; ++i) {
            const PlayOption& option = kPlayOptions[i];
            if ((option.builds & kLinuxBuild) == 0) continue;
            std::string help = Roff(option.help);
            help[0] = char(std::toupper(static_cast<unsigned char>(help[0])));
            std::printf(".TP\n%s\n%s.\n", Tag(option).c_str(), help.c_str());
        }
        return 0;
    }
    std::fprintf(stderr, "usage: option_roff synopsis|options\n");
    return 2;
}
