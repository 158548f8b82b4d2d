// The program's main in a web page: sets the page up, hands over to WinMain as the
// Windows loader would, and shows the closing message in the page. Address parameters:
// "from=ORDER" starts the music at that song order (the parts before it set up and draw
// nothing); "at=ORDER:ROW" runs the show in lockstep with its music (each frame moves it
// on by 1/60 s, as off-screen play does) and holds the first frame drawn at or after that
// song position, with the page's data-state set to "frame", for a screenshot.
#include <emscripten.h>

#include <cstdio>

#include "platform/browser.h"
#include "shell/shell.h"

namespace {

constexpr int kLockstepRate = 44100;
constexpr int kLockstepFramesPerSecond = 60;

long long PositionKey(int order, int row) { return (long long)order * 65536 + row; }

// Frames in lockstep are yielded to the browser only this often (milliseconds of wall
// time): the browser would otherwise show, and wait for, every one of them.
constexpr double kLockstepYieldInterval = 250.0;

long long heldPosition = -1;  // the position of the frame to hold, -1 in real time
double lastYield = 0.0;       // emscripten_get_now() at the last yield in lockstep

// Present hook in lockstep: the position is the one the frame was drawn at (syncs fire
// only inside Advance). Holding keeps returning to the browser and never resumes the show.
void PresentInLockstep() {
    const int order = syncState.order.load(std::memory_order_relaxed);
    const int row = syncState.row.load(std::memory_order_relaxed);
    if (PositionKey(order, row) >= heldPosition) {
        browser::SetPageData("state", "frame");
        for (;;) browser::YieldFrame(true);
    }
    basstest::Advance(kLockstepRate / kLockstepFramesPerSecond, nullptr);
    if (emscripten_get_now() - lastYield >= kLockstepYieldInterval) {
        browser::YieldFrame(false);
        lastYield = emscripten_get_now();
    }
}

// Present hook in real time: the song position goes to the page's data-position
// ("ORDER:ROW") when it has changed, then the browser shows the frame.
void PresentInRealTime() {
    static long long shown = -1;
    const int order = syncState.order.load(std::memory_order_relaxed);
    const int row = syncState.row.load(std::memory_order_relaxed);
    if (PositionKey(order, row) != shown) {
        shown = PositionKey(order, row);
        char position[24];
        std::snprintf(position, sizeof position, "%d:%d", order, row);
        browser::SetPageData("position", position);
    }
    browser::YieldFrame(true);
}

}  // namespace

int main() {
    browser::SetUpPage(640, 480);
    std::string from, at;
    int order = 0, row = 0;
    if (browser::PageParameter("from", &from) && std::sscanf(from.c_str(), "%d", &order) == 1 && order > 0) {
        basstest::SetStartOrder(order);
        syncState.order.store(order, std::memory_order_relaxed);
    }
    if (browser::PageParameter("at", &at) && std::sscanf(at.c_str(), "%d:%d", &order, &row) == 2) {
        heldPosition = PositionKey(order, row);
        basstest::SetLockstep(true);
        win32test::SetPresentHook(PresentInLockstep);
    } else {
        win32test::SetPresentHook(PresentInRealTime);
    }
    char commandLine[] = "";
    WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
    browser::FinishPage();
    return 0;
}
