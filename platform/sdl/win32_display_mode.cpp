// Win32 stand-in over SDL2, display modes: a full-screen request is recorded as asked and
// met by a window covering the monitor in the monitor's own mode; the desktop restored
// gives the windows their own size back.
#include "platform/sdl/win32_state.h"

#include <cstdio>

namespace {
Win32State& state = Win32();
}  // namespace

void ApplyDisplayMode(HWND window) {
    const host::Desc& host = HostDesc();
    if (!window->sdlWindow || host.windowed || host.hidden || !state.videoHasScreen) return;
    if (!state.mode.fullscreen) {
        SDL_SetWindowFullscreen(window->sdlWindow, 0);
        SDL_SetWindowSize(window->sdlWindow, window->width, window->height);
        SDL_SetWindowPosition(window->sdlWindow, window->x, window->y);
        return;
    }
    // The monitor keeps its own mode, whatever mode was asked for: the borderless window
    // covers it and the viewport shows the 4:3 picture at the monitor's resolution.
    if (SDL_SetWindowFullscreen(window->sdlWindow, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0)
        std::fprintf(stderr, "SDL_SetWindowFullscreen failed: %s\n", SDL_GetError());
    // Nobody else would act on the request.
    if (!WindowManagerPresent(window->sdlWindow)) CoverDisplay(window->sdlWindow);
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
