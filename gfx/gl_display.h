// The OpenGL graphics system and display: mode change, pixel format and context set-up
// on the main window, and their tear-down.
#pragma once

#include "gfx/gfx.h"
#include "gfx/gl_window_state.h"
#include "platform/interface/wgl_drawing.h"

class GlGraphicsSystem : public GraphicsSystem {
public:
    // A new GlDisplay holding the three values (null when allocation fails); nothing else.
    Display* CreateDisplay(int width, int height, int bitsPerPixel) override;
    // ShutdownOpenGL: context released, device context returned, desktop mode restored.
    void Shutdown() override;
};

class GlDisplay : public Display {
public:
    using Display::Display;
    // The software-surface path is not supported: null, 0 and nothing.
    Image* CreateSurface(const PixelFormat& format) override;
    int LockSurface(Image* image) override;
    void UnlockSurface() override;
    // Switches the screen to width x height x bitsPerPixel full-screen, then InitOpenGL.
    int Open() override;
    Renderer* CreateRenderer() override;
};

// Sets up OpenGL on the main window: 1 when a context is current with the initial state,
// 0 after restoring the desktop mode and reporting the failed step in a "FATAL ERROR" box.
int InitOpenGL();
// The OpenGL viewport and full-screen framebuffer the WGL stand-in draws with; InitOpenGL
// hands them over before its context is made current.
const WglDrawing* GlDrawing();
