// Framebuffer objects in the calls OpenGL 3 and OpenGL ES 3 (WebGL 2) share: made, bound,
// deleted and copied pixel for pixel. Included after the build's GL header.
#pragma once

namespace glframes {

// Deletes a framebuffer of the current context and its two renderbuffers; the window's is
// then bound.
inline void DeleteFrame(unsigned frame) {
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

// A width x height framebuffer of 8-bit RGBA colour and 24-bit depth, left bound; 0 (the
// window's bound) when incomplete.
inline unsigned MakeFrame(int width, int height) {
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

inline void BindFrame(unsigned frame) { glBindFramebuffer(GL_FRAMEBUFFER, frame); }

// Copies from's width x height colour into to (0: the window's back buffer), to left bound.
inline void CopyFrame(unsigned from, unsigned to, int width, int height) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, from);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, to);
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, to);
}

}  // namespace glframes
