// The window and drawing contexts OpenGL runs on: one process-wide record, filled by the
// display's InitOpenGL, emptied by ShutdownOpenGL, read by the renderer's Present.
#pragma once

#include "platform/win32.h"

struct GlWindowState {
    HWND window;           // copy of the main window, taken when InitOpenGL starts
    HDC deviceContext;     // from GetDC(window); null when not held
    HGLRC renderContext;   // from wglCreateContext; null when none
    int showCommand;       // the entry point's show command, copied by Open
};

extern GlWindowState glWindowState;
