// The OpenGL graphics system: the factory of displays and the final tear-down.
#include <new>

#include "gfx/gl_display.h"

GraphicsSystem* CreateGraphicsSystem() { return new (std::nothrow) GlGraphicsSystem; }

Display* GlGraphicsSystem::CreateDisplay(int width, int height, int bitsPerPixel) {
    return new (std::nothrow) GlDisplay(width, height, bitsPerPixel);
}

void GlGraphicsSystem::Shutdown() { ShutdownOpenGL(); }
