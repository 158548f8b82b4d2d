// Win32 stand-in over SDL2, input: SDL events and injected input become Win32 messages,
// SDL keys become virtual-key codes.
#include "platform/win32/win32_state.h"

namespace {

Win32State& state = Win32();

// Windows virtual-key code of an SDL key, 0 for keys the show never sees.
WPARAM VirtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    switch (key) {
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_RETURN: return VK_RETURN;
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    default: return 0;
    }
}

HWND WindowOfSdlId(Uint32 id) {
    for (HWND__& window : state.windows)
        if (window.alive && window.sdlWindow && SDL_GetWindowID(window.sdlWindow) == id) return &window;
    return nullptr;
}

// The window keyboard input goes to: the focused one, else the newest live one.
HWND InputWindow() {
    if (LiveWindow(state.focus)) return state.focus;
    for (int i = kMaxWindows - 1; i >= 0; --i)
        if (state.windows[i].alive) return &state.windows[i];
    return nullptr;
}

}  // namespace

// Moves injected input and pending SDL events into the queue. Never waits.
void CollectInput() {
    std::lock_guard<std::mutex> lock(state.queueLock);
    HWND target = InputWindow();
    if (target) {
        for (int i = 0; i < state.pendingCount; ++i)
            Enqueue(target, state.pending[i].message, state.pending[i].wParam, 0);
        state.pendingCount = 0;
        if (TakeInterruptClose()) Enqueue(target, WM_CLOSE, 0, 0);
    }
    if (!state.videoReady) return;
    SDL_Event event;
    // Events stay with SDL while the queue is full.
    while (state.queueCount < kMaxQueuedMessages && SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            WPARAM key = VirtualKey(event.key.keysym.sym);
            HWND window = WindowOfSdlId(event.key.windowID);
            if (key && (window || (window = InputWindow())))
                Enqueue(window, event.type == SDL_KEYDOWN ? WM_KEYDOWN : WM_KEYUP, key, 0);
            break;
        }
        case SDL_MOUSEMOTION:
            if (HWND window = WindowOfSdlId(event.motion.windowID)) Enqueue(window, WM_SETCURSOR, 0, 0);
            break;
        case SDL_WINDOWEVENT:
            if (HWND window = WindowOfSdlId(event.window.windowID)) {
                if (event.window.event == SDL_WINDOWEVENT_CLOSE) Enqueue(window, WM_CLOSE, 0, 0);
                if (event.window.event == SDL_WINDOWEVENT_ENTER) Enqueue(window, WM_SETCURSOR, 0, 0);
                if (event.window.event == SDL_WINDOWEVENT_EXPOSED) Enqueue(window, WM_PAINT, 0, 0);
            }
            break;
        case SDL_QUIT:
            if (HWND window = InputWindow()) Enqueue(window, WM_CLOSE, 0, 0);
            break;
        default:
            break;
        }
    }
}

void PushInput(UINT message, WPARAM wParam) {
    std::lock_guard<std::mutex> lock(state.queueLock);
    if (state.pendingCount < kMaxPendingInputs) state.pending[state.pendingCount++] = {message, wParam};
}
