// The OpenGL graphics system: the factory of displays and the final tear-down.
#include <new>

#include "gfx/gl_display.h"
#include "gfx/gl_window_state.h"

GraphicsSystem* CreateGraphicsSystem(const DisplayTarget& target) {
    displayTarget = target;
    return new (std::nothrow) GlGraphicsSystem;
}

Display* GlGraphicsSystem::CreateDisplay(int width, int height, int bitsPerPixel) {
    return new (std::nothrow) GlDisplay(width, height, bitsPerPixel);
}

void GlGraphicsSystem::Shutdown() { ShutdownOpenGL(); }
