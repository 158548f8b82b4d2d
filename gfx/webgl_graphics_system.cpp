// The WebGL graphics system: the factory of displays and the final tear-down.
#include <new>

#include "gfx/gl_window_state.h"
#include "gfx/webgl_display.h"

GraphicsSystem* CreateGraphicsSystem(const DisplayTarget& target) {
    displayTarget = target;
    return new (std::nothrow) WebGlGraphicsSystem;
}

Display* WebGlGraphicsSystem::CreateDisplay(int width, int height, int bitsPerPixel) {
    return new (std::nothrow) WebGlDisplay(width, height, bitsPerPixel);
}

void WebGlGraphicsSystem::Shutdown() { ShutdownOpenGL(); }
