// The player: applies the command-line options to the platform stand-ins and the song
// position, then runs the program as the Windows loader would.
#include <cstdio>

#include "platform/interrupts.h"
#include "shell/capture.h"
#include "shell/leftovers.h"

int PlayWithOptions(const PlayOptions& options) {
    // Ctrl-C or SIGTERM ends the show as closing its window does; a second one abandons
    // the run, removing what it would leave behind.
    CatchInterrupts([] {
        std::fputs("\norangefunk: abandoned by a second interrupt; its temporary files are removed\n", stderr);
        Leftovers::Abandon();
    });
    if (options.window) win32test::SetWindowed(true, options.width, options.height);
    if (options.fromOrder > 0) {
        basstest::SetStartOrder(options.fromOrder);
        // The parts before it see their end passed at their first check: set-up, no frame.
        syncState.order.store(options.fromOrder, std::memory_order_relaxed);
    }
    const bool offScreen = options.capturePath != nullptr || options.framesDir != nullptr;
    OffscreenPlay play;
    if (offScreen && !play.Begin(options)) return 1;
    char commandLine[] = "";
    WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
    return offScreen ? play.Finish() : 0;
}
