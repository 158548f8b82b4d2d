// The top of every frame of a looping part: the message pump, then the part's end test on
// the song order.
#include "parts/parts.h"
#include "shell/shell.h"

bool PartFrameBegin(bool (*runs)(int order)) {
    if (PumpMessages() == 1) return false;
    return runs(syncState.order.load(std::memory_order_relaxed));
}
