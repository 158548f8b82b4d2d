// The window-manager query in a web page: the page is the window manager, and the canvas
// never changes the screen's mode, so full-screen requests are always answered.
#include "platform/win32_state.h"

bool WindowManagerPresent(SDL_Window*) { return true; }
