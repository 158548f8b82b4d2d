// The picture a pause holds: a copy of the framebuffer being presented, made through the
// drawing library's framebuffers, so the overlay can be drawn afresh over it while paused.
#include "platform/host_state.h"
#include "platform/win32/wgl_drawing.h"

namespace {

struct HeldPicture {
    const void* context = nullptr;  // the OpenGL context it was made on
    unsigned framebuffer = 0;  // the copy; 0 when none is held
    unsigned drawnInto = 0;    // the framebuffer it was copied from, 0 for the window's
    int width = 0, height = 0;
};
HeldPicture held;

}  // namespace

bool HoldPicture() {
    ReleasePicture();
    if (!CurrentDrawingContext() || !Drawing() || !Drawing()->makeFrame || !Drawing()->copyFrame) return false;
    int width = 0, height = 0;
    const unsigned drawnInto = PictureFramebuffer(&width, &height);
    if (width <= 0 || height <= 0) return false;
    const unsigned copy = Drawing()->makeFrame(width, height);
    if (copy == 0) {
        Drawing()->bindFrame(drawnInto);
        return false;
    }
    Drawing()->copyFrame(drawnInto, copy, width, height);
    Drawing()->bindFrame(drawnInto);
    held = HeldPicture{CurrentDrawingContext(), copy, drawnInto, width, height};
    return true;
}

bool RestorePicture(bool copy) {
    int width = 0, height = 0;
    if (held.framebuffer == 0 || held.context != CurrentDrawingContext()) return false;
    const unsigned drawnInto = PictureFramebuffer(&width, &height);
    if (drawnInto != held.drawnInto || width != held.width || height != held.height) return false;
    if (copy) Drawing()->copyFrame(held.framebuffer, drawnInto, width, height);
    return true;
}

void ReleasePicture() {
    if (held.framebuffer != 0 && held.context == CurrentDrawingContext()) {
        Drawing()->deleteFrame(held.framebuffer);
        int width = 0, height = 0;
        Drawing()->bindFrame(PictureFramebuffer(&width, &height));
    }
    held = HeldPicture{};
}
