// Music library stand-in: the subset of the BASS interface the demo sequence calls,
// implemented over libopenmpt (module decoding) and SDL2 audio output.
//
// Position sync contract: a sync of type BASS_SYNC_POS with parameter 0xFFFFFFFF calls its
// procedure once for every pattern row reached, in order, none skipped, when the row's
// start is mixed into an output buffer: up to one buffer (kOutputBufferFrames of
// bass_output.h) before it is heard. data holds the song order in its low 16 bits and the
// row in its high 16 bits. The procedure may run on the audio thread.
#pragma once

#include <cstdint>

#include "platform/interface/win32.h"

using HMUSIC = DWORD;
using HSYNC = DWORD;
using SYNCPROC = void (*)(HSYNC sync, DWORD channel, DWORD data);

constexpr DWORD BASS_SYNC_POS = 0;

DWORD BASS_GetVersion();
// device -1 is the default output; with no usable sound device the output runs on a
// silent real-time clock, so positions still advance. With the host's lockstep music no
// output is opened: the music moves only by host::AdvanceMusic.
BOOL BASS_Init(int device, DWORD frequency, DWORD flags, HWND window);
// Loads a tracker module file; returns 0 (and says why on standard error) when it cannot.
HMUSIC BASS_MusicLoad(const char* fileName, DWORD offset, DWORD flags);
BOOL BASS_Start();
HSYNC BASS_ChannelSetSync(DWORD handle, DWORD type, DWORD param, SYNCPROC proc);
BOOL BASS_MusicPlay(HMUSIC handle);
BOOL BASS_Stop();
BOOL BASS_Free();
