// Full screen at the show's size, in the page: the browser scales the canvas itself, so
// the picture is always drawn into the canvas's own framebuffer.
#include "platform/win32/win32_state.h"

bool BindScaledFrame() { return false; }

bool ScaledFrameStale() { return false; }

bool ScaledFrameSize(int*, int*) { return false; }

void ScaleFrameToWindow() {}

void ForgetScaledFrame(HGLRC) {}
