// Full screen at the show's own size: while the window covers its monitor, the picture is
// drawn into an off-screen framebuffer of the display mode the show asked for (640x480)
// and scaled to the 4:3 rectangle of the monitor at the swap, as a monitor
// showing that mode would; host.sharp draws at the monitor's resolution instead. The
// framebuffer itself is the drawing library's (WglDrawing); this keeps which one is used.
// A software renderer pays about 3 ns for each pixel it writes, so there the picture is
// read back and scaled on the processor into the window's own pixels (SDL's window surface,
// shared memory the X server copies from) in well under half the time.
#include "platform/sdl/linux/bilinear_scaler.h"
#include "platform/sdl/win32_state.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kDefaultModeWidth = 640, kDefaultModeHeight = 480;

struct ScaledFrame {
    HGLRC context = nullptr;  // the context the framebuffer belongs to
    unsigned framebuffer = 0;
    int width = 0, height = 0;
    bool bound = false;  // drawing goes to the framebuffer
    int onProcessor = -1;  // scaled on the processor: -1 not yet asked, 0 no, 1 yes
};
ScaledFrame frame;

// The picture read back and its scaling into the window surface, kept across frames.
struct ProcessorScaling {
    std::vector<uint32_t> picture;  // BGRA, bottom row first
    BilinearScaler scaler;
    const void* surfacePixels = nullptr;  // the surface last filled black around the picture
    int surfaceWidth = 0, surfaceHeight = 0;
};
ProcessorScaling processor;

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

namespace {

// Whether this context's frames are scaled on the processor: a software renderer drawing
// into an X11 window whose surface takes 32-bit pixels.
bool ScalesOnProcessor(SDL_Window* window) {
    if (frame.onProcessor < 0) {
        frame.onProcessor = Drawing()->readFrame != nullptr && Drawing()->rendersOnProcessor != nullptr &&
                            Drawing()->rendersOnProcessor() &&
                            std::strcmp(SDL_GetCurrentVideoDriver(), "x11") == 0;
        if (frame.onProcessor) {
            const SDL_Surface* surface = SDL_GetWindowSurface(window);
            if (surface == nullptr || (surface->format->format != SDL_PIXELFORMAT_RGB888 &&
                                       surface->format->format != SDL_PIXELFORMAT_ARGB8888)) {
                std::fprintf(stderr, "full screen: no 32-bit window surface (%s); scaling with OpenGL\n",
                             surface == nullptr ? SDL_GetError() : SDL_GetPixelFormatName(surface->format->format));
                frame.onProcessor = 0;
            }
        }
    }
    return frame.onProcessor == 1;
}

// Reads the framebuffer back, scales it into the 4:3 rectangle of the window surface
// (black around it, filled once per surface) and shows the surface; false when the
// surface cannot be had or shown (the caller then scales with OpenGL and swaps).
bool PresentOnProcessor(SDL_Window* window) {
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (surface == nullptr || surface->w < 1 || surface->h < 1) return false;
    processor.picture.resize(size_t(frame.width) * size_t(frame.height));
    Drawing()->readFrame(frame.framebuffer, frame.width, frame.height, processor.picture.data());
    if (surface->pixels != processor.surfacePixels || surface->w != processor.surfaceWidth ||
        surface->h != processor.surfaceHeight) {
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
        processor.surfacePixels = surface->pixels;
        processor.surfaceWidth = surface->w;
        processor.surfaceHeight = surface->h;
    }
    int x = 0, y = 0, width = 0, height = 0;
    FitPicture(surface->w, surface->h, &x, &y, &width, &height);
    processor.scaler.Prepare(frame.width, frame.height, width, height);
    const int top = surface->h - y - height;  // FitPicture counts from the bottom
    processor.scaler.Scale(processor.picture.data(),
                           static_cast<uint8_t*>(surface->pixels) + size_t(top) * size_t(surface->pitch) +
                               size_t(x) * 4,
                           surface->pitch);
    if (SDL_UpdateWindowSurface(window) == 0) return true;
    std::fprintf(stderr, "full screen: SDL_UpdateWindowSurface failed (%s); scaling with OpenGL\n", SDL_GetError());
    frame.onProcessor = 0;
    return false;
}

}  // namespace

bool PresentScaledFrame(SDL_Window* window) {
    const Win32State& state = Win32();
    if (!frame.bound || frame.context != state.current) return false;
    if (ScalesOnProcessor(window) && PresentOnProcessor(window)) return true;
    int x = 0, y = 0, width = 0, height = 0;
    FitPicture(state.drawableWidth, state.drawableHeight, &x, &y, &width, &height);
    Drawing()->scaleFrame(frame.framebuffer, frame.width, frame.height, x, y, width, height);
    return false;
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
