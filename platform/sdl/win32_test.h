// Test controls of the Win32 stand-in: injected input, forced failures, recorded message
// boxes, the display mode and call log it keeps, and a reset between tests. For tests only:
// the program sets the platform up through platform/interface/host.h.
#pragma once

#include <string>
#include <vector>

#include "platform/interface/win32.h"

struct SDL_Window;

namespace win32test {

// Input as if it came from SDL: a key press (Windows virtual-key code) or a close request.
void InjectKeyDown(WPARAM virtualKey);
void InjectClose();

// Makes one call fail (returning its failure value) until cleared with None.
enum class FailPoint {
    None,
    CreateWindowExA,
    GetDC,
    ChoosePixelFormat,
    SetPixelFormat,
    wglCreateContext,
    wglMakeCurrent,
    wglDeleteContext,
};
void ForceFailure(FailPoint point);

// Records message boxes instead of showing them.
struct RecordedMessageBox {
    std::string text;
    std::string caption;
};
void RecordMessageBoxes(bool record);
const std::vector<RecordedMessageBox>& RecordedMessageBoxes();
void ClearRecordedMessageBoxes();

// The mode last asked for (the monitor itself keeps its own), and how often the desktop
// was restored.
struct DisplayModeState {
    bool fullscreen;       // a CDS_FULLSCREEN change is in effect
    int width, height, bitsPerPixel;  // of the last mode requested
    int desktopRestores;   // calls of ChangeDisplaySettingsA(NULL, 0)
};
DisplayModeState CurrentDisplayMode();
// The SDL window behind a live window, null for others: what the screen shows of it.
SDL_Window* SdlWindow(HWND window);

// Puts the pointer at x, y (pixels from the top left) in a shown window and waits, up to a
// second, until SDL sees it there; false when it did not get there.
bool MovePointer(HWND window, int x, int y);
// True when the pointer is shown (hidden by the show over its picture only).
bool PointerShown();

// Calls made so far, by name ("wglDeleteContext", "ReleaseDC", ...), for tests of
// clean-up order.
const std::vector<std::string>& CallLog();
void ClearCallLog();

// Destroys windows and contexts, empties the queue, forgets a caught interrupt, clears
// every control above and gives the host description its defaults back.
void Reset();

// True when windows go to a real screen (double-buffered OpenGL, modal boxes); false
// without a display, where SDL's offscreen driver (OpenGL, nothing shown) or the dummy
// one (no OpenGL) stands in.
bool HasScreen();

}  // namespace win32test
