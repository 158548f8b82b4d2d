// Win32 stand-in over SDL2, windows and the message queue: window classes, popup windows
// and their SDL windows, painting, focus and cursor, posting, peeking and dispatching.
#include "platform/sdl/win32_state.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>


namespace {

Win32State& state = Win32();
unsigned char moduleToken;  // its address is the module handle
unsigned char iconToken;
unsigned char cursorToken;

// The pixel format every window starts with: what the display will ask for, so that
// SetPixelFormat rarely has to re-create the window.
PIXELFORMATDESCRIPTOR DefaultDescriptor() {
    PIXELFORMATDESCRIPTOR descriptor{};
    descriptor.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    descriptor.cColorBits = 32;
    descriptor.cDepthBits = 32;
    return descriptor;
}

bool Matches(const MSG& message, HWND window, UINT filterMin, UINT filterMax) {
    if (window && message.hwnd != window) return false;
    if (filterMin == 0 && filterMax == 0) return true;
    return message.message >= filterMin && message.message <= filterMax;
}

}  // namespace

// SDL tries the X display first; when that cannot be opened it goes on to drivers that
// still make OpenGL windows, down to "offscreen", which shows them nowhere. A busy X
// server can refuse a connection now and then, so the display is asked again before the
// stand-in gives up (unless SDL_VIDEODRIVER chose the driver); SDL's offscreen driver is
// used when SDL_VIDEODRIVER asks for it and, unless it names another, for hidden windows:
// they draw through EGL (Mesa's software rasterizer without a GPU), no X server needed.
constexpr int kVideoAttempts = 8;
constexpr Uint32 kVideoRetryMs = 400;

bool EnsureVideo() {
    if (state.videoReady) return true;
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // A window surface (full screen scaled on the processor) goes straight to the X server,
    // not through a renderer that would make an OpenGL context of its own on the window.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);  // the hint or SDL_VIDEODRIVER
    if (asked == nullptr && HostDesc().hidden) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
        asked = "offscreen";
    }
    const char* display = std::getenv("DISPLAY");
    const bool xDisplayNamed = display != nullptr && *display != '\0';
    std::string failure;
    for (int attempt = 1; attempt <= kVideoAttempts; ++attempt) {
        if (attempt > 1) {
            SDL_Delay(kVideoRetryMs);
            SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");  // only the named X display is worth asking again
        }
        if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) {
            failure = attempt > 1 ? std::string("cannot open X display ") + display : SDL_GetError();
        } else if (asked != nullptr || std::strcmp(SDL_GetCurrentVideoDriver(), "offscreen") != 0) {
            if (attempt > 1) {
                std::fprintf(stderr, "X display %s opened at attempt %d\n", display, attempt);
                SDL_ResetHint(SDL_HINT_VIDEODRIVER);
            }
            state.videoReady = true;
            state.videoHasScreen = std::strcmp(SDL_GetCurrentVideoDriver(), "dummy") != 0;
            return true;
        } else {
            SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_TIMER);
            failure = xDisplayNamed ? std::string("cannot open X display ") + display : "no X or Wayland display";
        }
        if (!xDisplayNamed || asked != nullptr) break;  // nothing to wait for, or a driver of the user's choice
    }
    // No screen: keep windows and messages working on the dummy driver; OpenGL then fails.
    std::fprintf(stderr, "SDL_InitSubSystem(SDL_INIT_VIDEO) failed: %s; using the dummy video driver\n",
                 failure.c_str());
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_TIMER) == 0) {
        state.videoReady = true;
        state.videoHasScreen = false;
        return true;
    }
    std::fprintf(stderr, "SDL_InitSubSystem(SDL_INIT_VIDEO) failed on the dummy driver: %s\n", SDL_GetError());
    return false;
}

HINSTANCE GetModuleHandleA(LPCSTR) { return reinterpret_cast<HINSTANCE>(&moduleToken); }

