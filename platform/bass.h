// Music library stand-in: the subset of the BASS interface the demo sequence calls,
// implemented over libopenmpt (module decoding) and SDL2 audio output.
//
// Position sync contract: a sync of type BASS_SYNC_POS with parameter 0xFFFFFFFF calls its
// procedure once for every pattern row reached, in order, none skipped, when that row
// starts to be heard; data holds the song order in its low 16 bits and the row in its high
// 16 bits. The procedure may run on the audio thread.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/win32.h"

using HMUSIC = DWORD;
using HSYNC = DWORD;
using SYNCPROC = void (*)(HSYNC sync, DWORD channel, DWORD data);

constexpr DWORD BASS_SYNC_POS = 0;

DWORD BASS_GetVersion();
// device -1 is the default output; with no usable sound device the output runs on a
// silent real-time clock, so positions still advance.
BOOL BASS_Init(int device, DWORD frequency, DWORD flags, HWND window);
// Loads a tracker module file; returns 0 (and says why on standard error) when it cannot.
HMUSIC BASS_MusicLoad(const char* fileName, DWORD offset, DWORD flags);
BOOL BASS_Start();
HSYNC BASS_ChannelSetSync(DWORD handle, DWORD type, DWORD param, SYNCPROC proc);
BOOL BASS_MusicPlay(HMUSIC handle);
BOOL BASS_Stop();
BOOL BASS_Free();

// Controls for tests and for capture.
namespace basstest {

// Lockstep mode: no audio device; the music advances only when Advance is called. Syncs
// fire, on the calling thread, for the rows that start within the advanced span.
void SetLockstep(bool lockstep);
// Renders the next frames (interleaved stereo, 16-bit) in lockstep mode into out (may be
// null), firing syncs; returns the frames of music rendered (fewer at the end of the song,
// 0 before BASS_Start, after BASS_Stop or with nothing playing); out gets silence past them.
int Advance(int frames, int16_t* out);
// Starts the song at an order when it is played (0 by default).
void SetStartOrder(int order);

struct Status {
    bool initialised;  // between BASS_Init and BASS_Free
    bool started;      // output running: between BASS_Start and BASS_Stop
    bool playing;      // a module is playing (not stopped, not at its end)
    bool silentClock;  // no sound device: the output runs on the silent real-time clock
    int syncs;         // syncs set since BASS_Init
};
Status CurrentStatus();

}  // namespace basstest
