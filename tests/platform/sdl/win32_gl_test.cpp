// GDI/WGL side of the Win32 stand-in on a real screen: the pixel format the display asks
// for, the compatibility context, the 4:3 viewport, full screen in the monitor's own mode,
// presentation pacing and the hook.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "gfx/gl_display.h"
#include "platform/interface/host.h"
#include "platform/interface/win32.h"
#include "platform/sdl/win32_test.h"
#include "player/viewer/viewer.h"

namespace {

LRESULT PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// The descriptor the display hands to ChoosePixelFormat/SetPixelFormat.
PIXELFORMATDESCRIPTOR DisplayDescriptor() {
    PIXELFORMATDESCRIPTOR descriptor{};
    descriptor.nSize = sizeof descriptor;
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    descriptor.cColorBits = 32;
    descriptor.cDepthBits = 32;
    return descriptor;
}

class Win32Gl : public ::testing::Test {
protected:
    void SetUp() override {
        win32test::Reset();
        if (!win32test::HasScreen()) GTEST_FAIL() << "no display: run under scripts/helpers/with-display.sh";
        win32test::RecordMessageBoxes(true);
        wglSetDrawing(GlDrawing());  // as the OpenGL display hands it over
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = PlainProc;
        windowClass.lpszClassName = "gl test";
        RegisterClassA(&windowClass);
    }
    void TearDown() override { win32test::Reset(); }

    // A window of the given size with a current context on it.
    void Open(int width, int height) {
        window = CreateWindowExA(0, "gl test", "gl test", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr,
                                 nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        dc = GetDC(window);
        ASSERT_NE(dc, nullptr);
        PIXELFORMATDESCRIPTOR descriptor = DisplayDescriptor();
        int format = ChoosePixelFormat(dc, &descriptor);
        ASSERT_NE(format, 0);
        ASSERT_TRUE(SetPixelFormat(dc, format, &descriptor));
        context = wglCreateContext(dc);
        ASSERT_NE(context, nullptr);
        ASSERT_TRUE(wglMakeCurrent(dc, context));
    }

    HWND window = nullptr;
    HDC dc = nullptr;
    HGLRC context = nullptr;
};

TEST_F(Win32Gl, ContextHasNoDestinationAlphaADeepDepthBufferAndTheFixedPipeline) {
    ASSERT_NO_FATAL_FAILURE(Open(64, 48));
    GLint alphaBits = -1, depthBits = 0;
    GLboolean doubleBuffered = GL_FALSE;
    glGetIntegerv(GL_ALPHA_BITS, &alphaBits);
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
    EXPECT_EQ(alphaBits, 0);
    EXPECT_GE(depthBits, 24);
    EXPECT_EQ(doubleBuffered, GL_TRUE);

    // Destination alpha reads as 1: a blend that keeps only it gives full white.
    glClearColor(0.2f, 0.2f, 0.2f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_DST_ALPHA, GL_ZERO);
    glBegin(GL_TRIANGLES);  // immediate mode: a compatibility context
    glColor3f(1, 1, 1);
    glVertex2f(-1, -1);
    glVertex2f(3, -1);
    glVertex2f(-1, 3);
    glEnd();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    unsigned char pixel[4] = {};
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 255);

    EXPECT_NE(wglGetProcAddress("glActiveTextureARB"), nullptr);
}

TEST_F(Win32Gl, ContextsAreCreatedWithoutBecomingCurrentAndDeletedOnce) {
    ASSERT_NO_FATAL_FAILURE(Open(32, 32));
    ASSERT_TRUE(wglMakeCurrent(nullptr, nullptr));
    EXPECT_EQ(wglGetProcAddress("glActiveTextureARB"), nullptr);  // nothing current
    HGLRC second = wglCreateContext(dc);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(wglGetProcAddress("glActiveTextureARB"), nullptr);  // still nothing current
    EXPECT_TRUE(wglDeleteContext(second));
    EXPECT_FALSE(wglDeleteContext(second));
    EXPECT_FALSE(wglMakeCurrent(dc, second));
    EXPECT_TRUE(ReleaseDC(window, dc));
    EXPECT_FALSE(ReleaseDC(window, dc));
}

TEST_F(Win32Gl, ViewportKeepsFourToThreeCentredInTheDrawable) {
    ASSERT_NO_FATAL_FAILURE(Open(800, 480));
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 80);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
    // A windowed run ignores the requested size and mode change and letterboxes vertically.
    win32test::Reset();
    SetUp();
    host::Setup({.windowed = true, .windowWidth = 640, .windowHeight = 600});
    DEVMODEA mode{};
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    mode.dmPelsWidth = 320;
    mode.dmPelsHeight = 200;
    ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN);
    ASSERT_NO_FATAL_FAILURE(Open(64, 48));
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 60);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
}

