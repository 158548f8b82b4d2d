// The stand-in's window as the viewer changes it: full screen toggled on the window that
// takes input, its size, and where the picture lies in it.
#include "platform/sdl/win32_state.h"

#include <cstdio>

namespace {

Win32State& state = Win32();
int fullscreen = -1;  // -1: as the host description and the display mode make it
int windowedWidth = 0, windowedHeight = 0;  // the window's size before it went full screen

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

bool host::PictureRect(int* x, int* y, int* width, int* height) {
    if (!state.current || state.drawableWidth <= 0 || state.drawableHeight <= 0) return false;
    if (ScaledFrameSize(width, height)) {
        *x = *y = 0;
        return true;
    }
    FitPicture(state.drawableWidth, state.drawableHeight, x, y, width, height);  // as FitViewport places it
    return true;
}
