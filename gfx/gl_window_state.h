// The window and drawing contexts OpenGL runs on: one process-wide record, filled when a
// display opens, emptied by ShutdownOpenGL, read by the renderers' Present. The steps here
// are the platform's (mode change, WGL), shared by the OpenGL and WebGL displays.
#pragma once

#include "gfx/gfx.h"
#include "platform/interface/win32.h"

struct GlWindowState {
    HWND window;           // copy of the main window, taken when the context opens
    HDC deviceContext;     // from GetDC(window); null when not held
    HGLRC renderContext;   // from wglCreateContext; null when none
    int showCommand;       // the target's show command, copied by EnterDisplayMode
};

extern GlWindowState glWindowState;
// The window, show command and error reporter the application handed over; read by the
// display's steps and the renderers' creation.
extern DisplayTarget displayTarget;

// Reports `text` under `caption` through the handed-over reporter (none: not reported).
void ReportDisplayError(const char* text, const char* caption);

// Copies the target's show command and switches the screen to width x height x
// bitsPerPixel full-screen (a refused mode leaves the desktop's).
void EnterDisplayMode(int width, int height, int bitsPerPixel);
// Makes a double-buffered context (32-bit colour without alpha, 32-bit depth) current on
// the target's window and shows the window. 1 on success; 0 after restoring the desktop mode
// and reporting the failed step in a "FATAL ERROR" box.
int OpenWindowContext();
// Releases the context and device context if held and restores the desktop mode; a
// failed wglDeleteContext is reported in an "ERROR" box. Safe to call when closed.
void ShutdownOpenGL();
