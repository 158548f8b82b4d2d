// The OpenGL context of a window on the desktop: the driver's default (compatibility) one.
#include "platform/sdl/win32_state.h"

SDL_GLContext CreateGlContext(SDL_Window* window) { return SDL_GL_CreateContext(window); }
