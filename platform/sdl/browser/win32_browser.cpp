// The X11 and interrupt pieces of the Win32 stand-in in a web page: the page is the window
// manager (the canvas never changes the screen's mode, so full-screen requests are always
// answered), and a page gets no terminal interrupts (closing the tab ends it).
#include "platform/sdl/win32_state.h"

bool WindowManagerPresent(SDL_Window*) { return true; }

void CoverDisplay(SDL_Window*) {}

bool TakeInterruptClose() { return false; }

void ForgetInterrupt() {}

int host::CaughtInterrupt() { return 0; }
