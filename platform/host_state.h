// The host's description as the stand-ins read it (platform-internal).
#pragma once

#include "platform/host.h"

// The description given to host::Setup; the defaults before that.
const host::Desc& HostDesc();

// Viewer controls of the music stand-in (bass.cpp): a paused mix gives silence and fires no
// sync; the gain scales real-time output only.
void PauseMusicMix(bool paused);
void SetMusicGain(float gain);
// Holds the frame about to be presented while the viewer pause lasts (pause_hold.cpp):
// called by SwapBuffers before the swap. swap scales the picture to the window and swaps:
// where the picture can be held, it is swapped with the overlay drawn afresh over it.
void HoldWhilePaused(const std::function<void()>& swap);
// The picture a pause holds (held_picture.cpp): HoldPicture copies what has been drawn
// into the framebuffer being presented, false when it cannot; RestorePicture puts the copy
// back (when copy: only what was drawn or swapped over it needs it) while that framebuffer
// keeps its size, false once it changed; ReleasePicture deletes it.
bool HoldPicture();
bool RestorePicture(bool copy);
void ReleasePicture();

// What each window room (the stand-in's, Windows') gives the pause hold and the held picture:
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
