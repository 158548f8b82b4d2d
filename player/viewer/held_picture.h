// The picture a pause holds: a copy of the framebuffer being presented, made through the
// drawing library's framebuffers, so the overlay can be drawn afresh over it while paused.
#pragma once

#include "platform/interface/host.h"

class HeldPicture {
public:
    // Copies what has been drawn into the window's picture framebuffer, which stays bound;
    // false when it cannot (no context, no drawing, an empty picture, no framebuffer left).
    bool Hold(const host::Hold& window);
    // Puts the copy back (when copy: only what was drawn or swapped over it needs it) while
    // that framebuffer keeps its context and size; false once either changed.
    bool Restore(const host::Hold& window, bool copy);
    // Deletes the copy (on the context it was made on), the picture's framebuffer bound.
    void Release(const host::Hold& window);

private:
    const void* context = nullptr;  // the OpenGL context it was made on
    unsigned framebuffer = 0;       // the copy; 0 when none is held
    unsigned drawnInto = 0;         // the framebuffer it was copied from, 0 for the window's
    int width = 0, height = 0;
};
