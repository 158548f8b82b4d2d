// The program's main: reads and checks the play options, enters the data folder, reads the
// song, then hands over to WinMain as the Windows loader would. Every refusal is said
// through host::SayEnding.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/interface/utf8_paths.h"
#include "player/options/data_folder.h"
#include "player/options/option_table.h"
#include "player/player.h"
#include "player/version.h"

int main(int argc, char** argv) {
    // The options keep pointers into these: they live as long as the program.
    const std::vector<std::string> arguments = utf8::Arguments(argc, argv);
    std::vector<const char*> words;
    for (const std::string& argument : arguments) words.push_back(argument.c_str());
    PlayOptions options;
    std::string error;
    if (!ParsePlayOptions(int(words.size()), words.data(), &options, &error)) {
        host::SayEnding("orangefunk: %s\nTry 'orangefunk --help'.\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(PlayUsage().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::puts("orangefunk " ORANGEFUNK_VERSION);
        return 0;
    }
    if (!CheckOutputs(options, &error)) {
        host::SayEnding("orangefunk: %s\nTry 'orangefunk --help'.\n", error.c_str());
        return 2;
    }
    OutputPaths outputPaths;
    if (!EnterDataFolder(&options, &outputPaths, &error)) {
        host::SayEnding("orangefunk: %s\n", error.c_str());
        return 1;
    }
    // The song is read before any window opens: a damaged one is refused here, and the
    // song positions asked for are checked against it.
    std::vector<int> rowsPerOrder;
    if (!host::ReadSong(kSongFile, &rowsPerOrder, &error)) {
        host::SayEnding("orangefunk: the song %s in the data folder cannot be played: %s\n", kSongFile, error.c_str());
        return 1;
    }
    if (!CheckSongPositions(options, rowsPerOrder, &error)) {
        host::SayEnding("orangefunk: %s\nTry 'orangefunk --help'.\n", error.c_str());
        return 2;
    }
    // The last check before anything opens: play on a screen needs a display.
    if (!CheckScreen(options, &error)) {
        host::SayEnding("orangefunk: %s\n", error.c_str());
        return 2;
    }
    return PlayWithOptions(options);
}
