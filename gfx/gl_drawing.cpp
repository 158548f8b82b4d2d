// The OpenGL drawing the WGL stand-in asks of the display: the 4:3 viewport, the
// framebuffer that full screen draws into at the show's size, scaled to the window at the
// swap, and the copy of a picture a pause holds.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include "gfx/gl_display.h"

namespace {

void Viewport(int x, int y, int width, int height) { glViewport(x, y, width, height); }

void DeleteFrame(unsigned frame) {
    GLint colour = 0, depth = 0;
    glBindFramebuffer(GL_FRAMEBUFFER, frame);
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME,
                                          &colour);
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME,
                                          &depth);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    const GLuint renderbuffers[2] = {GLuint(colour), GLuint(depth)};
    glDeleteRenderbuffers(2, renderbuffers);
    glDeleteFramebuffers(1, &frame);
}

unsigned MakeFrame(int width, int height) {
    GLuint frame = 0, colour = 0, depth = 0;
    glGenFramebuffers(1, &frame);
    glGenRenderbuffers(1, &colour);
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glBindFramebuffer(GL_FRAMEBUFFER, frame);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) return frame;
    DeleteFrame(frame);
    return 0;
}

void BindFrame(unsigned frame) { glBindFramebuffer(GL_FRAMEBUFFER, frame); }

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

void CopyFrame(unsigned from, unsigned to, int width, int height) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, from);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, to);
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, to);
}

const WglDrawing kGlDrawing = {Viewport, MakeFrame, DeleteFrame, BindFrame, ScaleFrame, CopyFrame};

}  // namespace

const WglDrawing* GlDrawing() { return &kGlDrawing; }
