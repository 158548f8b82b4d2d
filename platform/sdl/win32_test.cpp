// Test controls of the Win32 stand-in.
#include "platform/sdl/win32_test.h"

#include <cstring>

#include "platform/sdl/win32_state.h"

namespace {
Win32State& state = Win32();
}  // namespace

namespace win32test {

void InjectKeyDown(WPARAM virtualKey) { PushInput(WM_KEYDOWN, virtualKey); }

void InjectClose() { PushInput(WM_CLOSE, 0); }

void ForceFailure(FailPoint point) { state.failPoint = point; }

void RecordMessageBoxes(bool record) { state.recordBoxes = record; }

const std::vector<RecordedMessageBox>& RecordedMessageBoxes() { return state.boxes; }

void ClearRecordedMessageBoxes() { state.boxes.clear(); }

DisplayModeState CurrentDisplayMode() { return state.mode; }

SDL_Window* SdlWindow(HWND window) { return LiveWindow(window) ? window->sdlWindow : nullptr; }

bool MovePointer(HWND window, int x, int y) {
    if (!LiveWindow(window) || !window->sdlWindow) return false;
    SDL_WarpMouseInWindow(window->sdlWindow, x, y);
    for (Uint32 start = SDL_GetTicks(); SDL_GetTicks() - start < 1000; SDL_Delay(5)) {
        SDL_PumpEvents();
        int seenX = -1, seenY = -1;
        SDL_GetMouseState(&seenX, &seenY);
        if (SDL_GetMouseFocus() == window->sdlWindow && seenX == x && seenY == y) return true;
    }
    return false;
}

bool PointerShown() { return state.videoReady && SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE; }

const std::vector<std::string>& CallLog() { return state.callLog; }

void ClearCallLog() { state.callLog.clear(); }

bool HasScreen() {
    if (!EnsureVideo() || !state.videoHasScreen) return false;
    return std::strcmp(SDL_GetCurrentVideoDriver(), "offscreen") != 0;  // drawing, but nothing shown
}

void Reset() {
    DestroyAllContexts();
    ForgetInterrupt();
    for (HWND__& window : state.windows) {
        if (window.sdlWindow) SDL_DestroyWindow(window.sdlWindow);
        window = HWND__{};
    }
    for (WindowClassEntry& entry : state.classes) entry = WindowClassEntry{};
    {
        std::lock_guard<std::mutex> lock(state.queueLock);
        state.queueCount = 0;
        state.pendingCount = 0;
    }
    if (state.videoReady) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
        }
        SDL_ShowCursor(SDL_ENABLE);
    }
    state.failPoint = FailPoint::None;
    state.recordBoxes = false;
    state.boxes.clear();
    state.mode = DisplayModeState{};
    state.callLog.clear();
    state.cursorHidden = false;
    state.focus = nullptr;
    state.current = nullptr;
    state.drawableWidth = state.drawableHeight = 0;
    host::Setup(host::Desc{});
}

}  // namespace win32test
