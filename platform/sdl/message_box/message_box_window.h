// A message box the stand-in draws itself, for screens where the system's box cannot be
// shown (an X server without core fonts and no zenity, say).
#pragma once

#include <string>

// Shows `text` under the title `caption` in a window of its own, with one OK button, and
// waits until Return, Enter, Space or Escape is pressed and released, OK is clicked or the
// window is closed. Needs SDL video on a real screen. False, with the reason in error,
// when the window cannot be made.
bool ShowMessageBoxWindow(const char* caption, const char* text, std::string* error);
