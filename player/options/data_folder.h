// The folder the show's data files are read from: chosen, and made the working directory,
// before any window opens.
#pragma once

#include <string>

#include "player/player.h"

// Output paths of the options (--capture, --frames), made absolute.
struct OutputPaths {
    std::string capture;
    std::string frames;
};

// Chooses the data folder and makes it the working directory. The folder is
// options->dataDir when given, else the first that holds every file of the show of: the
// working directory, the installed data folder and the build tree's data folder (the last
// two found from the executable's own folder). Relative --capture and --frames paths are
// first made absolute against the starting folder; options then points into paths.
// False with a one-line message (naming the folders looked in) when no folder qualifies.
bool EnterDataFolder(PlayOptions* options, OutputPaths* paths, std::string* error);
