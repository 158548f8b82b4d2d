// The picture's size in the page: the canvas is the monitor and always "full screen". Its
// framebuffer is the mode the show asked for (640x480), which the browser scales
// to the canvas's size on the page; with sharp, the canvas's own device pixels.
#include <emscripten/html5.h>

#include <cmath>

#include "platform/sdl/win32_state.h"

namespace {

constexpr const char kCanvas[] = "#canvas";

// The framebuffer size the picture is drawn at now.
void WantedSize(int* width, int* height) {
    const win32test::DisplayModeState& mode = Win32().mode;
    if (!HostDesc().sharp) {
        *width = mode.width > 0 ? mode.width : HostDesc().windowWidth;
        *height = mode.height > 0 ? mode.height : HostDesc().windowHeight;
        return;
    }
    double cssWidth = 0.0, cssHeight = 0.0;
    emscripten_get_element_css_size(kCanvas, &cssWidth, &cssHeight);
    const double ratio = emscripten_get_device_pixel_ratio();
    *width = int(std::lround(cssWidth * ratio));
    *height = int(std::lround(cssHeight * ratio));
    if (*width <= 0 || *height <= 0) *width = HostDesc().windowWidth, *height = HostDesc().windowHeight;
}

}  // namespace

bool BindScaledFrame() {
    int width = 0, height = 0, canvasWidth = 0, canvasHeight = 0;
    WantedSize(&width, &height);
    emscripten_get_canvas_element_size(kCanvas, &canvasWidth, &canvasHeight);
    if (canvasWidth != width || canvasHeight != height) emscripten_set_canvas_element_size(kCanvas, width, height);
    // The largest 4:3 rectangle, centred (the whole canvas unless its page box is not 4:3).
    if (Drawing() == nullptr) return true;
    int x = 0, y = 0, viewWidth = 0, viewHeight = 0;
    FitPicture(width, height, &x, &y, &viewWidth, &viewHeight);
    Drawing()->viewport(x, y, viewWidth, viewHeight);
    return true;
}

bool ScaledFrameStale() {
    int width = 0, height = 0, canvasWidth = 0, canvasHeight = 0;
    WantedSize(&width, &height);
    emscripten_get_canvas_element_size(kCanvas, &canvasWidth, &canvasHeight);
    return canvasWidth != width || canvasHeight != height;
}

bool ScaledFrameSize(int* width, int* height) {
    emscripten_get_canvas_element_size(kCanvas, width, height);
    return *width > 0 && *height > 0;
}

bool PresentScaledFrame(SDL_Window*) { return false; }

unsigned PictureFramebuffer(int* width, int* height) {
    if (!ScaledFrameSize(width, height)) *width = *height = 0;
    return 0;
}

void ForgetScaledFrame(HGLRC) {}
