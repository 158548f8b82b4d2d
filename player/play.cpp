// The player: applies the command-line options to the platform stand-ins and the song
// position, then runs the program as the Windows loader would.
#include "player/capture.h"

int PlayWithOptions(const PlayOptions& options) {
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
