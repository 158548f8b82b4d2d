// Full screen at the show's own size: while the window covers its monitor, the picture is
// drawn into an off-screen framebuffer of the display mode the show asked for (640x480)
// and scaled to the 4:3 rectangle of the monitor at the swap, as a monitor
// showing that mode would; host.sharp draws at the monitor's resolution instead. The
// framebuffer itself is the drawing library's (WglDrawing); this keeps which one is used.
#include "platform/win32/win32_state.h"

#include <cstdio>

namespace {

constexpr int kDefaultModeWidth = 640, kDefaultModeHeight = 480;

struct ScaledFrame {
    HGLRC context = nullptr;  // the context the framebuffer belongs to
    unsigned framebuffer = 0;
    int width = 0, height = 0;
    bool bound = false;  // drawing goes to the framebuffer
};
ScaledFrame frame;

// The size the show asked for while full screen; 0x0 when the picture is drawn at the
// drawable's own resolution (windowed, hidden, sharp, or no framebuffers to draw into).
void WantedSize(int* width, int* height) {
    const Win32State& state = Win32();
    const host::Desc& host = HostDesc();
    *width = *height = 0;
    if (host.hidden || host.sharp || !host::Fullscreen() || !Drawing() || !Drawing()->makeFrame) return;
    *width = state.mode.fullscreen && state.mode.width > 0 ? state.mode.width : kDefaultModeWidth;
    *height = state.mode.fullscreen && state.mode.height > 0 ? state.mode.height : kDefaultModeHeight;
}

void Release() {
    if (frame.context == Win32().current && frame.framebuffer != 0) Drawing()->deleteFrame(frame.framebuffer);
    frame = ScaledFrame{};
}

// Makes the framebuffer of width x height for the current context; false when it is
// refused (the picture is then drawn at the drawable's resolution).
bool Make(int width, int height) {
    Release();
    frame.context = Win32().current;
    frame.framebuffer = Drawing()->makeFrame(width, height);
    if (frame.framebuffer == 0) {
        std::fprintf(stderr, "full screen at %dx%d: the framebuffer is incomplete; drawing at the monitor's size\n",
                     width, height);
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
        if (frame.bound) Drawing()->bindFrame(0);
        frame.bound = false;
        return false;
    }
    if ((frame.width != width || frame.height != height) && !Make(width, height)) {
        frame.bound = false;
        return false;
    }
    Drawing()->bindFrame(frame.framebuffer);
    Drawing()->viewport(0, 0, width, height);
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
    int x = 0, y = 0, width = 0, height = 0;
    FitPicture(state.drawableWidth, state.drawableHeight, &x, &y, &width, &height);
    Drawing()->scaleFrame(frame.framebuffer, frame.width, frame.height, x, y, width, height);
}

unsigned PictureFramebuffer(int* width, int* height) {
    const Win32State& state = Win32();
    if (frame.bound && frame.context == state.current) {
        *width = frame.width;
        *height = frame.height;
        return frame.framebuffer;
    }
    *width = state.drawableWidth;
    *height = state.drawableHeight;
    return 0;
}
