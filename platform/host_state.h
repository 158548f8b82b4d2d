// The host's description as the stand-ins read it (platform-internal).
#pragma once

#include "platform/host.h"

// The description given to host::Setup; the defaults before that.
const host::Desc& HostDesc();

// Viewer controls of the music stand-in (bass.cpp): a paused mix gives silence and fires no
// sync; the gain scales real-time output only.
void PauseMusicMix(bool paused);
void SetMusicGain(float gain);
// Holds the frame about to be presented while the viewer pause lasts (viewer_controls.cpp):
// called by SwapBuffers before the swap. swap scales the picture to the window and swaps:
// where the picture can be held, it is swapped with the overlay drawn afresh over it.
void HoldWhilePaused(const std::function<void()>& swap);
