// Viewer controls of the platform: the pause that holds the picture (pause_volume.cpp has
// the music's pause and volume), and full screen toggled on the window that takes input.
#include "platform/win32/win32_state.h"

#include <cstdio>

namespace {

Win32State& state = Win32();
int fullscreen = -1;  // -1: as the host description and the display mode make it
int windowedWidth = 0, windowedHeight = 0;  // the window's size before it went full screen

// True when the queue holds a request to end the show: a close, a quit or Escape.
bool EndRequested() {
    std::lock_guard<std::mutex> lock(state.queueLock);
    for (int i = 0; i < state.queueCount; ++i) {
        const MSG& message = state.queue[i];
        if (message.message == WM_CLOSE || message.message == WM_QUIT ||
            (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE))
            return true;
    }
    return false;
}

// The window the show draws in: the live OpenGL window taking input, else the newest.
HWND ShowWindowHandle() {
    if (LiveWindow(state.focus) && state.focus->openGl) return state.focus;
    for (int i = kMaxWindows - 1; i >= 0; --i)
        if (state.windows[i].alive && state.windows[i].openGl && state.windows[i].sdlWindow) return &state.windows[i];
    return nullptr;
}

}  // namespace

bool host::Fullscreen() {
    if (fullscreen >= 0) return fullscreen == 1;
    return !HostDesc().windowed && !HostDesc().hidden && state.mode.fullscreen;
}

bool host::SetFullscreen(bool on) {
    HWND window = ShowWindowHandle();
    if (!window || HostDesc().hidden || !state.videoHasScreen) return false;
    SDL_Window* sdlWindow = window->sdlWindow;
    if (on && !host::Fullscreen()) SDL_GetWindowSize(sdlWindow, &windowedWidth, &windowedHeight);
    if (SDL_SetWindowFullscreen(sdlWindow, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        std::fprintf(stderr, "SDL_SetWindowFullscreen failed: %s\n", SDL_GetError());
        return false;
    }
    const bool managed = WindowManagerPresent(sdlWindow);
    if (on) {
        if (!managed) CoverDisplay(sdlWindow);
    } else if (!HostDesc().windowed || !managed) {
        // Started full screen, or covering the monitor by itself: the window comes back at
        // its size before full screen (else the one asked for), framed and resizable.
        SDL_SetWindowBordered(sdlWindow, SDL_TRUE);
        SDL_SetWindowResizable(sdlWindow, SDL_TRUE);
        const bool known = windowedWidth > 0 && windowedHeight > 0;
        SDL_SetWindowSize(sdlWindow, known ? windowedWidth : HostDesc().windowWidth,
                          known ? windowedHeight : HostDesc().windowHeight);
        SDL_SetWindowPosition(sdlWindow, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    fullscreen = on ? 1 : 0;
    FitViewport(sdlWindow, true);  // drawn at the show's size full screen, the window's own else
    return true;
}

bool host::WindowSize(int* width, int* height) {
    HWND window = ShowWindowHandle();
    if (!window || HostDesc().hidden) return false;
    SDL_GetWindowSize(window->sdlWindow, width, height);
    return *width > 0 && *height > 0;
}

void HoldWhilePaused(const std::function<void()>& swap) {
    const host::Desc& host = HostDesc();
    if (!host::Paused()) return;
    // A copy of the picture lets the overlay (Tab) be drawn afresh over it, on or off;
    // without one the screen keeps the last swap and the frame stays where it was drawn.
    bool redraw = host.overlay && !host.hidden && HoldPicture();
    bool swapNext = true;  // the held frame goes on screen once, then while the overlay shows or has just gone
    bool covered = false;  // an overlay or a swap has been over the picture since it was last put back
    while (host::Paused()) {
        CollectInput();  // the key hook may resume
        if (!host::Paused() || EndRequested()) break;
        bool late = false;
        const double waited = host.framePacing ? PacePresentation(&late) : 0.0;
        redraw = redraw && RestorePicture(covered);  // a window resized meanwhile keeps its last swap
        covered = false;
        // The frame is presented again: its picture is in the buffer it was drawn into.
        if (host.present) host.present();
        if (redraw) {
            const bool drew = host.overlay();
            if (drew || swapNext) swap();
            covered = drew || swapNext;
            swapNext = drew;
        }
        if (host.presented) host.presented(waited, late, true);
    }
    RestorePicture(covered);  // the swap after the pause shows the frame itself
    ReleasePicture();
}

bool host::PictureRect(int* x, int* y, int* width, int* height) {
    if (!state.current || state.drawableWidth <= 0 || state.drawableHeight <= 0) return false;
    if (ScaledFrameSize(width, height)) {
        *x = *y = 0;
        return true;
    }
    FitPicture(state.drawableWidth, state.drawableHeight, x, y, width, height);  // as FitViewport places it
    return true;
}
