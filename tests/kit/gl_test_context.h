// A real OpenGL context for tests and benchmarks: a hidden window opened through the
// platform stand-in, the show's initial GL state, and pixel and depth read-back.
#pragma once

#include <cstdint>
#include <string>

#include "platform/interface/win32.h"

struct Rgba {
    int r, g, b, a;  // 0..255
};

class GlTestContext {
public:
    ~GlTestContext() { Close(); }

    // Opens a hidden width x height window with a current double-buffered context, sets the
    // initial state the display sets (texture 2D, depth test GEQUAL, clears to colour 0 and
    // depth 0) and stores the device context in glWindowState. False, with `error` naming
    // the failed step, when no display or context can be had.
    bool Open(int width, int height, std::string* error);
    // Releases the context, the device context and the window; safe when closed.
    void Close();

    // The back buffer at window pixel (x, y), origin bottom-left.
    Rgba ReadPixel(int x, int y) const;
    // The depth buffer at window pixel (x, y), 0..1.
    float ReadDepth(int x, int y) const;
    // Alpha bits of the framebuffer (0: blending reads destination alpha as 1).
    int AlphaBits() const;

    int width = 0, height = 0;
    HWND window = nullptr;
    HDC deviceContext = nullptr;
    HGLRC renderContext = nullptr;
};
