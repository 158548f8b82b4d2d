// The drawing context on the main window: display-mode change, pixel format, context
// creation and release through the platform's WGL calls, with the failure boxes.
#include "gfx/gl_window_state.h"

#include <cstring>

GlWindowState glWindowState = {};
DisplayTarget displayTarget = {};

void ReportDisplayError(const char* text, const char* caption) {
    if (displayTarget.reportError) displayTarget.reportError(text, caption);
}

namespace {

// Gives the desktop its mode back, reports `text` as fatal and returns 0 for Open.
int FailOpenGL(const char* text) {
    ChangeDisplaySettingsA(nullptr, 0);
    ReportDisplayError(text, "FATAL ERROR");
    return 0;
}

// Clean-up after a failed context step: the context (if any) and the device context go.
void ReleaseContexts() {
    if (glWindowState.renderContext) {
        wglDeleteContext(glWindowState.renderContext);
        glWindowState.renderContext = nullptr;
    }
    if (glWindowState.deviceContext) {
        ReleaseDC(glWindowState.window, glWindowState.deviceContext);
        glWindowState.deviceContext = nullptr;
    }
}

}  // namespace

void EnterDisplayMode(int width, int height, int bitsPerPixel) {
    glWindowState.showCommand = displayTarget.showCommand;
    DEVMODEA mode;
    std::memset(&mode, 0, sizeof mode);
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    mode.dmBitsPerPel = static_cast<DWORD>(bitsPerPixel);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN);
}

int OpenWindowContext() {
    glWindowState.window = displayTarget.window;

    // 32-bit colour, no alpha (destination alpha reads as 1), 32-bit depth, double buffered.
    PIXELFORMATDESCRIPTOR descriptor;
    std::memset(&descriptor, 0, sizeof descriptor);
    descriptor.nSize = sizeof descriptor;
    descriptor.nVersion = 1;
    descriptor.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    descriptor.iPixelType = PFD_TYPE_RGBA;
    descriptor.cColorBits = 32;
    descriptor.cDepthBits = 32;
    descriptor.iLayerType = PFD_MAIN_PLANE;

    glWindowState.deviceContext = GetDC(glWindowState.window);
    if (!glWindowState.deviceContext) return FailOpenGL("GetDC on main window failed");
    // After these two failures the device context stays held.
    int format = ChoosePixelFormat(glWindowState.deviceContext, &descriptor);
    if (format == 0) return FailOpenGL("ChoosePixelFormat failed\n");
    if (!SetPixelFormat(glWindowState.deviceContext, format, &descriptor))
        return FailOpenGL("SetPixelFormat failed\n");

    glWindowState.renderContext = wglCreateContext(glWindowState.deviceContext);
    if (!glWindowState.renderContext) {
        FailOpenGL("wglCreateContext failed\n");
        ReleaseContexts();
        return 0;
    }
    if (!wglMakeCurrent(glWindowState.deviceContext, glWindowState.renderContext)) {
        FailOpenGL("wglMakeCurrent failed\n");
        ReleaseContexts();
        return 0;
    }

    ShowWindow(glWindowState.window, glWindowState.showCommand);
    UpdateWindow(glWindowState.window);
    SetForegroundWindow(glWindowState.window);
    SetFocus(glWindowState.window);
    return 1;
}

void ShutdownOpenGL() {
    if (glWindowState.renderContext) {
        wglMakeCurrent(nullptr, nullptr);
        if (!wglDeleteContext(glWindowState.renderContext))
            ReportDisplayError("ShutdownOpenGL - wglDeleteContext failed\n", "ERROR");
        glWindowState.renderContext = nullptr;
    }
    if (glWindowState.deviceContext) {
        ReleaseDC(glWindowState.window, glWindowState.deviceContext);
        glWindowState.deviceContext = nullptr;
    }
    ChangeDisplaySettingsA(nullptr, 0);
}
