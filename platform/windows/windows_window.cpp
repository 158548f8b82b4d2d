// The show's window on Windows: its class with the program's icon, placed as the host
// description asks (full screen, in a window or hidden), its procedure subclassed for the
// host's key hook and a change of monitor scale, the display mode changed for real
// (temporary: Windows gives the monitor its mode back when the program ends), and full
// screen toggled by the viewer.
#include "platform/windows/windows_resources.h"
#include "platform/windows/windows_state.h"

namespace {

constexpr DWORD kWindowedStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kFullscreenStyle = WS_POPUP;

// Messages reach the show's own procedure after the key hook has seen the keys: true from
// the hook takes the key. Alt+Enter comes as a system key.
LRESULT CALLBACK KeyProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowsState& state = Windows();
    const host::Desc& host = HostDesc();
    const WNDPROC original = state.original;
    if ((message == WM_KEYDOWN || message == WM_SYSKEYDOWN) && host.key) {
        const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        const bool alt = message == WM_SYSKEYDOWN && (lParam & (1 << 29)) != 0;
        if (host.key(unsigned(wParam), shift, alt)) return 0;
        if (message == WM_SYSKEYDOWN && wParam == VK_RETURN) return 0;  // no menu beep
    }
    // The program is aware of each monitor's scale (its manifest): moved to a monitor of
    // another scale, a window takes the size Windows suggests for it; full screen covers the
    // monitor in its own mode already.
    if (message == WM_DPICHANGED && window == state.window && !state.fullscreen) {
        const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                     suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    // In a window the frame keeps its own pointers (resize, move); the picture hides it.
    if (message == WM_SETCURSOR && LOWORD(lParam) != HTCLIENT) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY && window == state.window) state.window = nullptr;
    return CallWindowProcA(original, window, message, wParam, lParam);
}

// The window's outer size for a client area of width x height with style.
SIZE OuterSize(DWORD style, int width, int height) {
    RECT rect{0, 0, width, height};
    AdjustWindowRectEx(&rect, style, FALSE, 0);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

// Puts the window over its whole monitor, topmost and without a frame.
void CoverMonitor(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcMonitor;
    SetWindowLongPtrA(window, GWL_STYLE, kFullscreenStyle | (GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE));
    SetWindowPos(window, HWND_TOPMOST, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_FRAMECHANGED | SWP_NOACTIVATE);
}

}  // namespace

WindowsState& Windows() {
    static WindowsState state;
    return state;
}

ATOM HostRegisterClassA(const WNDCLASSA* windowClass) {
    WNDCLASSEXA extended{};
    extended.cbSize = sizeof extended;
    extended.style = windowClass->style;
    extended.lpfnWndProc = windowClass->lpfnWndProc;
    extended.cbClsExtra = windowClass->cbClsExtra;
    extended.cbWndExtra = windowClass->cbWndExtra;
    extended.hInstance = windowClass->hInstance;
    extended.hCursor = windowClass->hCursor;
    extended.hbrBackground = windowClass->hbrBackground;
    extended.lpszMenuName = windowClass->lpszMenuName;
    extended.lpszClassName = windowClass->lpszClassName;
    // Each size drawn for it, not one scaled from the other; shared: never destroyed.
    const HINSTANCE program = GetModuleHandleA(nullptr);
    const auto icon = [program](int widthMetric, int heightMetric) {
        return static_cast<HICON>(LoadImageA(program, MAKEINTRESOURCEA(ORANGEFUNK_ICON), IMAGE_ICON,
                                             GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), LR_SHARED));
    };
    extended.hIcon = icon(SM_CXICON, SM_CYICON);
    extended.hIconSm = icon(SM_CXSMICON, SM_CYSMICON);
    if (!extended.hIcon) extended.hIcon = windowClass->hIcon;
    return ::RegisterClassExA(&extended);
}

