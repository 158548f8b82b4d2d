// X11 calls the stand-in needs beyond SDL: whether a window manager runs, since only one
// acts on full-screen requests (a bare Xvfb has none), and covering the monitor without one.
#include "platform/sdl/win32_state.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

bool WindowManagerPresent(SDL_Window* sdlWindow) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(sdlWindow, &info) || info.subsystem != SDL_SYSWM_X11) return true;
    ::Display* display = info.info.x11.display;
    // EWMH: a running manager names its check window on the root window.
    Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    int status = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type,
                                    &format, &count, &remaining, &data);
    bool present = status == Success && data && count == 1;
    if (data) XFree(data);
    return present;
}

void CoverDisplay(SDL_Window* sdlWindow) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(sdlWindow, &info) || info.subsystem != SDL_SYSWM_X11) return;
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(sdlWindow), &bounds) != 0) return;
    XMoveResizeWindow(info.info.x11.display, info.info.x11.window, bounds.x, bounds.y, unsigned(bounds.w),
                      unsigned(bounds.h));
    XFlush(info.info.x11.display);
}
