// The viewer's pause on screen: the frame held, presented again every 1/60 s, with the
// overlay drawn afresh over a copy of the picture.
#include "player/viewer/held_picture.h"
#include "player/viewer/viewer.h"

void HoldPausedFrame(const host::Desc& desc, const host::Hold& window) {
    // A copy of the picture lets the overlay (Tab) be drawn afresh over it, on or off;
    // without one the screen keeps the last swap and the frame stays where it was drawn.
    HeldPicture held;
    bool redraw = desc.overlay && !desc.hidden && held.Hold(window);
    bool swapNext = true;  // the held frame goes on screen once, then while the overlay shows or has just gone
    bool covered = false;  // an overlay or a swap has been over the picture since it was last put back
    while (host::Paused()) {
        if (!window.takeInput() || !host::Paused()) break;  // the key hook may resume
        bool late = false;
        const double waited = window.pace(&late);
        redraw = redraw && held.Restore(window, covered);  // a window resized meanwhile keeps its last swap
        covered = false;
        // The frame is presented again: its picture is in the buffer it was drawn into.
        if (desc.present) desc.present();
        if (redraw) {
            const bool drew = desc.overlay();
            if (drew || swapNext) window.swap();
            covered = drew || swapNext;
            swapNext = drew;
        }
        if (desc.presented) desc.presented(waited, late, true);
    }
    held.Restore(window, covered);  // the swap after the pause shows the frame itself
    held.Release(window);
}
