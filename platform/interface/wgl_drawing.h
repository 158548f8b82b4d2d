// The drawing the WGL stand-in needs on its current context, given by the graphics library
// that draws there (gfx's displays): the viewport it fits to the window, and the
// framebuffer a full-screen picture is drawn into at the show's size and scaled from.
#pragma once

struct WglDrawing {
    // Sets the current context's viewport, in pixels from the bottom left.
    void (*viewport)(int x, int y, int width, int height);
    // Makes a framebuffer of width x height (colour and depth) on the current context and
    // leaves it bound; its name, or 0 when the context refuses it (the window's then bound).
    unsigned (*makeFrame)(int width, int height);
    // Deletes a framebuffer of the current context; the window's is then bound.
    void (*deleteFrame)(unsigned frame);
    // Binds a framebuffer of the current context, 0 for the window's.
    void (*bindFrame)(unsigned frame);
    // Fills the window's back buffer with black and scales frame's width x height picture
    // into its rectangle at x, y (pixels from the bottom left) of rectWidth x rectHeight;
    // frame is bound again afterwards.
    void (*scaleFrame)(unsigned frame, int width, int height, int x, int y, int rectWidth, int rectHeight);
    // Copies the width x height picture of framebuffer from into framebuffer to (0 is the
    // window's back buffer), pixel for pixel; to is left bound.
    void (*copyFrame)(unsigned from, unsigned to, int width, int height);
    // Reads frame's width x height picture into pixels as 32-bit BGRA, bottom row first, rows
    // back to back (4-byte pixels need no pack alignment); frame is bound again afterwards.
    void (*readFrame)(unsigned frame, int width, int height, void* pixels);
    // True when the current context rasterizes on the processor (a software renderer).
    bool (*rendersOnProcessor)();
};

// Hands the stand-in the drawing of the library about to make its contexts current; kept
// for the process (null: no viewport is set and full screen draws at the window's size).
void wglSetDrawing(const WglDrawing* drawing);
