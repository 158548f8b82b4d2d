// The Windows program is a windowed one (no console of its own opens on a double-click);
// started from a console (cmd, PowerShell) without standard streams, it writes to that
// console, so --help, --stats and its messages show there.
#include <cstdio>

#include "platform/windows/windows_state.h"

namespace {

// Runs before main.
struct ParentConsole {
    ParentConsole() {
        const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
        if ((error != nullptr && error != INVALID_HANDLE_VALUE) || !AttachConsole(ATTACH_PARENT_PROCESS)) return;
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
};
const ParentConsole parentConsole;

}  // namespace
