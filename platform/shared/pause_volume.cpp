// The viewer's pause and volume as every build hears and shows them: a paused mix stands
// still, the gain scales what is heard, and each swap while paused goes through the hold hook.
#include "platform/shared/host_state.h"

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

void HoldWhilePaused(const std::function<void()>& swap) {
    const host::Desc& desc = HostDesc();
    if (!paused || !desc.hold) return;
    constexpr auto unpaced = [](bool* late) { return *late = false, 0.0; };
    desc.hold({TakeInputWhilePaused, desc.framePacing ? PacePresentation : +unpaced, swap, CurrentDrawingContext,
               PictureFramebuffer, Drawing()});
}
