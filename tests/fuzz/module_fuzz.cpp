// Fuzz entry for the module's checks and its loading through the music stand-in: the input
// is read as the song's file (its layout, as the program reads it before the show), then
// loaded with BASS_MusicLoad and played for a moment in lockstep, its row syncs firing.
// libopenmpt itself is not instrumented; the fuzzer's memory limits catch what it is
// allowed to allocate for a module the size checks let through.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/interface/bass.h"
#include "platform/openmpt/module_limits.h"
#include "platform/interface/host.h"
#include "tests/fuzz/memory_file.h"

namespace {

constexpr int kPlayedFrames = 4096;  // music frames rendered per loaded module, about 0.1 s

MemoryFile* input = nullptr;
int16_t played[2 * kPlayedFrames];

void OnRow(HSYNC, DWORD, DWORD) {}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    input = new MemoryFile("module-input");
    host::Setup({.lockstepMusic = true});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* path = input->Write(data, size);
    std::vector<int> rowsPerOrder;
    std::string error;
    const bool read = host::ReadSong(path, &rowsPerOrder, &error);
    // The checks' verdict alone must agree: a module they refuse is never read.
    if (read && !CheckModuleSizes(std::vector<char>(data, data + size), &error)) std::abort();
    for (int rows : rowsPerOrder)
        if (rows < 0) std::abort();
    // A fresh stand-in per input, as the show starts with one: no syncs left from before.
    if (!BASS_Init(-1, 44100, 0, nullptr) || !BASS_Start()) std::abort();
    const HMUSIC music = BASS_MusicLoad(path, 0, 1);
    if (music != 0) {
        if (!read) std::abort();  // the program's check and the show's load agree
        BASS_ChannelSetSync(music, BASS_SYNC_POS, 0xFFFFFFFFu, OnRow);
        BASS_MusicPlay(music);
        if (host::AdvanceMusic(kPlayedFrames, played) > kPlayedFrames) std::abort();
    }
    BASS_Free();
    return 0;
}