HWND HostCreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                         int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    const host::Desc& host = HostDesc();
    const bool mainWindow = parent == nullptr && (style & WS_POPUP) != 0;
    if (mainWindow && (host.windowed || host.hidden)) {
        style = kWindowedStyle | (host.hidden ? 0 : (style & WS_VISIBLE));
        exStyle = 0;
        const SIZE outer = OuterSize(style, host.windowWidth, host.windowHeight);
        x = y = CW_USEDEFAULT;
        width = outer.cx;
        height = outer.cy;
    }
    HWND window = ::CreateWindowExA(exStyle, className, windowName, style, x, y, width, height, parent, menu,
                                    instance, param);
    if (!window || !mainWindow) return window;
    WindowsState& state = Windows();
    state.window = window;
    state.fullscreen = !host.windowed && !host.hidden;
    state.original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(KeyProcedure)));
    // The screen refused the show's mode before the window existed: it covers the monitor.
    if (state.fullscreen && state.mode.dmPelsWidth != 0 && !state.modeChanged) CoverMonitor(window);
    if (state.closePending) PostMessageA(window, WM_CLOSE, 0, 0);
    state.closePending = false;
    return window;
}

BOOL HostShowWindow(HWND window, int showCommand) {
    if (HostDesc().hidden && window == Windows().window) return FALSE;
    return ::ShowWindow(window, showCommand);
}

LONG HostChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags) {
    WindowsState& state = Windows();
    const host::Desc& host = HostDesc();
    if (mode) state.mode = *mode;
    else state.mode.dmPelsWidth = 0;
    if (host.windowed || host.hidden || (mode && !state.fullscreen && state.window)) return DISP_CHANGE_SUCCESSFUL;
    if (!mode) {
        const LONG result = state.modeChanged ? ::ChangeDisplaySettingsA(nullptr, 0) : DISP_CHANGE_SUCCESSFUL;
        state.modeChanged = false;
        return result;
    }
    const LONG result = ::ChangeDisplaySettingsA(mode, flags);
    state.modeChanged = result == DISP_CHANGE_SUCCESSFUL;
    if (!state.modeChanged && state.window) CoverMonitor(state.window);
    return result;
}

bool host::Fullscreen() { return Windows().window && Windows().fullscreen; }

bool host::SetFullscreen(bool on) {
    WindowsState& state = Windows();
    HWND window = state.window;
    if (!window || HostDesc().hidden) return false;
    if (on == state.fullscreen) return true;
    if (on) {
        GetWindowRect(window, &state.windowedRect);
        state.fullscreen = true;
        DEVMODEA mode = state.mode;
        if (mode.dmPelsWidth == 0) {  // started in a window: the show's mode is its window's
            mode.dmSize = sizeof mode;
            mode.dmPelsWidth = 640;
            mode.dmPelsHeight = 480;
            mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
        }
        state.modeChanged = ::ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
        CoverMonitor(window);
    } else {
        if (state.modeChanged) ::ChangeDisplaySettingsA(nullptr, 0);
        state.modeChanged = false;
        state.fullscreen = false;
        const DWORD visible = GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE;
        SetWindowLongPtrA(window, GWL_STYLE, kWindowedStyle | visible);
        RECT rect = state.windowedRect;
        if (rect.right <= rect.left) {  // started full screen: the size asked for, centred
            const SIZE outer = OuterSize(kWindowedStyle, HostDesc().windowWidth, HostDesc().windowHeight);
            rect.left = (GetSystemMetrics(SM_CXSCREEN) - outer.cx) / 2;
            rect.top = (GetSystemMetrics(SM_CYSCREEN) - outer.cy) / 2;
            rect.right = rect.left + outer.cx;
            rect.bottom = rect.top + outer.cy;
        }
        SetWindowPos(window, HWND_NOTOPMOST, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_FRAMECHANGED);
    }
    return true;
}

bool host::WindowSize(int* width, int* height) {
    HWND window = Windows().window;
    RECT client{};
    if (!window || HostDesc().hidden || !GetClientRect(window, &client)) return false;
    *width = client.right - client.left;
    *height = client.bottom - client.top;
    return *width > 0 && *height > 0;
}

void RequestClose() {
    if (Windows().window) PostMessageA(Windows().window, WM_CLOSE, 0, 0);
    else Windows().closePending = true;
}
