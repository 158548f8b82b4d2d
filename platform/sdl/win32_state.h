// Internal state of the Win32/WGL stand-in: windows, device and rendering contexts, the
// message queue and the test controls, shared by the stand-in's files.
#pragma once

#include <SDL.h>

#include <mutex>
#include <string>
#include <vector>

#include "platform/shared/host_state.h"
#include "platform/shared/picture_fit.h"
#include "platform/interface/win32.h"
#include "platform/sdl/win32_test.h"
#include "platform/interface/wgl_drawing.h"

constexpr int kMaxWindowClasses = 8;
constexpr int kMaxWindows = 4;
constexpr int kMaxRenderContexts = 4;
constexpr int kMaxQueuedMessages = 512;
constexpr int kMaxPendingInputs = 64;
constexpr int kClassNameCapacity = 64;

// The one device context of a window. GetDC hands out its address.
struct HDC__ {
    HWND window;
    bool held;                          // between GetDC and ReleaseDC
    int format;                         // 0 until SetPixelFormat
    PIXELFORMATDESCRIPTOR descriptor;   // as given to SetPixelFormat
};

// A window: its SDL window and the procedure of its class. Slots are never freed while
// the process runs (only by Reset), so a handle stays safe to pass after DestroyWindow.
struct HWND__ {
    bool alive;
    SDL_Window* sdlWindow;
    WNDPROC procedure;
    bool visible;
    bool openGl;        // created with SDL_WINDOW_OPENGL
    int depthBits;      // depth buffer of the window's visual, 0 without OpenGL
    PIXELFORMATDESCRIPTOR framebuffer;  // pixel format the SDL window was created for
    int x, y, width, height;  // requested placement, pixels
    Uint32 flags;       // SDL flags it was created with, without SHOWN/HIDDEN
    char title[kClassNameCapacity];
    HDC__ dc;
};

struct HGLRC__ {
    bool alive;
    SDL_GLContext context;
    HWND window;  // window whose device context created it
};

struct WindowClassEntry {
    bool used;
    char name[kClassNameCapacity];
    WNDCLASSA windowClass;
};

// Input arriving from outside the main thread (tests) until the next PeekMessageA.
struct PendingInput {
    UINT message;  // WM_KEYDOWN or WM_CLOSE
    WPARAM wParam;
};

struct Win32State {
    bool videoReady;      // SDL video subsystem initialised
    bool videoHasScreen;  // not the dummy fallback: windows can draw with OpenGL (offscreen included)
    WindowClassEntry classes[kMaxWindowClasses];
    HWND__ windows[kMaxWindows];
    HGLRC__ contexts[kMaxRenderContexts];

    std::mutex queueLock;  // guards queue and pending input (PostMessageA may come from any thread)
    MSG queue[kMaxQueuedMessages];
    int queueCount;
    PendingInput pending[kMaxPendingInputs];
    int pendingCount;

    win32test::FailPoint failPoint;
    bool recordBoxes;
    std::vector<win32test::RecordedMessageBox> boxes;
    win32test::DisplayModeState mode;
    std::vector<std::string> callLog;

    bool cursorHidden;
    HWND focus;
    HGLRC current;
    int drawableWidth, drawableHeight;  // drawable size the viewport was last fitted to
    Uint64 nextPresentTicks;            // pacing deadline in performance-counter ticks, 0 = none
};

Win32State& Win32();
// Appends a message to the queue; the caller holds queueLock. False when the queue is full.
bool Enqueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Moves injected input and pending SDL events into the queue. Never waits.
void CollectInput();
// Input from any thread (tests), taken into the queue by the next CollectInput.
void PushInput(UINT message, WPARAM wParam);
// Brings up SDL video (a real driver, else the dummy one); false when neither starts.
bool EnsureVideo();
// True when `point` is the failure forced by the tests.
bool Forced(win32test::FailPoint point);
// Appends a call name to the call log (set-up and tear-down calls only, never per frame).
void LogCall(const char* name);
// The live window for a handle, or null for null, foreign or destroyed handles.
HWND LiveWindow(HWND window);
// Creates (or re-creates) the SDL window of `window` with OpenGL framebuffer attributes
// matching `descriptor`: depth tried at the requested size, then 24, then 16 bits.
bool CreateSdlWindow(HWND window, const PIXELFORMATDESCRIPTOR& descriptor);
// A new OpenGL context on window, made current by SDL (win32_gl_context.cpp); null on failure.
SDL_GLContext CreateGlContext(SDL_Window* window);
// Full screen at the show's size (win32_gl_scaled.cpp): binds the framebuffer of the mode
// asked for (made or resized as needed) with its whole viewport, true; or the window's own,
// false, when the picture is drawn at the drawable's resolution.
bool BindScaledFrame();
// True when BindScaledFrame would change what is drawn into (full screen, mode or sharp changed).
bool ScaledFrameStale();
// The size of the framebuffer drawn into, when it is not the window's own.
bool ScaledFrameSize(int* width, int* height);
// Scales the framebuffer's picture into the 4:3 rectangle of the window, black around it,
// before the swap: into the back buffer, false (the caller swaps), or on the processor
// into the window's own pixels, shown at once, true (no swap). Nothing (false) when
// drawing goes to the window itself.
bool PresentScaledFrame(SDL_Window* window);
// Forgets the full-screen framebuffer of a context about to be deleted (its objects are
// deleted with it, or now when it is current): a new context in the same slot makes its own.
void ForgetScaledFrame(HGLRC context);
// Fits a 4:3 viewport, centred, into the current drawable if its size changed.
void FitViewport(SDL_Window* sdlWindow, bool force);
// Puts the window full screen over its monitor in the monitor's own mode while a
// full-screen mode is recorded, else back to its own size and place.
void ApplyDisplayMode(HWND window);
// False on an X11 screen without a window manager, where full-screen requests go unheard.
bool WindowManagerPresent(SDL_Window* sdlWindow);
// Moves and sizes the window over its whole monitor itself (for X11 without a window manager).
void CoverDisplay(SDL_Window* sdlWindow);
// True when the pointer is over the picture: anywhere full screen, inside the 4:3 picture
// of a window (win32_pointer.cpp). Hidden by the show, it shows elsewhere.
bool PointerOverPicture();
// Shows or hides the pointer over every window of the program.
void ApplyPointer(bool hidden);
// Deletes every context and the windows (no messages sent): used by Reset.
void DestroyAllContexts();
// True once after the first caught interrupt (interrupts.cpp): it is then queued as a close.
bool TakeInterruptClose();
// Forgets a caught interrupt, so the next one counts as the first again: used by Reset.
void ForgetInterrupt();
