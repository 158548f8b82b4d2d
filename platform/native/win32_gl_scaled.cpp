// Full screen at the show's own size: while the window covers its monitor, the picture is
// drawn into an off-screen framebuffer of the display mode the show asked for (640x480,
// 800x600) and scaled to the 4:3 rectangle of the monitor at the swap, as a monitor
// showing that mode would; host.sharp draws at the monitor's resolution instead.
#define GL_GLEXT_PROTOTYPES
#include "platform/win32/win32_state.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>

namespace {

constexpr int kDefaultModeWidth = 640, kDefaultModeHeight = 480;

struct ScaledFrame {
    HGLRC context = nullptr;  // the context the objects below belong to
    GLuint framebuffer = 0, colour = 0, depth = 0;
    int width = 0, height = 0;
    bool bound = false;  // drawing goes to the framebuffer
};
ScaledFrame frame;

// The size the show asked for while full screen; 0x0 when the picture is drawn at the
// drawable's own resolution (windowed, hidden, sharp).
void WantedSize(int* width, int* height) {
    const Win32State& state = Win32();
    const host::Desc& host = HostDesc();
    *width = *height = 0;
    if (host.hidden || host.sharp || !host::Fullscreen()) return;
    *width = state.mode.fullscreen && state.mode.width > 0 ? state.mode.width : kDefaultModeWidth;
    *height = state.mode.fullscreen && state.mode.height > 0 ? state.mode.height : kDefaultModeHeight;
}

void Release() {
    if (frame.context == Win32().current && frame.framebuffer != 0) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &frame.framebuffer);
        glDeleteRenderbuffers(1, &frame.colour);
        glDeleteRenderbuffers(1, &frame.depth);
    }
    frame = ScaledFrame{};
}

// Makes the framebuffer of width x height for the current context; false when OpenGL
// refuses it (the picture is then drawn at the drawable's resolution).
bool Make(int width, int height) {
    Release();
    frame.context = Win32().current;
    glGenFramebuffers(1, &frame.framebuffer);
    glGenRenderbuffers(1, &frame.colour);
    glGenRenderbuffers(1, &frame.depth);
    glBindRenderbuffer(GL_RENDERBUFFER, frame.colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, frame.depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glBindFramebuffer(GL_FRAMEBUFFER, frame.framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, frame.colour);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, frame.depth);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        std::fprintf(stderr, "full screen at %dx%d: the framebuffer is incomplete; drawing at the monitor's size\n",
                     width, height);
        Release();
        frame.context = Win32().current;  // not tried again for this context
        return false;
    }
    frame.width = width;
    frame.height = height;
    return true;
}

}  // namespace

bool BindScaledFrame() {
    int width = 0, height = 0;
    WantedSize(&width, &height);
    if (frame.context != Win32().current) frame = ScaledFrame{};  // its objects went with the context
    if (width == 0) {
        if (frame.bound) glBindFramebuffer(GL_FRAMEBUFFER, 0);
        frame.bound = false;
        return false;
    }
    if ((frame.width != width || frame.height != height) && !Make(width, height)) {
        frame.bound = false;
        return false;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, frame.framebuffer);
    glViewport(0, 0, width, height);
    frame.bound = true;
    return true;
}

void ForgetScaledFrame(HGLRC context) {
    if (frame.context != context) return;
    if (context == Win32().current) Release();
    else frame = ScaledFrame{};
}

bool ScaledFrameStale() {
    int width = 0, height = 0;
    WantedSize(&width, &height);
    if (width == 0) return frame.bound;
    return !frame.bound || frame.context != Win32().current || frame.width != width || frame.height != height;
}

bool ScaledFrameSize(int* width, int* height) {
    if (!frame.bound || frame.context != Win32().current) return false;
    *width = frame.width;
    *height = frame.height;
    return true;
}

void ScaleFrameToWindow() {
    const Win32State& state = Win32();
    if (!frame.bound || frame.context != state.current) return;
    const int drawableWidth = state.drawableWidth, drawableHeight = state.drawableHeight;
    int width = drawableWidth, height = drawableHeight;
    if (width * 3 > height * 4) width = height * 4 / 3;
    else height = width * 3 / 4;
    const int x = (drawableWidth - width) / 2, y = (drawableHeight - height) / 2;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, frame.framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    GLfloat clearColour[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    glClearColor(0, 0, 0, 1);  // the bars beside the picture
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    glBlitFramebuffer(0, 0, frame.width, frame.height, x, y, x + width, y + height, GL_COLOR_BUFFER_BIT, GL_LINEAR);
    glBindFramebuffer(GL_FRAMEBUFFER, frame.framebuffer);
}
