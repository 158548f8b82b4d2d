// GDI and WGL stand-in over SDL2: device contexts, pixel formats, compatibility-profile
// OpenGL contexts and buffer swaps paced to 60 frames per second, with the picture kept
// at 4:3 in whatever drawable the screen gives.
#include "platform/sdl/win32_state.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

constexpr int kFramesPerSecond = 60;

const WglDrawing* drawing = nullptr;

// True when a window created for `created` cannot serve `wanted` (different buffering,
// alpha, stencil or depth request): SetPixelFormat then re-creates the SDL window.
bool NeedsNewFramebuffer(const PIXELFORMATDESCRIPTOR& created, const PIXELFORMATDESCRIPTOR& wanted) {
    return (created.dwFlags & PFD_DOUBLEBUFFER) != (wanted.dwFlags & PFD_DOUBLEBUFFER) ||
           created.cColorBits != wanted.cColorBits || created.cAlphaBits != wanted.cAlphaBits ||
           created.cDepthBits != wanted.cDepthBits || created.cStencilBits != wanted.cStencilBits;
}

// Device context handed out by GetDC and still valid: its window is alive.
HDC LiveDc(HDC dc) {
    if (!dc || !LiveWindow(dc->window) || &dc->window->dc != dc) return nullptr;
    return dc;
}

HGLRC LiveContext(HGLRC context) {
    for (HGLRC__& candidate : Win32().contexts)
        if (&candidate == context && candidate.alive) return context;
    return nullptr;
}

// Sleeps until the next 1/60 s deadline. Where vertical sync already holds presentation
// to the refresh, frames arrive at or after their deadline and nothing is slept; where it
// does not (Xvfb, drivers that ignore the swap interval) this sets the pace. A frame more
// than one period late restarts the clock instead of rushing to catch up. Returns the
// seconds slept; *late tells whether the frame came after its deadline.
}  // namespace

double PacePresentation(bool* late) {
    Win32State& state = Win32();
    const Uint64 period = SDL_GetPerformanceFrequency() / kFramesPerSecond;
    Uint64 now = SDL_GetPerformanceCounter();
    double seconds = 0.0;
    *late = state.nextPresentTicks != 0 && now > state.nextPresentTicks;
    if (state.nextPresentTicks == 0 || now > state.nextPresentTicks + period) {
        state.nextPresentTicks = now;
    } else if (now < state.nextPresentTicks) {
        seconds = double(state.nextPresentTicks - now) / double(SDL_GetPerformanceFrequency());
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    }
    state.nextPresentTicks += period;
    return seconds;
}

void FitViewport(SDL_Window* sdlWindow, bool force) {
    Win32State& state = Win32();
    if (!state.current || !sdlWindow) return;
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(sdlWindow, &width, &height);
    if (!force && width == state.drawableWidth && height == state.drawableHeight && !ScaledFrameStale()) return;
    state.drawableWidth = width;
    state.drawableHeight = height;
    if (BindScaledFrame() || !drawing) return;
    int x = 0, y = 0, viewWidth = 0, viewHeight = 0;
    FitPicture(width, height, &x, &y, &viewWidth, &viewHeight);
    drawing->viewport(x, y, viewWidth, viewHeight);
}

const WglDrawing* Drawing() { return drawing; }

const void* CurrentDrawingContext() { return Win32().current; }

void wglSetDrawing(const WglDrawing* given) { drawing = given; }

void DestroyAllContexts() {
    Win32State& state = Win32();
    if (state.videoReady) SDL_GL_MakeCurrent(nullptr, nullptr);
    state.current = nullptr;
    for (HGLRC__& context : state.contexts) {
        ForgetScaledFrame(&context);
        if (context.alive) SDL_GL_DeleteContext(context.context);
        context = HGLRC__{};
    }
}

HDC GetDC(HWND window) {
    LogCall("GetDC");
    if (Forced(win32test::FailPoint::GetDC) || !LiveWindow(window)) return nullptr;
    window->dc.held = true;
    return &window->dc;
}

int ReleaseDC(HWND window, HDC dc) {
    LogCall("ReleaseDC");
    if (!window || !dc || &window->dc != dc || !dc->held) return 0;
    dc->held = false;
    return 1;
}

int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* descriptor) {
    LogCall("ChoosePixelFormat");
    if (Forced(win32test::FailPoint::ChoosePixelFormat) || !LiveDc(dc) || !descriptor) return 0;
    // One format per window: the nearest the screen has to the descriptor, settled by SetPixelFormat.
    return 1;
}

BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* descriptor) {
    LogCall("SetPixelFormat");
    if (Forced(win32test::FailPoint::SetPixelFormat) || !LiveDc(dc) || !descriptor || format != 1) return 0;
    if (dc->format != 0) return dc->format == format;  // a window's format is set once
    HWND window = dc->window;
    if (window->openGl && NeedsNewFramebuffer(window->framebuffer, *descriptor) &&
        !CreateSdlWindow(window, *descriptor))
        return 0;
    dc->format = format;
    dc->descriptor = *descriptor;
    return 1;
}

HGLRC wglCreateContext(HDC dc) {
    LogCall("wglCreateContext");
    Win32State& state = Win32();
    if (Forced(win32test::FailPoint::wglCreateContext) || !LiveDc(dc) || dc->format == 0) return nullptr;
    HGLRC context = nullptr;
    for (HGLRC__& slot : state.contexts)
        if (!slot.alive) {
            context = &slot;
            break;
        }
    if (!context) return nullptr;
    SDL_Window* sdlWindow = dc->window->sdlWindow;
    SDL_GLContext created = CreateGlContext(sdlWindow);
    if (!created) {
        std::fprintf(stderr, "SDL_GL_CreateContext failed: %s\n", SDL_GetError());
        return nullptr;
    }
    // SDL makes the new context current; WGL does not, so the previous one comes back.
    if (LiveContext(state.current)) SDL_GL_MakeCurrent(state.current->window->sdlWindow, state.current->context);
    else SDL_GL_MakeCurrent(nullptr, nullptr);
    *context = HGLRC__{true, created, dc->window};
    return context;
}

BOOL wglMakeCurrent(HDC dc, HGLRC context) {
    LogCall("wglMakeCurrent");
    Win32State& state = Win32();
    if (Forced(win32test::FailPoint::wglMakeCurrent)) return 0;
    if (!context) {
        if (state.videoReady) SDL_GL_MakeCurrent(nullptr, nullptr);
        state.current = nullptr;
        return 1;
    }
    if (!LiveDc(dc) || !LiveContext(context)) return 0;
    if (SDL_GL_MakeCurrent(dc->window->sdlWindow, context->context) != 0) {
        std::fprintf(stderr, "SDL_GL_MakeCurrent failed: %s\n", SDL_GetError());
        return 0;
    }
    state.current = context;
    SDL_GL_SetSwapInterval(HostDesc().framePacing ? 1 : 0);
    FitViewport(dc->window->sdlWindow, true);
    return 1;
}

BOOL wglDeleteContext(HGLRC context) {
    LogCall("wglDeleteContext");
    Win32State& state = Win32();
    if (Forced(win32test::FailPoint::wglDeleteContext) || !LiveContext(context)) return 0;
    ForgetScaledFrame(context);
    if (state.current == context) {
        SDL_GL_MakeCurrent(nullptr, nullptr);
        state.current = nullptr;
    }
    SDL_GL_DeleteContext(context->context);
    *context = HGLRC__{};
    return 1;
}

PROC wglGetProcAddress(LPCSTR name) {
    if (!Win32().current || !name) return nullptr;
    // Addresses handed out stay callable for the process's life, as a Windows driver stays
    // loaded: one more hold on SDL's GL library, never given back, keeps it and the driver
    // behind it mapped when the last OpenGL window goes (a part's last frame still draws).
    static const bool held = SDL_GL_LoadLibrary(nullptr) == 0;
    (void)held;
    return reinterpret_cast<PROC>(SDL_GL_GetProcAddress(name));
}

BOOL SwapBuffers(HDC dc) {
    if (!LiveDc(dc) || !dc->window->sdlWindow || !dc->window->openGl) return 0;
    const host::Desc& host = HostDesc();
    if (host.present) host.present();
    bool late = false;
    const double waited = host.framePacing ? PacePresentation(&late) : 0.0;
    SDL_Window* sdlWindow = dc->window->sdlWindow;
    const auto swap = [sdlWindow] {
        if (!PresentScaledFrame(sdlWindow)) SDL_GL_SwapWindow(sdlWindow);
    };
    HoldWhilePaused(swap);
    // Nothing shows a hidden window: swapping would only copy the picture to the X server.
    if (!host.hidden) {
        if (host.overlay) host.overlay();
        swap();
    }
    FitViewport(dc->window->sdlWindow, false);
    if (host.presented) host.presented(waited, late, false);
    return 1;
}
