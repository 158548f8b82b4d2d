// Whether the X display the environment names answers, asked before any window opens.
#include <X11/Xlib.h>

#include "platform/interface/host.h"

bool host::XDisplayOpens() {
    ::Display* display = XOpenDisplay(nullptr);  // Xlib reports a failure by its result only
    if (display == nullptr) return false;
    XCloseDisplay(display);
    return true;
}
