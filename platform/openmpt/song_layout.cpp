// The song's layout read ahead of the show: the module is loaded once by itself, so the
// program can check song positions and refuse a damaged module before any window opens.
#include "platform/openmpt/bass_music.h"
#include "platform/interface/host.h"

bool host::ReadSong(const char* fileName, std::vector<int>* rowsPerOrder, std::string* error,
                    std::vector<double>* orderSeconds) {
    MusicStream song;
    if (!song.Load(fileName, error)) return false;
    *rowsPerOrder = song.OrderRows();
    if (orderSeconds != nullptr) *orderSeconds = song.OrderSeconds();
    return true;
}
