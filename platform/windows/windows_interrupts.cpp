// Console interrupts on Windows: Ctrl-C, Ctrl-Break and the console closing reach the show
// as a close of its window, the way the window's own close does; a second one abandons.
#include <signal.h>

#include <atomic>

#include "platform/windows/windows_state.h"

namespace {

std::atomic<int> caught{0};
std::atomic<void (*)()> abandonProc{nullptr};

// Runs on a thread of the console's: the first interrupt closes the window (posted, so
// the main thread's pump takes it), a second ends the process after abandon.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    const int signal = event == CTRL_C_EVENT ? SIGINT : SIGTERM;
    int none = 0;
    if (caught.compare_exchange_strong(none, signal)) {
        RequestClose();
        return TRUE;
    }
    if (void (*abandon)() = abandonProc.load()) abandon();
    ExitProcess(128 + signal);
}

}  // namespace

void host::CatchInterrupts(void (*abandon)()) {
    abandonProc.store(abandon);
    static bool installed = false;
    if (!installed) SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
    installed = true;
}

int host::CaughtInterrupt() { return caught.load(); }
