// Terminal interrupts for the Win32 stand-in: SIGINT and SIGTERM, caught by the process,
// reach the message queue as a close request of the window that takes input, the way a
// window manager's close does. SDL's own signal handlers are kept out.
#pragma once

// Installs the handlers; call before the first window or sound device (SDL must not have
// started). From then on the first SIGINT or SIGTERM becomes one WM_CLOSE, queued by the
// next PeekMessageA for the input window (held until a window exists). A second one calls
// abandon (when not null) on a thread of its own, which must remove or end whatever the
// process would leave behind, then ends the process by that signal. Later calls only
// replace abandon. A signal the process was started ignoring stays ignored.
void CatchInterrupts(void (*abandon)());

// The first interrupt caught: SIGINT, SIGTERM, or 0 when none has come.
int CaughtInterrupt();
