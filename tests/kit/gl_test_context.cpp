// Opens and closes a test window with an OpenGL context through the platform stand-in.
#include "tests/kit/gl_test_context.h"

#include <GL/gl.h>

#include <cstdlib>

#include "gfx/gl_window_state.h"
#include "platform/interface/host.h"
#include "platform/sdl/win32_test.h"

namespace {

const char kClassName[] = "orangefunk gl test";

LRESULT TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

bool Fail(std::string* error, const std::string& text) {
    if (error) *error = text;
    return false;
}

}  // namespace

bool GlTestContext::Open(int w, int h, std::string* error) {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!x11 || !*x11) && (!wayland || !*wayland))
        return Fail(error, "no display (DISPLAY is not set; run under scripts/helpers/with-display.sh)");

    host::Setup({.windowed = true, .windowWidth = w, .windowHeight = h, .hidden = true, .framePacing = false});
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);
    window = CreateWindowExA(0, kClassName, "gl test", WS_POPUP, 0, 0, w, h, nullptr, nullptr,
                             instance, nullptr);
    if (!window) return Fail(error, "CreateWindowExA failed: no window on this display");
    deviceContext = GetDC(window);
    if (!deviceContext) {
        Close();
        return Fail(error, "GetDC failed");
    }

    PIXELFORMATDESCRIPTOR descriptor{};
    descriptor.nSize = sizeof(descriptor);
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    descriptor.iPixelType = PFD_TYPE_RGBA;
    descriptor.cColorBits = 32;
    descriptor.cDepthBits = 32;
    const int format = ChoosePixelFormat(deviceContext, &descriptor);
    if (!format || !SetPixelFormat(deviceContext, format, &descriptor)) {
        Close();
        return Fail(error, "ChoosePixelFormat/SetPixelFormat failed");
    }
    renderContext = wglCreateContext(deviceContext);
    if (!renderContext || !wglMakeCurrent(deviceContext, renderContext)) {
        Close();
        return Fail(error, "wglCreateContext/wglMakeCurrent failed: no OpenGL on this display");
    }
    width = w;
    height = h;
    glWindowState.window = window;
    glWindowState.deviceContext = deviceContext;
    glWindowState.renderContext = renderContext;

    glEnable(GL_TEXTURE_2D);
    glEnable(GL_POLYGON_SMOOTH);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_GEQUAL);
    glClearColor(0, 0, 0, 0);
    glClearDepth(0.0);
    glViewport(0, 0, w, h);
    glReadBuffer(GL_BACK);
    return true;
}

void GlTestContext::Close() {
    if (renderContext) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(renderContext);
        renderContext = nullptr;
    }
    if (deviceContext) {
        ReleaseDC(window, deviceContext);
        deviceContext = nullptr;
    }
    if (window) {
        DestroyWindow(window);
        window = nullptr;
    }
    if (glWindowState.window) glWindowState = GlWindowState{};
    win32test::Reset();
}

Rgba GlTestContext::ReadPixel(int x, int y) const {
    uint8_t p[4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return Rgba{p[0], p[1], p[2], p[3]};
}

float GlTestContext::ReadDepth(int x, int y) const {
    float depth = -1.0f;
    glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    return depth;
}

int GlTestContext::AlphaBits() const {
    GLint bits = 0;
    glGetIntegerv(GL_ALPHA_BITS, &bits);
    return bits;
}
