// The viewer's pause as every window room presents it: the frame held on screen, presented
// again every 1/60 s, with the overlay drawn afresh over a copy of the picture.
#include "platform/host_state.h"

void HoldWhilePaused(const std::function<void()>& swap) {
    const host::Desc& host = HostDesc();
    if (!host::Paused()) return;
    // A copy of the picture lets the overlay (Tab) be drawn afresh over it, on or off;
    // without one the screen keeps the last swap and the frame stays where it was drawn.
    bool redraw = host.overlay && !host.hidden && HoldPicture();
    bool swapNext = true;  // the held frame goes on screen once, then while the overlay shows or has just gone
    bool covered = false;  // an overlay or a swap has been over the picture since it was last put back
    while (host::Paused()) {
        if (!TakeInputWhilePaused() || !host::Paused()) break;  // the key hook may resume
        bool late = false;
        const double waited = host.framePacing ? PacePresentation(&late) : 0.0;
        redraw = redraw && RestorePicture(covered);  // a window resized meanwhile keeps its last swap
        covered = false;
        // The frame is presented again: its picture is in the buffer it was drawn into.
        if (host.present) host.present();
        if (redraw) {
            const bool drew = host.overlay();
            if (drew || swapNext) swap();
            covered = drew || swapNext;
            swapNext = drew;
        }
        if (host.presented) host.presented(waited, late, true);
    }
    RestorePicture(covered);  // the swap after the pause shows the frame itself
    ReleasePicture();
}
