// Win32, GDI and WGL: the real ones in the Windows build (platform/interface/windows_api.h),
// elsewhere a stand-in for the subset of calls the window, pump and display make,
// with Win32 semantics, implemented over SDL2 (window, events, message boxes, display
// mode, OpenGL compatibility context). Names and values are the Win32 ones so that the
// code above reads as it would on Windows.
#pragma once

#ifdef _WIN32
#include "platform/interface/windows_api.h"
#else

#include <cstdint>

using BOOL = int;
using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using UINT = unsigned int;
using LONG = int32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using LPCSTR = const char*;
using PROC = void (*)();

struct HWND__;
struct HINSTANCE__;
struct HDC__;
struct HGLRC__;
struct HICON__;
struct HCURSOR__;
struct HBRUSH__;
struct HMENU__;
using HWND = HWND__*;
using HINSTANCE = HINSTANCE__*;
using HDC = HDC__*;
using HGLRC = HGLRC__*;
using HICON = HICON__*;
using HCURSOR = HCURSOR__*;
using HBRUSH = HBRUSH__*;
using HMENU = HMENU__*;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};

struct POINT {
    LONG x, y;
};
struct RECT {
    LONG left, top, right, bottom;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};

// The 148-byte display-mode record (layout of the classic headers).
struct DEVMODEA {
    char dmDeviceName[32];
    WORD dmSpecVersion;
    WORD dmDriverVersion;
    WORD dmSize;
    WORD dmDriverExtra;
    DWORD dmFields;
    int16_t dmOrientation, dmPaperSize, dmPaperLength, dmPaperWidth, dmScale, dmCopies,
        dmDefaultSource, dmPrintQuality;
    int16_t dmColor, dmDuplex, dmYResolution, dmTTOption, dmCollate;
    char dmFormName[32];
    WORD dmLogPixels;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    DWORD dmDisplayFlags;
    DWORD dmDisplayFrequency;
    DWORD dmICMMethod, dmICMIntent, dmMediaType, dmDitherType;
    DWORD dmReserved1, dmReserved2;
};
static_assert(sizeof(DEVMODEA) == 148, "DEVMODEA is 148 bytes");

struct PIXELFORMATDESCRIPTOR {
    WORD nSize;
    WORD nVersion;
    DWORD dwFlags;
    BYTE iPixelType;
    BYTE cColorBits;
    BYTE cRedBits, cRedShift, cGreenBits, cGreenShift, cBlueBits, cBlueShift;
    BYTE cAlphaBits, cAlphaShift;
    BYTE cAccumBits, cAccumRedBits, cAccumGreenBits, cAccumBlueBits, cAccumAlphaBits;
    BYTE cDepthBits;
    BYTE cStencilBits;
    BYTE cAuxBuffers;
    BYTE iLayerType;
    BYTE bReserved;
    DWORD dwLayerMask;
    DWORD dwVisibleMask;
    DWORD dwDamageMask;
};
static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "PIXELFORMATDESCRIPTOR is 40 bytes");

// Messages.
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;

// Virtual-key codes delivered in WM_KEYDOWN's wParam.
constexpr WPARAM VK_RETURN = 0x0D;
constexpr WPARAM VK_ESCAPE = 0x1B;
constexpr WPARAM VK_SPACE = 0x20;
constexpr WPARAM VK_LEFT = 0x25;
constexpr WPARAM VK_UP = 0x26;
constexpr WPARAM VK_RIGHT = 0x27;
constexpr WPARAM VK_DOWN = 0x28;
constexpr WPARAM VK_TAB = 0x09;
constexpr WPARAM VK_PRIOR = 0x21;  // Page Up
constexpr WPARAM VK_NEXT = 0x22;   // Page Down
constexpr WPARAM VK_HOME = 0x24;
constexpr WPARAM VK_ADD = 0x6B;    // keypad +
constexpr WPARAM VK_SUBTRACT = 0x6D;  // keypad -
constexpr WPARAM VK_F12 = 0x7B;
constexpr WPARAM VK_OEM_PLUS = 0xBB;   // the = + key
constexpr WPARAM VK_OEM_MINUS = 0xBD;  // the - _ key

constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr DWORD WS_POPUP = 0x80000000u;
constexpr DWORD WS_VISIBLE = 0x10000000u;
constexpr DWORD WS_EX_TOPMOST = 0x00000008u;
constexpr int SW_SHOWDEFAULT = 10;
constexpr int SW_SHOW = 5;
constexpr UINT PM_NOREMOVE = 0;
constexpr UINT PM_REMOVE = 1;
constexpr UINT MB_OK = 0;
constexpr DWORD CDS_FULLSCREEN = 4;
constexpr LONG DISP_CHANGE_SUCCESSFUL = 0;
constexpr LONG DISP_CHANGE_FAILED = -1;
constexpr DWORD DM_BITSPERPEL = 0x00040000;
constexpr DWORD DM_PELSWIDTH = 0x00080000;
constexpr DWORD DM_PELSHEIGHT = 0x00100000;
constexpr DWORD PFD_DOUBLEBUFFER = 0x01;
constexpr DWORD PFD_DRAW_TO_WINDOW = 0x04;
constexpr DWORD PFD_SUPPORT_OPENGL = 0x20;
constexpr BYTE PFD_TYPE_RGBA = 0;
constexpr BYTE PFD_MAIN_PLANE = 0;
constexpr int IDOK = 1;
// Resource identifiers passed to LoadIconA / LoadCursorA.
inline LPCSTR const IDI_APPLICATION = reinterpret_cast<LPCSTR>(32512);
inline LPCSTR const IDC_ARROW = reinterpret_cast<LPCSTR>(32512);

// Window class, window and message queue.
HINSTANCE GetModuleHandleA(LPCSTR moduleName);
WORD RegisterClassA(const WNDCLASSA* windowClass);
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     void* param);
BOOL DestroyWindow(HWND window);
BOOL ShowWindow(HWND window, int showCommand);
BOOL UpdateWindow(HWND window);
BOOL SetForegroundWindow(HWND window);
HWND SetFocus(HWND window);
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
HCURSOR SetCursor(HCURSOR cursor);
HICON LoadIconA(HINSTANCE instance, LPCSTR name);
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
// Never blocks: takes pending SDL events into the queue, then returns the first message.
BOOL PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL TranslateMessage(const MSG* message);
LRESULT DispatchMessageA(const MSG* message);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
// Default processing: WM_CLOSE destroys the window (which sends WM_DESTROY).
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// A modal box over SDL; written to standard error when no display can show it.
int MessageBoxA(HWND window, LPCSTR text, LPCSTR caption, UINT type);

// Display mode: CDS_FULLSCREEN records the mode asked for and puts the windows full screen
// over their monitor, which keeps its own mode (the picture is letterboxed to 4:3 at the
// monitor's resolution); NULL restores the desktop. Fails only for a mode without width and
// height.
LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags);

// GDI and WGL over an SDL OpenGL compatibility-profile context.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* descriptor);
BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* descriptor);
HGLRC wglCreateContext(HDC dc);
BOOL wglMakeCurrent(HDC dc, HGLRC context);
BOOL wglDeleteContext(HGLRC context);
PROC wglGetProcAddress(LPCSTR name);
// Shows the back buffer. Asks for vertical sync; where it is not in effect, paces
// presentation to 60 frames per second.
BOOL SwapBuffers(HDC dc);

#endif  // _WIN32
