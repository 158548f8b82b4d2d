// The OpenGL drawing the WGL stand-in asks of the display: the 4:3 viewport, the
// framebuffer that full screen draws into at the show's size, scaled to the window at the
// swap (or read back to be scaled on the processor), and the copy of a picture a pause holds.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>

#include "gfx/gl_display.h"
#include "gfx/gl_framebuffers.h"

namespace {

void Viewport(int x, int y, int width, int height) { glViewport(x, y, width, height); }

void ScaleFrame(unsigned frame, int width, int height, int x, int y, int rectWidth, int rectHeight) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, frame);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    GLfloat clearColour[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    glClearColor(0, 0, 0, 1);  // the bars beside the picture
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    glBlitFramebuffer(0, 0, width, height, x, y, x + rectWidth, y + rectHeight, GL_COLOR_BUFFER_BIT, GL_LINEAR);
    glBindFramebuffer(GL_FRAMEBUFFER, frame);
}

void ReadFrame(unsigned frame, int width, int height, void* pixels) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, frame);
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, pixels);
    glBindFramebuffer(GL_FRAMEBUFFER, frame);
}

// Mesa's software rasterizers name themselves in the renderer string.
bool RendersOnProcessor() {
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return renderer != nullptr && (std::strstr(renderer, "llvmpipe") != nullptr ||
                                   std::strstr(renderer, "softpipe") != nullptr);
}

const WglDrawing kGlDrawing = {.viewport = Viewport,
                                .makeFrame = glframes::MakeFrame,
                                .deleteFrame = glframes::DeleteFrame,
                                .bindFrame = glframes::BindFrame,
                                .scaleFrame = ScaleFrame,
                                .copyFrame = glframes::CopyFrame,
                                .readFrame = ReadFrame,
                                .rendersOnProcessor = RendersOnProcessor};

}  // namespace

const WglDrawing* GlDrawing() { return &kGlDrawing; }
