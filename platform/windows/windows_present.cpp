// Presentation on Windows: the host's description, every buffer swap of the show through
// the present hook, 60 Hz pacing (the driver's vertical sync where it holds), what the
// viewer's pause needs of the window, and the 4:3 viewport fitted to the window.
#include <chrono>

#include "platform/shared/pacing_wait.h"
#include "platform/shared/picture_fit.h"
#include "platform/windows/windows_state.h"

namespace {

constexpr int kFramesPerSecond = 60;

using Clock = PacingClock;

// Vertical sync is trusted to pace only where it measurably does. Sleeping to a deadline of
// our own on top of a swap that waits for the refresh puts the two out of phase: a wake just
// after a refresh waits for the next one. So the first kProbeFrames frames after the swap
// interval is set are presented without sleeping; when at least kHeldFrames of them came a
// period apart with the swap blocking for at least half of it, the swap paces and nothing is
// slept until kShortFrames frames in a row come early (a faster monitor, vertical sync
// turned off in the driver), when pacing by deadline takes over again.
constexpr int kProbeFrames = 8, kHeldFrames = 6, kShortFrames = 3;

struct VsyncJudge {
    int probing = 0;          // frames of the probe still to measure
    int held = 0;             // frames of the probe the swap held to the period
    bool paces = false;       // the swap paces presentation
    int shortInARow = 0;      // frames in a row since it paced that came early
    Clock::time_point lastSwap{};  // when the previous swap returned; the epoch: none
};

host::Desc desc;
Clock::time_point nextPresent{};  // pacing deadline; the epoch: none
VsyncJudge vsync;

using SwapIntervalProc = BOOL(WINAPI*)(int interval);

Clock::duration Period() {
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / kFramesPerSecond));
}

// Takes a swap that blocked from start until now into the judgement of vertical sync;
// returns the seconds it blocked when the swap paces, else 0, and *late when it came a
// refresh late.
double JudgeSwap(Clock::time_point start, Clock::time_point now, bool* late) {
    const Clock::duration period = Period(), interval = now - vsync.lastSwap;
    const bool started = vsync.lastSwap != Clock::time_point{};
    vsync.lastSwap = now;
    const bool onTime = started && interval >= period * 9 / 10;
    if (vsync.probing > 0) {
        vsync.held += onTime && interval <= period * 3 / 2 && (now - start) * 2 >= period ? 1 : 0;
        if (--vsync.probing == 0) vsync.paces = vsync.held >= kHeldFrames;
    } else if (vsync.paces) {
        vsync.shortInARow = onTime ? 0 : vsync.shortInARow + 1;
        vsync.paces = vsync.shortInARow < kShortFrames;
    }
    *late = vsync.paces && interval > period * 3 / 2;
    return vsync.paces ? std::chrono::duration<double>(now - start).count() : 0.0;
}

}  // namespace

const host::Desc& HostDesc() { return desc; }

double PacePresentation(bool* late) {
    *late = false;
    if (vsync.probing > 0 || vsync.paces) {
        nextPresent = Clock::time_point{};  // deadlines start afresh if the swap stops pacing
        return 0.0;
    }
    const Clock::duration period = Period();
    const Clock::time_point now = Clock::now();
    const bool started = nextPresent != Clock::time_point{};
    double seconds = 0.0;
    *late = started && now > nextPresent;
    if (!started || now > nextPresent + period) {
        nextPresent = now;
    } else if (now < nextPresent) {
        seconds = std::chrono::duration<double>(nextPresent - now).count();
        WaitUntil(nextPresent);
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
    Windows().fitted = nullptr;         // the swap interval is set again, vertical sync judged afresh
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
        vsync = VsyncJudge{desc.framePacing && !desc.hidden ? kProbeFrames : 0};
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
    double blocked = 0.0;
    // Nothing shows a hidden window: the picture stays in the back buffer.
    if (!desc.hidden) {
        if (desc.overlay) desc.overlay();
        const Clock::time_point start = Clock::now();
        swapped = ::SwapBuffers(dc);
        bool refreshLate = false;
        if (desc.framePacing) blocked = JudgeSwap(start, Clock::now(), &refreshLate);
        late = late || refreshLate;
    }
    FitViewport(dc);
    if (desc.presented) desc.presented(waited + blocked, late, false);
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
