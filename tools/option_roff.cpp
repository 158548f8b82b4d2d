// Prints the player's options' and keys' tables as roff for the Linux build's manual page:
// `option_roff synopsis` the SYNOPSIS lines, `option_roff options` the OPTIONS list,
// `option_roff keys` the KEYS list (one tagged paragraph each), of what that build offers.
// Status 2 with a usage line for anything else.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "player/options/key_table.h"
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

// Each key of key in bold, ", " between them.
std::string KeyTag(const PlayKey& key) {
    const std::string names = KeyNames(key);
    std::string tag;
    for (size_t start = 0; start <= names.size();) {
        size_t end = names.find(", ", start);
        if (end == std::string::npos) end = names.size();
        tag += (start ? ", \\fB" : "\\fB") + Roff(names.substr(start, end - start).c_str()) + "\\fR";
        start = end + 2;
    }
    return tag;
}

// A tagged paragraph: tag, then help as a sentence.
void PrintParagraph(const std::string& tag, const char* help) {
    std::string text = Roff(help);
    text[0] = char(std::toupper(static_cast<unsigned char>(text[0])));
    std::printf(".TP\n%s\n%s.\n", tag.c_str(), text.c_str());
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
            if (option.builds & kLinuxBuild) PrintParagraph(Tag(option), option.help);
        }
        return 0;
    }
    if (std::strcmp(what, "keys") == 0) {
        for (int i = 0; i < kPlayKeyCount; ++i)
            if (kPlayKeys[i].builds & kLinuxBuild) PrintParagraph(KeyTag(kPlayKeys[i]), kPlayKeys[i].help);
        return 0;
    }
    std::fprintf(stderr, "usage: option_roff synopsis|options|keys\n");
    return 2;
}
