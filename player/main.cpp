// The program's main: reads the play options, then hands over to WinMain as the Windows
// loader would.
#include <cstdio>

#include "player/player.h"

int main(int argc, char** argv) {
    PlayOptions options;
    std::string error;
    if (!ParsePlayOptions(argc - 1, argv + 1, &options, &error)) {
        std::fprintf(stderr, "orangefunk: %s\nTry 'orangefunk --help'.\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(kPlayUsage, stdout);
        return 0;
    }
    return PlayWithOptions(options);
}
