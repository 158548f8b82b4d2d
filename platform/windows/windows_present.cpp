// Presentation on Windows: the host's description, every buffer swap of the show through
// the present hook, 60 Hz pacing (the driver's vertical sync where it holds), what the
// viewer's pause needs of the window, and the 4:3 viewport fitted to the window.
#include <chrono>
#include <thread>

#include "platform/shared/picture_fit.h"
#include "platform/windows/windows_state.h"

namespace {

constexpr int kFramesPerSecond = 60;

using Clock = std::chrono::steady_clock;

host::Desc desc;
Clock::time_point nextPresent{};  // pacing deadline; the epoch: none

using SwapIntervalProc = BOOL(WINAPI*)(int interval);

}  // namespace

const host::Desc& HostDesc() { return desc; }

double PacePresentation(bool* late) {
    const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / kFramesPerSecond));
    const Clock::time_point now = Clock::now();
    const bool started = nextPresent != Clock::time_point{};
    double seconds = 0.0;
    *late = started && now > nextPresent;
    if (!started || now > nextPresent + period) {
        nextPresent = now;
    } else if (now < nextPresent) {
        seconds = std::chrono::duration<double>(nextPresent - now).count();
        std::this_thread::sleep_until(nextPresent);
    }
    nextPresent += period;
    return seconds;
}

bool TakeInputWhilePaused() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
        // An end request stays queued for the show's own pump.
        if (message.message == WM_CLOSE || message.message == WM_QUIT ||
            (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE))
            return false;
        PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return true;
}

const void* CurrentDrawingContext() { return wglGetCurrentContext(); }

const WglDrawing* Drawing() { return Windows().drawing; }

unsigned PictureFramebuffer(int* width, int* height) {
    *width = Windows().drawableWidth;
    *height = Windows().drawableHeight;
    return 0;
}

void host::Setup(const Desc& given) {
    desc = given;
    nextPresent = Clock::time_point{};  // pacing starts afresh
    Windows().fitted = nullptr;         // the swap interval is set again
}

void wglSetDrawing(const WglDrawing* drawing) { Windows().drawing = drawing; }

void FitViewport(HDC dc) {
    WindowsState& state = Windows();
    const HGLRC context = wglGetCurrentContext();
    RECT client{};
    if (!context || !GetClientRect(WindowFromDC(dc), &client)) return;
    const int width = client.right - client.left, height = client.bottom - client.top;
    if (context == state.fitted && width == state.drawableWidth && height == state.drawableHeight) return;
    if (context != state.fitted) {
        const auto swapInterval = reinterpret_cast<SwapIntervalProc>(wglGetProcAddress("wglSwapIntervalEXT"));
        if (swapInterval) swapInterval(desc.framePacing ? 1 : 0);
    }
    state.fitted = context;
    state.drawableWidth = width;
    state.drawableHeight = height;
    FitPicture(width, height, &state.pictureX, &state.pictureY, &state.pictureWidth, &state.pictureHeight);
    if (state.drawing) state.drawing->viewport(state.pictureX, state.pictureY, state.pictureWidth, state.pictureHeight);
}

BOOL HostSwapBuffers(HDC dc) {
    FitViewport(dc);  // the first frame of a context: drawn before any swap
    if (desc.present) desc.present();
    bool late = false;
    const double waited = desc.framePacing ? PacePresentation(&late) : 0.0;
    HoldWhilePaused([dc] { ::SwapBuffers(dc); });
    BOOL swapped = TRUE;
    // Nothing shows a hidden window: the picture stays in the back buffer.
    if (!desc.hidden) {
        if (desc.overlay) desc.overlay();
        swapped = ::SwapBuffers(dc);
    }
    FitViewport(dc);
    if (desc.presented) desc.presented(waited, late, false);
    return swapped;
}

bool host::PictureRect(int* x, int* y, int* width, int* height) {
    const WindowsState& state = Windows();
    if (!wglGetCurrentContext() || state.pictureWidth <= 0 || state.pictureHeight <= 0) return false;
    *x = state.pictureX;
    *y = state.pictureY;
    *width = state.pictureWidth;
    *height = state.pictureHeight;
    return true;
}
