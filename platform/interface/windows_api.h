// The Windows build's Win32, GDI and WGL: the system's own headers, with the six calls the
// player's host description and the program's resources shape (the window class's icon, the
// main window's placement and its showing, the display mode, every buffer swap, message
// boxes) routed through this room, which makes the real call.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// RegisterClassA: the class takes the program's own icon (windows_resources.h) at the
// system's large and small icon sizes in place of the one given.
ATOM HostRegisterClassA(const WNDCLASSA* windowClass);
// CreateWindowExA: a window in place of the full-screen popup with `windowed` (framed,
// resizable, windowWidth x windowHeight inside) or `hidden` (never shown); the window whose
// procedure handles the show's keys is subclassed for the host's key hook.
HWND HostCreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                         int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
// ShowWindow: nothing for a hidden run.
BOOL HostShowWindow(HWND window, int showCommand);
// ChangeDisplaySettingsA: the real mode change, none in a window or hidden; when the screen
// refuses the mode the window covers the monitor in its own mode instead.
LONG HostChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags);
// SwapBuffers: the host's present hook, frame pacing, the viewer's pause and overlay.
BOOL HostSwapBuffers(HDC dc);
// MessageBoxA: the host's box taker when one is given.
int HostMessageBoxA(HWND window, LPCSTR text, LPCSTR caption, UINT type);

#define RegisterClassA HostRegisterClassA
#define CreateWindowExA HostCreateWindowExA
#define ShowWindow HostShowWindow
#define ChangeDisplaySettingsA HostChangeDisplaySettingsA
#define SwapBuffers HostSwapBuffers
#define MessageBoxA HostMessageBoxA
