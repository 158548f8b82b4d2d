// The WebGL context of the page's canvas: WebGL 2 where the browser has it (its framebuffer
// blits let a pause hold a copy of the picture), else WebGL 1.
#include "platform/sdl/win32_state.h"

SDL_GLContext CreateGlContext(SDL_Window* window) {
    for (int major : {3, 2}) {
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, major);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
        if (SDL_GLContext context = SDL_GL_CreateContext(window)) return context;
    }
    return nullptr;
}
