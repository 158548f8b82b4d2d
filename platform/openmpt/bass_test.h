// Test controls of the music stand-in: what state it is in. For tests only: the program
// drives lockstep music through platform/interface/host.h.
#pragma once

#include "platform/interface/bass.h"

namespace basstest {

struct Status {
    bool initialised;  // between BASS_Init and BASS_Free
    bool started;      // output running: between BASS_Start and BASS_Stop
    bool playing;      // a module is playing (not stopped, not at its end)
    bool silentClock;  // no sound device: the output runs on the silent real-time clock
    int syncs;         // syncs set since BASS_Init
};
Status CurrentStatus();

}  // namespace basstest
