// GDI/WGL side of the Win32 stand-in on a real screen: the pixel format the display asks
// for, the compatibility context, the 4:3 viewport, presentation pacing and the hook.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <chrono>

#include "platform/host.h"
#include "platform/win32.h"
#include "platform/win32_test.h"

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
        if (!win32test::HasScreen()) GTEST_SKIP() << "no display: run under scripts/with-display.sh";
        win32test::RecordMessageBoxes(true);
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

}  // namespace