WORD RegisterClassA(const WNDCLASSA* windowClass) {
    LogCall("RegisterClassA");
    if (!windowClass || !windowClass->lpszClassName || !windowClass->lpfnWndProc) return 0;
    if (std::strlen(windowClass->lpszClassName) >= kClassNameCapacity) return 0;
    for (const WindowClassEntry& entry : state.classes)
        if (entry.used && std::strcmp(entry.name, windowClass->lpszClassName) == 0) return 0;  // already registered
    for (int i = 0; i < kMaxWindowClasses; ++i) {
        WindowClassEntry& entry = state.classes[i];
        if (entry.used) continue;
        entry.used = true;
        std::strcpy(entry.name, windowClass->lpszClassName);
        entry.windowClass = *windowClass;
        entry.windowClass.lpszClassName = entry.name;
        return static_cast<WORD>(0xC000 + i);
    }
    return 0;
}

bool CreateSdlWindow(HWND window, const PIXELFORMATDESCRIPTOR& descriptor) {
    if (window->sdlWindow) SDL_DestroyWindow(window->sdlWindow);
    window->sdlWindow = nullptr;
    const host::Desc& host = HostDesc();
    Uint32 shown = window->visible && !host.hidden ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
    int width = host.windowed ? host.windowWidth : window->width;
    int height = host.windowed ? host.windowHeight : window->height;
    int x = host.windowed ? SDL_WINDOWPOS_CENTERED : window->x;
    int y = host.windowed ? SDL_WINDOWPOS_CENTERED : window->y;
    window->openGl = state.videoHasScreen;
    if (window->openGl) {
        SDL_GL_ResetAttributes();  // no profile or version: a compatibility context
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, (descriptor.dwFlags & PFD_DOUBLEBUFFER) ? 1 : 0);
        int channel = descriptor.cColorBits >= 24 ? 8 : (descriptor.cColorBits >= 15 ? 5 : 0);
        SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channel);
        SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, channel);
        SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channel);
        SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, descriptor.cAlphaBits);
        SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, descriptor.cStencilBits);
        // The deepest depth buffer the screen offers, up to the requested size.
        const int depths[] = {32, 24, 16, 0};
        for (int depth : depths) {
            if (depth > descriptor.cDepthBits || (depth == 0 && descriptor.cDepthBits != 0)) continue;
            SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depth);
            window->sdlWindow = SDL_CreateWindow(window->title, x, y, width, height,
                                                 window->flags | SDL_WINDOW_OPENGL | shown);
            if (window->sdlWindow) {
                window->depthBits = depth;
                break;
            }
        }
    } else {
        window->sdlWindow = SDL_CreateWindow(window->title, x, y, width, height, window->flags | shown);
        window->depthBits = 0;
    }
    window->framebuffer = descriptor;
    if (!window->sdlWindow) {
        std::fprintf(stderr, "SDL_CreateWindow(\"%s\") failed: %s\n", window->title, SDL_GetError());
        return false;
    }
    ApplyDisplayMode(window);
    return true;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND, HMENU, HINSTANCE, void*) {
    LogCall("CreateWindowExA");
    if (Forced(win32test::FailPoint::CreateWindowExA) || !className) return nullptr;
    const WindowClassEntry* found = nullptr;
    for (const WindowClassEntry& entry : state.classes)
        if (entry.used && std::strcmp(entry.name, className) == 0) found = &entry;
    if (!found || !EnsureVideo()) return nullptr;
    HWND window = nullptr;
    for (HWND__& slot : state.windows)
        if (!slot.alive && !slot.sdlWindow) {
            window = &slot;
            break;
        }
    if (!window) return nullptr;
    *window = HWND__{};
    window->procedure = found->windowClass.lpfnWndProc;
    window->visible = (style & WS_VISIBLE) != 0;
    window->x = x;
    window->y = y;
    window->width = width;
    window->height = height;
    window->flags = 0;
    if (style & WS_POPUP) window->flags |= SDL_WINDOW_BORDERLESS;
    if (exStyle & WS_EX_TOPMOST) window->flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    if (HostDesc().windowed) window->flags = SDL_WINDOW_RESIZABLE;
    std::snprintf(window->title, sizeof window->title, "%s", windowName ? windowName : "");
    window->dc.window = window;
    if (!CreateSdlWindow(window, DefaultDescriptor())) return nullptr;
    window->alive = true;
    if (!state.focus || !LiveWindow(state.focus)) state.focus = window;
    return window;
}

