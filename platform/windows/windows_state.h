// State the Windows room's files share: the window the show draws in and its subclassing,
// the display mode asked for, and the drawing handed over by the graphics library.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "platform/shared/host_state.h"
#include "platform/interface/wgl_drawing.h"

struct WindowsState {
    HWND window = nullptr;      // the subclassed main window; null before it and once destroyed
    WNDPROC original = nullptr; // its class's procedure
    bool closePending = false;  // an interrupt came before the window: closed when it comes
    DEVMODEA mode{};            // the full-screen mode asked for last (dmPelsWidth 0: none)
    bool modeChanged = false;   // the screen is in that mode now
    bool fullscreen = false;    // the window covers its monitor (in the mode asked for or the monitor's)
    RECT windowedRect{};        // the window's place before it went full screen
    const WglDrawing* drawing = nullptr;
    HGLRC fitted = nullptr;     // the context the viewport was last fitted on
    int drawableWidth = 0, drawableHeight = 0;  // client size it was fitted to
    int pictureX = 0, pictureY = 0, pictureWidth = 0, pictureHeight = 0;  // the 4:3 picture in it
};

WindowsState& Windows();
// Fits the 4:3 viewport into the window's client area when its size or the context changed.
void FitViewport(HDC dc);
// Posts a close to the show's window: now, or when it is created (a console interrupt).
void RequestClose();
