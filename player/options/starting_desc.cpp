// The host description and song position every way of playing starts from: the window,
// its size and the song order asked for by the options.
#include "player/player.h"
#include "show/show_state.h"

host::Desc StartingDesc(const PlayOptions& options) {
    host::Desc host;
    host.windowed = options.window;
    host.windowWidth = options.width;
    host.windowHeight = options.height;
    host.sharp = options.sharp;
    host.startOrder = options.fromOrder;
    // The parts before it see their end passed at their first check: set-up, no frame.
    if (options.fromOrder > 0) syncState.order.store(options.fromOrder, std::memory_order_relaxed);
    return host;
}
