// Win32 stand-in over SDL2, input: SDL events and injected input become Win32 messages,
// SDL keys become virtual-key codes.
#include "platform/sdl/win32_state.h"

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
    case SDLK_TAB: return VK_TAB;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_HOME: return VK_HOME;
    case SDLK_F12: return VK_F12;
    case SDLK_KP_PLUS: return VK_ADD;
    case SDLK_KP_MINUS: return VK_SUBTRACT;
    case SDLK_EQUALS: return VK_OEM_PLUS;
    case SDLK_PLUS: return VK_OEM_PLUS;
    case SDLK_MINUS: return VK_OEM_MINUS;
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

// A key press held back for the host's key hook, offered once the queue's lock is released.
struct PressedKey {
    HWND window;
    WPARAM key;
    bool shift, alt;
};

// Moves injected input and pending SDL events into the queue, holding key presses back in
// pressed (up to kMaxPendingInputs) when the host has a key hook. queueLock is held.
void TakeInputLocked(PressedKey* pressed, int* pressedCount) {
    const bool hooked = bool(HostDesc().key);
    auto press = [&](HWND window, WPARAM key, bool shift, bool alt) {
        if (hooked && *pressedCount < kMaxPendingInputs) pressed[(*pressedCount)++] = {window, key, shift, alt};
        else Enqueue(window, WM_KEYDOWN, key, 0);
    };
    HWND target = InputWindow();
    if (target) {
        for (int i = 0; i < state.pendingCount; ++i) {
            if (state.pending[i].message == WM_KEYDOWN) press(target, state.pending[i].wParam, false, false);
            else Enqueue(target, state.pending[i].message, state.pending[i].wParam, 0);
        }
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
            if (key && (window || (window = InputWindow()))) {
                const Uint16 mod = event.key.keysym.mod;
                if (event.type == SDL_KEYUP) Enqueue(window, WM_KEYUP, key, 0);
                else if (!event.key.repeat || !hooked) press(window, key, (mod & KMOD_SHIFT) != 0, (mod & KMOD_ALT) != 0);
            }
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

}  // namespace

// Moves injected input and pending SDL events into the queue. Never waits. Key presses are
// offered to the host's key hook outside the lock (it may post messages); the keys it
// declines are queued after the other input.
void CollectInput() {
    PressedKey pressed[kMaxPendingInputs];
    int pressedCount = 0;
    {
        std::lock_guard<std::mutex> lock(state.queueLock);
        TakeInputLocked(pressed, &pressedCount);
    }
    for (int i = 0; i < pressedCount; ++i) {
        if (HostDesc().key(unsigned(pressed[i].key), pressed[i].shift, pressed[i].alt)) continue;
        std::lock_guard<std::mutex> lock(state.queueLock);
        if (LiveWindow(pressed[i].window)) Enqueue(pressed[i].window, WM_KEYDOWN, pressed[i].key, 0);
    }
}

void PushInput(UINT message, WPARAM wParam) {
    std::lock_guard<std::mutex> lock(state.queueLock);
    if (state.pendingCount < kMaxPendingInputs) state.pending[state.pendingCount++] = {message, wParam};
}

bool TakeInputWhilePaused() {
    CollectInput();
    std::lock_guard<std::mutex> lock(state.queueLock);
    for (int i = 0; i < state.queueCount; ++i) {
        const MSG& message = state.queue[i];
        if (message.message == WM_CLOSE || message.message == WM_QUIT ||
            (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE))
            return false;
    }
    return true;
}
