// A private X server for off-screen play on machines without a display: Xvfb, started
// on a free display number of its own choosing, ending with this process.
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "player/capture.h"

namespace {

constexpr int kStartTimeoutMs = 15000;  // Xvfb normally answers within a second
constexpr int kMinScreenWidth = 1280, kMinScreenHeight = 1024;

}  // namespace

bool EnsureXDisplay(int width, int height) {
    const char* current = std::getenv("DISPLAY");
    if (current != nullptr && *current != '\0') return true;

    // Xvfb writes the display number it took to this pipe once it accepts clients.
    int ready[2];
    if (pipe(ready) != 0) {
        std::fprintf(stderr, "orangefunk: pipe for Xvfb: %s\n", std::strerror(errno));
        return false;
    }
    const std::string screen = std::to_string(std::max(width, kMinScreenWidth)) + "x" +
                               std::to_string(std::max(height, kMinScreenHeight)) + "x24";
    const std::string readyFd = std::to_string(ready[1]);
    const pid_t child = fork();
    if (child < 0) {
        std::fprintf(stderr, "orangefunk: fork for Xvfb: %s\n", std::strerror(errno));
        close(ready[0]);
        close(ready[1]);
        return false;
    }
    if (child == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);  // the server ends when the player does
        setpgid(0, 0);  // and not before it: a terminal's Ctrl-C is the player's to handle
        close(ready[0]);
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        execlp("Xvfb", "Xvfb", "-displayfd", readyFd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ready[1]);

    char number[16] = {};
    size_t got = 0;
    pollfd wait{ready[0], POLLIN, 0};
    while (got + 1 < sizeof number && poll(&wait, 1, kStartTimeoutMs) > 0) {
        const ssize_t n = read(ready[0], number + got, sizeof number - 1 - got);
        if (n <= 0) break;
        got += size_t(n);
        if (std::memchr(number, '\n', got) != nullptr) break;
    }
    close(ready[0]);
    const int display = std::atoi(number);
    if (got == 0 || std::memchr(number, '\n', got) == nullptr) {
        kill(child, SIGTERM);
        std::fprintf(stderr,
                     "orangefunk: no display, and Xvfb could not be started (scripts/setup.sh installs it)\n");
        return false;
    }
    setenv("DISPLAY", (":" + std::to_string(display)).c_str(), 1);
    return true;
}
