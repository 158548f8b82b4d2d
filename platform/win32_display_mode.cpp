// Win32 stand-in over SDL2, display modes: a full-screen request recorded and the windows
// placed for it, or the desktop restored.
#include "platform/win32_state.h"

#include <cstdio>

namespace {
Win32State& state = Win32();
}  // namespace

void ApplyDisplayMode(HWND window) {
    const host::Desc& host = HostDesc();
    if (!window->sdlWindow || host.windowed || host.hidden || !state.videoHasScreen) return;
    int displayIndex = SDL_GetWindowDisplayIndex(window->sdlWindow);
    if (displayIndex < 0) displayIndex = 0;
    if (!state.mode.fullscreen) {
        if (window->coversScreen) window->coversScreen = false;
        else SDL_SetWindowFullscreen(window->sdlWindow, 0);
        SDL_SetWindowSize(window->sdlWindow, window->width, window->height);
        SDL_SetWindowPosition(window->sdlWindow, window->x, window->y);
        return;
    }
    if (!WindowManagerPresent(window->sdlWindow)) {
        // Nobody would act on a full-screen request: cover the screen at its own mode instead.
        SDL_Rect bounds{};
        SDL_GetDisplayBounds(displayIndex, &bounds);
        SDL_SetWindowPosition(window->sdlWindow, bounds.x, bounds.y);
        SDL_SetWindowSize(window->sdlWindow, bounds.w, bounds.h);
        window->coversScreen = true;
        return;
    }
    SDL_DisplayMode wanted{};
    wanted.w = state.mode.width;
    wanted.h = state.mode.height;
    SDL_DisplayMode chosen{};
    // A screen without that mode keeps its own; the viewport letterboxes the picture.
    if (!SDL_GetClosestDisplayMode(displayIndex, &wanted, &chosen)) SDL_GetDesktopDisplayMode(displayIndex, &chosen);
    if (SDL_SetWindowDisplayMode(window->sdlWindow, &chosen) != 0)
        std::fprintf(stderr, "SDL_SetWindowDisplayMode failed: %s\n", SDL_GetError());
    if (SDL_SetWindowFullscreen(window->sdlWindow, SDL_WINDOW_FULLSCREEN) != 0)
        std::fprintf(stderr, "SDL_SetWindowFullscreen failed: %s\n", SDL_GetError());
}

LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD) {
    LogCall("ChangeDisplaySettingsA");
    if (!mode) {
        state.mode.fullscreen = false;
        ++state.mode.desktopRestores;
    } else {
        if ((mode->dmFields & (DM_PELSWIDTH | DM_PELSHEIGHT)) != (DM_PELSWIDTH | DM_PELSHEIGHT))
            return DISP_CHANGE_FAILED;
        state.mode.fullscreen = true;
        state.mode.width = static_cast<int>(mode->dmPelsWidth);
        state.mode.height = static_cast<int>(mode->dmPelsHeight);
        state.mode.bitsPerPixel = (mode->dmFields & DM_BITSPERPEL) ? static_cast<int>(mode->dmBitsPerPel) : 0;
    }
    for (HWND__& window : state.windows)
        if (window.alive) ApplyDisplayMode(&window);
    return DISP_CHANGE_SUCCESSFUL;
}