// Full screen leaves the monitor in its own mode: the window covers it, borderless, at
// every request (640x480, then 800x600), and the 4:3 picture fills its height at the
// monitor's resolution; restoring the desktop gives the window its own size back.
TEST_F(Win32Gl, FullScreenCoversTheMonitorInItsOwnModeBeforeDuringAndAfterEveryRequest) {
    ASSERT_NO_FATAL_FAILURE(Open(640, 480));
    SDL_Window* sdlWindow = win32test::SdlWindow(window);
    ASSERT_NE(sdlWindow, nullptr);
    const int monitor = SDL_GetWindowDisplayIndex(sdlWindow);
    SDL_DisplayMode desktop{};
    SDL_Rect bounds{};
    ASSERT_EQ(SDL_GetDesktopDisplayMode(monitor, &desktop), 0);
    ASSERT_EQ(SDL_GetDisplayBounds(monitor, &bounds), 0);
    auto expectDesktopMode = [&](int askedWidth, int askedHeight) {
        SCOPED_TRACE(askedWidth ? std::to_string(askedWidth) + "x" + std::to_string(askedHeight) : "desktop");
        SDL_DisplayMode current{}, windowMode{};
        SDL_GetCurrentDisplayMode(monitor, &current);
        SDL_GetWindowDisplayMode(sdlWindow, &windowMode);
        for (const SDL_DisplayMode& mode : {current, windowMode}) {
            EXPECT_EQ(mode.w, desktop.w);
            EXPECT_EQ(mode.h, desktop.h);
            EXPECT_EQ(mode.refresh_rate, desktop.refresh_rate);
        }
        const Uint32 flags = SDL_GetWindowFlags(sdlWindow);
        EXPECT_EQ(flags & SDL_WINDOW_FULLSCREEN_DESKTOP, askedWidth ? Uint32(SDL_WINDOW_FULLSCREEN_DESKTOP) : 0u);
        EXPECT_NE(flags & SDL_WINDOW_BORDERLESS, 0u);
        int width = 0, height = 0;
        SDL_GetWindowSize(sdlWindow, &width, &height);
        EXPECT_EQ(width, askedWidth ? bounds.w : 640);
        EXPECT_EQ(height, askedWidth ? bounds.h : 480);
    };
    auto ask = [&](int width, int height) {
        DEVMODEA mode{};
        mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
        mode.dmPelsWidth = DWORD(width);
        mode.dmPelsHeight = DWORD(height);
        mode.dmBitsPerPel = 32;
        ASSERT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
        EXPECT_EQ(win32test::CurrentDisplayMode().width, width);  // recorded as asked
        expectDesktopMode(width, height);
        ASSERT_TRUE(SwapBuffers(dc));  // fits the viewport to the drawable
        GLint viewport[4] = {};
        // Drawn at the size asked for, scaled to the monitor at the swap.
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[0], 0);
        EXPECT_EQ(viewport[1], 0);
        EXPECT_EQ(viewport[2], width);
        EXPECT_EQ(viewport[3], height);
        // Sharp: drawn at the monitor's resolution.
        host::Setup({.sharp = true});
        ASSERT_TRUE(SwapBuffers(dc));
        glGetIntegerv(GL_VIEWPORT, viewport);
        host::Setup({});
        const int pictureWidth = std::min(bounds.w, bounds.h * 4 / 3), pictureHeight = pictureWidth * 3 / 4;
        EXPECT_EQ(viewport[0], (bounds.w - pictureWidth) / 2);
        EXPECT_EQ(viewport[1], (bounds.h - pictureHeight) / 2);
        EXPECT_EQ(viewport[2], pictureWidth);
        EXPECT_EQ(viewport[3], pictureHeight);
    };
    expectDesktopMode(0, 0);
    ask(640, 480);
    ask(800, 600);
    ASSERT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    expectDesktopMode(0, 0);
}

