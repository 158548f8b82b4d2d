// Terminal interrupts (host.h): a signal handler that only records the first signal and
// wakes a watcher thread on the next one, which abandons the run outside signal context.
#include "platform/interface/host.h"

#include <SDL.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

#include "platform/sdl/win32_state.h"

namespace {

std::atomic<int> caught{0};             // first signal, 0 before it
std::atomic<void (*)()> abandonRun{nullptr};
bool closeQueued = false;               // main thread: the first signal's WM_CLOSE is queued
int wakePipe[2] = {-1, -1};             // the handler writes a later signal's number here
pid_t catcher = 0;                      // the process that installed the handlers

void OnSignal(int signal) {
    if (getpid() != catcher) {
        // A forked child without the watcher (SDL's message box process): it ends as by default.
        ::signal(signal, SIG_DFL);
        raise(signal);
        return;
    }
    int none = 0;
    if (caught.compare_exchange_strong(none, signal)) return;
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    if (write(wakePipe[1], &number, 1) < 0) {
        // Pipe full: an abandon is already on its way.
    }
    errno = savedErrno;
}

// Waits for a second interrupt, abandons the run and ends the process by that signal.
void WatchForSecondInterrupt() {
    unsigned char number = 0;
    for (;;) {
        const ssize_t got = read(wakePipe[0], &number, 1);
        if (got == 1) break;
        if (got < 0 && errno == EINTR) continue;
        return;
    }
    if (void (*abandon)() = abandonRun.load()) abandon();
    signal(number, SIG_DFL);
    raise(number);
    _exit(128 + number);  // not reached: the default action ends the process
}

}  // namespace

void host::CatchInterrupts(void (*abandon)()) {
    abandonRun.store(abandon);
    if (wakePipe[0] >= 0) return;
    if (pipe2(wakePipe, O_CLOEXEC) != 0) {
        std::fprintf(stderr, "CatchInterrupts: pipe: %s; interrupts end the process at once\n", std::strerror(errno));
        return;
    }
    fcntl(wakePipe[1], F_SETFL, O_NONBLOCK);  // the handler never waits
    catcher = getpid();
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    std::thread(WatchForSecondInterrupt).detach();
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    action.sa_flags = SA_RESTART;  // the rest of the program need not expect EINTR
    for (int signal : {SIGINT, SIGTERM}) {
        // A signal ignored from the start (a background job, nohup) stays ignored.
        struct sigaction previous {};
        sigaction(signal, nullptr, &previous);
        if (previous.sa_handler != SIG_IGN) sigaction(signal, &action, nullptr);
    }
}

int host::CaughtInterrupt() { return caught.load(); }

bool TakeInterruptClose() {
    if (closeQueued || caught.load() == 0) return false;
    closeQueued = true;
    return true;
}

void ForgetInterrupt() {
    caught.store(0);
    closeQueued = false;
}
