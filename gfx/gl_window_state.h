// The process-wide window and context handles shared by the OpenGL display and renderer.
#pragma once

#include "platform/win32.h"

struct GlWindowState { HWND window = nullptr; HDC deviceContext = nullptr; HGLRC renderContext = nullptr; int showCommand = 0; };
extern GlWindowState glWindowState;
