// The top and bottom of every frame of a looping part: the message pump and the part's end
// test on the song order; the buffer swap, the clear and the clock step.
#include "parts/parts.h"
#include "app/app.h"
#include "show/show_state.h"

bool PartFrameBegin(bool (*runs)(int order)) {
    if (PumpMessages() == 1) return false;
    return runs(syncState.order.load(std::memory_order_relaxed));
}

void PartFrameEnd(double clockStep) {
    renderer->Present();
    renderer->Clear();
    demoTime = static_cast<float>(demoTime + clockStep);
}
