// The OpenGL display: full-screen mode change and rendering context on the main window
// with the initial depth and colour state of the fixed-function pipeline.
#include "gfx/gl_display.h"

#include <GL/gl.h>

#include "gfx/gl_renderer.h"
#include "gfx/gl_window_state.h"

Image* GlDisplay::CreateSurface(const PixelFormat&) { return nullptr; }

int GlDisplay::LockSurface(Image*) { return 0; }

void GlDisplay::UnlockSurface() {}

int GlDisplay::Open() {
    EnterDisplayMode(width, height, bitsPerPixel);
    return InitOpenGL();
}

Renderer* GlDisplay::CreateRenderer() { return CreateGlRenderer(); }

int InitOpenGL() {
    wglSetDrawing(GlDrawing());
    if (!OpenWindowContext()) return 0;
    // Depth holds 1/z (larger is nearer): cleared to 0, the farthest, and a fragment
    // passes when it is at least as near as what is stored.
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_POLYGON_SMOOTH);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_GEQUAL);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(0.0);
    return 1;
}
