// The host's description as the stand-ins read it (platform-internal).
#pragma once

#include "platform/interface/host.h"

// The description given to host::Setup; the defaults before that.
const host::Desc& HostDesc();

// Viewer controls of the music stand-in (bass.cpp): a paused mix gives silence and fires no
// sync; the gain scales real-time output only.
void PauseMusicMix(bool paused);
void SetMusicGain(float gain);
// Hands the frame about to be presented to the hold hook while the viewer pause lasts
// (pause_volume.cpp): called by SwapBuffers before the swap, with the window's swap (the
// picture scaled to the window and swapped).
void HoldWhilePaused(const std::function<void()>& swap);

// What each window room (the stand-in's, the page's, Windows') offers the hold hook:
struct WglDrawing;
// The drawing handed over by the graphics library (wglSetDrawing); null before it.
const WglDrawing* Drawing();
// The OpenGL context current on this thread; null when none.
const void* CurrentDrawingContext();
// The framebuffer the picture is drawn into now (0 for the window's) and its size in pixels
// (the stand-in's full-screen one, the drawable, the page's canvas, Windows' client area).
unsigned PictureFramebuffer(int* width, int* height);
// Takes the input waiting, through the key hook (which may resume); false, leaving it
// queued for the show's own pump, when a request to end the show waits (a close, a quit,
// Escape). Never waits.
bool TakeInputWhilePaused();
// Sleeps until the next 1/60 s presentation deadline; returns the seconds slept, *late
// whether the frame came after its deadline. A frame over a period late restarts the clock.
double PacePresentation(bool* late);
