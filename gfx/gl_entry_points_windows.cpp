// The framebuffer calls of OpenGL 3 on Windows, whose opengl32 exports only OpenGL 1.1:
// each looked up once through wglGetProcAddress on the context current at its first call.
#include <windows.h>

#include <GL/gl.h>
#include <GL/glext.h>

namespace {

// The driver's entry point `name` as the function type of `Fn`'s signature.
template <typename Fn>
Fn Load(Fn* slot, const char* name) {
    if (!*slot) *slot = reinterpret_cast<Fn>(wglGetProcAddress(name));
    return *slot;
}

PFNGLBINDFRAMEBUFFERPROC bindFramebuffer;
PFNGLBINDRENDERBUFFERPROC bindRenderbuffer;
PFNGLBLITFRAMEBUFFERPROC blitFramebuffer;
PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus;
PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers;
PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers;
PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer;
PFNGLGENFRAMEBUFFERSPROC genFramebuffers;
PFNGLGENRENDERBUFFERSPROC genRenderbuffers;
PFNGLGETFRAMEBUFFERATTACHMENTPARAMETERIVPROC getFramebufferAttachmentParameteriv;
PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage;

}  // namespace

extern "C" {

void APIENTRY glBindFramebuffer(GLenum target, GLuint frame) {
    Load(&bindFramebuffer, "glBindFramebuffer")(target, frame);
}
void APIENTRY glBindRenderbuffer(GLenum target, GLuint buffer) {
    Load(&bindRenderbuffer, "glBindRenderbuffer")(target, buffer);
}
void APIENTRY glBlitFramebuffer(GLint x0, GLint y0, GLint x1, GLint y1, GLint toX0, GLint toY0, GLint toX1,
                                GLint toY1, GLbitfield mask, GLenum filter) {
    Load(&blitFramebuffer, "glBlitFramebuffer")(x0, y0, x1, y1, toX0, toY0, toX1, toY1, mask, filter);
}
GLenum APIENTRY glCheckFramebufferStatus(GLenum target) {
    return Load(&checkFramebufferStatus, "glCheckFramebufferStatus")(target);
}
void APIENTRY glDeleteFramebuffers(GLsizei count, const GLuint* frames) {
    Load(&deleteFramebuffers, "glDeleteFramebuffers")(count, frames);
}
void APIENTRY glDeleteRenderbuffers(GLsizei count, const GLuint* buffers) {
    Load(&deleteRenderbuffers, "glDeleteRenderbuffers")(count, buffers);
}
void APIENTRY glFramebufferRenderbuffer(GLenum target, GLenum attachment, GLenum bufferTarget, GLuint buffer) {
    Load(&framebufferRenderbuffer, "glFramebufferRenderbuffer")(target, attachment, bufferTarget, buffer);
}
void APIENTRY glGenFramebuffers(GLsizei count, GLuint* frames) {
    Load(&genFramebuffers, "glGenFramebuffers")(count, frames);
}
void APIENTRY glGenRenderbuffers(GLsizei count, GLuint* buffers) {
    Load(&genRenderbuffers, "glGenRenderbuffers")(count, buffers);
}
void APIENTRY glGetFramebufferAttachmentParameteriv(GLenum target, GLenum attachment, GLenum name, GLint* value) {
    Load(&getFramebufferAttachmentParameteriv, "glGetFramebufferAttachmentParameteriv")(target, attachment, name,
                                                                                         value);
}
void APIENTRY glRenderbufferStorage(GLenum target, GLenum format, GLsizei width, GLsizei height) {
    Load(&renderbufferStorage, "glRenderbufferStorage")(target, format, width, height);
}

}  // extern "C"
