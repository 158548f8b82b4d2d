// The viewer's pause and volume as every build's music hears them: a paused mix stands
// still, the gain scales what is heard (the picture's hold is the window's: HoldWhilePaused).
#include "platform/host_state.h"

namespace {
bool paused = false;
float volume = 1.0f;  // 0 to 1
}  // namespace

void host::SetPaused(bool pause) {
    paused = pause;
    PauseMusicMix(pause);
}

bool host::Paused() { return paused; }

void host::SetVolume(float gain) {
    volume = gain < 0.0f ? 0.0f : gain > 1.0f ? 1.0f : gain;
    SetMusicGain(volume);
}

float host::Volume() { return volume; }
