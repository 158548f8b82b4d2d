// The WebGL graphics system and display (internal to gfx/): the same mode change and
// context set-up on the main window as the OpenGL display, with an OpenGL ES 2 context's
// initial state and the WebGL renderer.
#pragma once

#include "gfx/gfx.h"

class WebGlGraphicsSystem : public GraphicsSystem {
public:
    // A new WebGlDisplay holding the three values (null when allocation fails); nothing else.
    Display* CreateDisplay(int width, int height, int bitsPerPixel) override;
    // Context released, device context returned, desktop mode restored.
    void Shutdown() override;
};

class WebGlDisplay : public Display {
public:
    using Display::Display;
    // The software-surface path is not supported: null, 0 and nothing.
    Image* CreateSurface(const PixelFormat& format) override;
    int LockSurface(Image* image) override;
    void UnlockSurface() override;
    // Switches to width x height x bitsPerPixel and opens the context with the initial
    // state: depth test GEQUAL, clear colour 0 and clear depth 0. 1 on success, 0 after a
    // "FATAL ERROR" box.
    int Open() override;
    Renderer* CreateRenderer() override;
};
