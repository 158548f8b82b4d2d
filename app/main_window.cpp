// The application window: its class, the popup that carries the OpenGL surface, the
// window procedure that turns Escape into a quit, and the system message box.
#include "app/app.h"

HINSTANCE instance = nullptr;
int showCommand = 0;
HWND mainWindow = nullptr;
int quitSeen = 0;

namespace {
constexpr const char* kWindowClassName = "Windows example name";
constexpr const char* kWindowTitle = "Windows example title";
constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 480;
}  // namespace

int CreateMainWindow(HINSTANCE instance, int showCommand) {
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = nullptr;
    windowClass.lpszMenuName = kWindowClassName;
    windowClass.lpszClassName = kWindowClassName;
    RegisterClassA(&windowClass);  // a failure shows as a failed CreateWindowExA

    mainWindow = CreateWindowExA(WS_EX_TOPMOST, kWindowClassName, kWindowTitle, WS_POPUP | WS_VISIBLE, 0, 0,
                                 kWindowWidth, kWindowHeight, nullptr, nullptr, instance, nullptr);
    if (!mainWindow) return 0;
    ShowWindow(mainWindow, showCommand);
    UpdateWindow(mainWindow);
    return 1;
}

LRESULT MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        break;
    }
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return 1;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) PostMessageA(window, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void ShowSystemMessage(const char* text) { MessageBoxA(nullptr, text, "System message:", MB_OK); }

void ShowErrorBox(const char* text, const char* caption) { MessageBoxA(nullptr, text, caption, MB_OK); }
