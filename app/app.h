// The application: the handles given to the entry point, the main window and its window
// procedure, the message pump every frame loop calls, and the system message box.
#pragma once

#include "platform/interface/win32.h"

extern HINSTANCE instance;  // handle given to the entry point
extern int showCommand;     // show-window command given to the entry point
extern HWND mainWindow;     // the top-level window; null until created
extern int quitSeen;        // 1 once the pump has retrieved WM_QUIT, until ForgetQuit

// 1 when the window exists, 0 when CreateWindowExA failed.
int CreateMainWindow(HINSTANCE instance, int showCommand);
LRESULT MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Drains every pending message without waiting; 1 once a quit has been seen, from then on always.
int PumpMessages();
// Clears quitSeen, for a show run again after its window was closed.
void ForgetQuit();
// A modal box with the text, captioned "System message:".
void ShowSystemMessage(const char* text);
// A modal box with the text under `caption`: how the display reports a failed step.
void ShowErrorBox(const char* text, const char* caption);