BOOL DestroyWindow(HWND window) {
    LogCall("DestroyWindow");
    if (!LiveWindow(window)) return 0;
    window->procedure(window, WM_DESTROY, 0, 0);
    window->alive = false;
    if (state.current && state.current->window == window) {
        SDL_GL_MakeCurrent(nullptr, nullptr);
        state.current = nullptr;
    }
    if (window->sdlWindow) SDL_DestroyWindow(window->sdlWindow);
    window->sdlWindow = nullptr;
    if (state.focus == window) state.focus = nullptr;
    return 1;
}

BOOL ShowWindow(HWND window, int showCommand) {
    LogCall("ShowWindow");
    if (!LiveWindow(window)) return 0;
    BOOL wasVisible = window->visible;
    window->visible = showCommand != 0;  // SW_HIDE is 0
    if (window->sdlWindow && !HostDesc().hidden) {
        if (window->visible) SDL_ShowWindow(window->sdlWindow);
        else SDL_HideWindow(window->sdlWindow);
    }
    return wasVisible;
}

BOOL UpdateWindow(HWND window) {
    LogCall("UpdateWindow");
    if (!LiveWindow(window)) return 0;
    window->procedure(window, WM_PAINT, 0, 0);
    return 1;
}

BOOL SetForegroundWindow(HWND window) {
    LogCall("SetForegroundWindow");
    if (!LiveWindow(window)) return 0;
    if (window->sdlWindow && window->visible && !HostDesc().hidden) SDL_RaiseWindow(window->sdlWindow);
    return 1;
}

HWND SetFocus(HWND window) {
    LogCall("SetFocus");
    HWND previous = LiveWindow(state.focus);
    if (window && !LiveWindow(window)) return nullptr;
    state.focus = window;
    return previous;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
    if (!LiveWindow(window) || !paint) return nullptr;
    *paint = PAINTSTRUCT{};
    paint->hdc = &window->dc;
    paint->rcPaint = RECT{0, 0, window->width, window->height};
    return paint->hdc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT*) { return LiveWindow(window) ? 1 : 0; }

HCURSOR SetCursor(HCURSOR cursor) {
    HCURSOR previous = state.cursorHidden ? nullptr : reinterpret_cast<HCURSOR>(&cursorToken);
    bool hide = cursor == nullptr;
    if (hide != state.cursorHidden || hide) ApplyPointer(hide && PointerOverPicture());
    state.cursorHidden = hide;
    return previous;
}

HICON LoadIconA(HINSTANCE, LPCSTR) { return reinterpret_cast<HICON>(&iconToken); }

HCURSOR LoadCursorA(HINSTANCE, LPCSTR) { return reinterpret_cast<HCURSOR>(&cursorToken); }

BOOL PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    CollectInput();
    std::lock_guard<std::mutex> lock(state.queueLock);
    for (int i = 0; i < state.queueCount; ++i) {
        if (!Matches(state.queue[i], window, filterMin, filterMax)) continue;
        *message = state.queue[i];
        if (removeFlags & PM_REMOVE) {
            for (int j = i + 1; j < state.queueCount; ++j) state.queue[j - 1] = state.queue[j];
            --state.queueCount;
        }
        return 1;
    }
    return 0;
}

BOOL TranslateMessage(const MSG* message) {
    if (!message || message->message != WM_KEYDOWN) return 0;
    WPARAM key = message->wParam;
    bool printable = key == VK_ESCAPE || key == VK_RETURN || key == VK_SPACE || (key >= '0' && key <= '9') ||
                     (key >= 'A' && key <= 'Z');
    if (!printable) return 0;
    std::lock_guard<std::mutex> lock(state.queueLock);
    WPARAM character = (key >= 'A' && key <= 'Z') ? key - 'A' + 'a' : key;
    Enqueue(message->hwnd, WM_CHAR, character, 0);
    return 1;
}

LRESULT DispatchMessageA(const MSG* message) {
    if (!message || !LiveWindow(message->hwnd)) return 0;
    return message->hwnd->procedure(message->hwnd, message->message, message->wParam, message->lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    std::lock_guard<std::mutex> lock(state.queueLock);
    if (window && !LiveWindow(window)) return 0;
    return Enqueue(window, message, wParam, lParam) ? 1 : 0;
}

void PostQuitMessage(int exitCode) {
    std::lock_guard<std::mutex> lock(state.queueLock);
    Enqueue(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0);
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) DestroyWindow(window);
    return 0;
}
