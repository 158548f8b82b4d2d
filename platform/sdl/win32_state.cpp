// The Win32 stand-in's state and the few calls every file of the stand-in makes on it: the
// state itself, the forced failures and call log of the tests, live windows, the queue.
#include "platform/sdl/win32_state.h"

namespace {
Win32State state;
}  // namespace

Win32State& Win32() { return state; }

bool Forced(win32test::FailPoint point) { return state.failPoint == point; }

void LogCall(const char* name) { state.callLog.emplace_back(name); }

HWND LiveWindow(HWND window) {
    for (HWND__& candidate : state.windows)
        if (&candidate == window && candidate.alive) return window;
    return nullptr;
}

// Appends a message; caller holds queueLock. False when the queue is full. Like Windows,
// keeps at most one pending WM_PAINT and WM_SETCURSOR per window, so mouse motion while
// nobody pumps cannot crowd out a key press.
bool Enqueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT || message == WM_SETCURSOR)
        for (int i = 0; i < state.queueCount; ++i)
            if (state.queue[i].hwnd == window && state.queue[i].message == message) return true;
    if (state.queueCount == kMaxQueuedMessages) return false;
    MSG& entry = state.queue[state.queueCount++];
    entry = MSG{};
    entry.hwnd = window;
    entry.message = message;
    entry.wParam = wParam;
    entry.lParam = lParam;
    entry.time = SDL_WasInit(SDL_INIT_TIMER) ? SDL_GetTicks() : 0;
    return true;
}