// A context deleted full screen and made again takes the same slot: it must draw into a
// framebuffer of its own, not the name the deleted context's framebuffer had, shown scaled.
TEST_F(Win32Gl, FullScreenContextMadeAgainDrawsIntoAFramebufferOfItsOwn) {
    ASSERT_NO_FATAL_FAILURE(Open(640, 480));
    DEVMODEA mode{};
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    mode.dmPelsWidth = 640;
    mode.dmPelsHeight = 480;
    ASSERT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    for (const unsigned char green : {128, 255}) {
        ASSERT_TRUE(SwapBuffers(dc));  // binds the framebuffer of the mode
        glClearColor(0, green / 255.0f, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        unsigned char pixel[4] = {};
        glReadPixels(320, 240, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        EXPECT_EQ(pixel[1], green);
        ASSERT_TRUE(SwapBuffers(dc));
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)) << "green " << int(green);
        // llvmpipe's frames are scaled on the processor into the window's own pixels, black
        // beside the picture where the screen is not 4:3; a 4:3 screen is all picture.
        const SDL_Surface* surface = SDL_GetWindowSurface(win32test::SdlWindow(window));
        ASSERT_NE(surface, nullptr);
        const auto* pixels = static_cast<const uint8_t*>(surface->pixels);
        const uint32_t middle = *reinterpret_cast<const uint32_t*>(pixels + size_t(surface->h / 2) * surface->pitch +
                                                                   size_t(surface->w / 2) * 4);
        EXPECT_EQ(middle & 0xffffffu, uint32_t(green) << 8) << "green " << int(green);
        const uint32_t corner = surface->w * 3 == surface->h * 4 ? uint32_t(green) << 8 : 0u;
        EXPECT_EQ(*reinterpret_cast<const uint32_t*>(pixels) & 0xffffffu, corner)
            << "green " << int(green) << ", screen " << surface->w << "x" << surface->h;
        ASSERT_TRUE(wglDeleteContext(context));
        HGLRC again = wglCreateContext(dc);
        ASSERT_EQ(again, context);  // the same slot
        ASSERT_TRUE(wglMakeCurrent(dc, again));
    }
}

// Hidden by the show, the pointer stays hidden over the 4:3 picture only: it shows over the
// bars beside it and comes back for a message box.
TEST_F(Win32Gl, PointerHidesOverThePictureOnlyAndShowsForAMessageBox) {
    ASSERT_NO_FATAL_FAILURE(Open(800, 480));  // the picture spans x 80 to 719
    for (const auto& [x, shown] : {std::pair{400, false}, {20, true}, {715, false}, {790, true}, {85, false}}) {
        ASSERT_TRUE(win32test::MovePointer(window, x, 240)) << "the pointer did not reach x " << x;
        SetCursor(nullptr);  // as the show's window does when the pointer moves over it
        EXPECT_EQ(win32test::PointerShown(), shown) << "at x " << x;
    }
    MessageBoxA(window, "text", "caption", MB_OK);
    EXPECT_TRUE(win32test::PointerShown()) << "hidden over a message box";
}

TEST_F(Win32Gl, PacedSwapsTakeAtLeastASixtiethEachAndCallTheHookFirst) {
    ASSERT_NO_FATAL_FAILURE(Open(32, 32));
    int hookCalls = 0;
    unsigned char seenRed = 0;
    host::Setup({.present = [&] {
        ++hookCalls;
        unsigned char pixel[4] = {};
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        seenRed = pixel[0];
    }});
    glClearColor(1, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    ASSERT_TRUE(SwapBuffers(dc));  // starts the clock
    EXPECT_EQ(hookCalls, 1);
    EXPECT_EQ(seenRed, 255);  // the hook saw the finished back buffer

    constexpr int kSwaps = 12;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kSwaps; ++i) SwapBuffers(dc);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(seconds, (kSwaps - 1) / 60.0);
    EXPECT_EQ(hookCalls, kSwaps + 1);
}

// A paused swap presents its frame again every 1/60 s, reported as held, with the overlay
// drawn afresh over it each time yet never in what the present hook reads; the frame is
// swapped once the pause ends.
TEST_F(Win32Gl, PausedSwapReportsItsPresentationsAsHeldUntilResumed) {
    ASSERT_NO_FATAL_FAILURE(Open(32, 32));
    constexpr int kHeld = 3;
    int presents = 0, overlays = 0;
    std::vector<bool> heldFlags;
    std::vector<int> redsRead;
    host::Desc desc{.present = [&] {
                     unsigned char pixel[4] = {};
                     glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
                     redsRead.push_back(pixel[0]);
                     if (++presents > kHeld) host::SetPaused(false);
                 },
                 .presented = [&](double, bool, bool held) { heldFlags.push_back(held); },
                 .overlay = [&] {
                     ++overlays;
                     glEnable(GL_SCISSOR_TEST);
                     glScissor(0, 0, 1, 1);
                     glClearColor(1, 0, 0, 1);
                     glClear(GL_COLOR_BUFFER_BIT);
                     glDisable(GL_SCISSOR_TEST);
                     return true;
                 }};
    desc.hold = [&desc](const host::Hold& window) { HoldPausedFrame(desc, window); };
    host::Setup(desc);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    host::SetPaused(true);
    ASSERT_TRUE(SwapBuffers(dc));
    host::SetPaused(false);
    std::vector<bool> expected(kHeld, true);
    expected.push_back(false);
    EXPECT_EQ(heldFlags, expected);
    EXPECT_EQ(overlays, kHeld + 1);
    EXPECT_EQ(redsRead, std::vector<int>(kHeld + 1, 0));
}

}  // namespace
