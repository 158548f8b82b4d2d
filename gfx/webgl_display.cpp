// The WebGL display: mode change and context on the main window through the platform,
// then the initial depth and colour state in OpenGL ES 2 terms.
#include "gfx/webgl_display.h"

#include <GLES3/gl3.h>

#include <cstring>

#include "gfx/gl_framebuffers.h"
#include "gfx/gl_window_state.h"
#include "gfx/webgl_renderer.h"
#include "platform/interface/wgl_drawing.h"

namespace {

void Viewport(int x, int y, int width, int height) { glViewport(x, y, width, height); }

// The page scales the canvas itself: the stand-in draws into it at its own size and never
// scales a framebuffer. Framebuffers and their copies (a pause's held picture) need WebGL 2.
const WglDrawing kWebGlDrawing = {.viewport = Viewport};
const WglDrawing kWebGl2Drawing = {.viewport = Viewport,
                                   .makeFrame = glframes::MakeFrame,
                                   .deleteFrame = glframes::DeleteFrame,
                                   .bindFrame = glframes::BindFrame,
                                   .copyFrame = glframes::CopyFrame};

}  // namespace

Image* WebGlDisplay::CreateSurface(const PixelFormat&) { return nullptr; }

int WebGlDisplay::LockSurface(Image*) { return 0; }

void WebGlDisplay::UnlockSurface() {}

int WebGlDisplay::Open() {
    EnterDisplayMode(width, height, bitsPerPixel);
    wglSetDrawing(&kWebGlDrawing);
    if (!OpenWindowContext()) return 0;
    // The context's version is known once it is made: WebGL 2 adds the framebuffers.
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (version != nullptr && std::strstr(version, "WebGL 2") != nullptr) wglSetDrawing(&kWebGl2Drawing);
    // Depth holds 1/z (larger is nearer): cleared to 0, the farthest, and a fragment
    // passes when it is at least as near as what is stored. Texturing is the renderer's.
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_GEQUAL);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepthf(0.0f);
    return 1;
}

Renderer* WebGlDisplay::CreateRenderer() { return CreateWebGlRenderer(); }
