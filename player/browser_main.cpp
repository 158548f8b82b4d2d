// The program's main in a web page. The page hands its address parameters over as the
// command line ("?from=28&at=30:0" becomes --from=28 --at=30:0), read as the player's
// options. The canvas is the window, the browser paces the frames, and message boxes
// appear in the page as they are shown. With --at the show runs in lockstep with its
// music, as --frames does, and holds the first frame drawn at or after the earliest
// position, the page's data-state set to "frame", for a screenshot: the page stands for
// the frames folder.
#include <emscripten.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/browser/browser.h"
#include "player/player.h"
#include "shell/sequence.h"
#include "show/show_state.h"

namespace {

// Frames in lockstep are yielded to the browser only this often (milliseconds of wall
// time): the browser would otherwise show, and wait for, every one of them.
constexpr double kLockstepYieldInterval = 250.0;

long long heldPosition = -1;  // the position of the frame to hold
double lastYield = 0.0;       // emscripten_get_now() at the last yield in lockstep

// Present hook in lockstep: the position is the one the frame was drawn at (syncs fire
// only inside AdvanceMusic). Holding keeps returning to the browser and never resumes.
void PresentInLockstep() {
    const int order = syncState.order.load(std::memory_order_relaxed);
    const int row = syncState.row.load(std::memory_order_relaxed);
    if (PositionKey(order, row) >= heldPosition) {
        browser::SetPageData("state", "frame");
        for (;;) browser::YieldFrame(true);
    }
    host::AdvanceMusic(kAudioFramesPerVideoFrame, nullptr);
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

bool Given(const std::vector<const char*>& arguments, const char* name) {
    for (const char* argument : arguments)
        if (std::strncmp(argument, name, std::strlen(name)) == 0) return true;
    return false;
}

// Reads and checks the page's options as the native program does (the song positions
// against the song in the preloaded data); the page has no --size, its canvas follows the
// browser's window. A refusal appears in the page, its data-state set to "failed".
bool ReadPageOptions(std::vector<const char*> arguments, PlayOptions* options) {
    const bool size = Given(arguments, "--size");
    arguments.push_back(Given(arguments, "--at") ? "--frames=page" : "--window");
    std::string error;
    std::vector<int> rowsPerOrder;
    bool good = ParsePlayOptions(int(arguments.size()), arguments.data(), options, &error);
    if (good && size) {
        error = "--size is not taken in the page: the picture follows the browser's window";
        good = false;
    }
    if (good && !host::ReadSong(kSongFile, &rowsPerOrder, &error)) {
        error = std::string("the song ") + kSongFile + " cannot be played: " + error;
        good = false;
    }
    if (good) good = CheckSongPositions(*options, rowsPerOrder, &error);
    if (!good) {
        browser::ShowPageMessage("orangefunk:", error.c_str());
        browser::SetPageData("state", "failed");
    }
    return good;
}

}  // namespace

// Called by the page as soon as the program is loaded, before its Play control is offered:
// the options, one a line. Returns 0 when they are good, 2 after showing the refusal.
extern "C" EMSCRIPTEN_KEEPALIVE int CheckPageOptions(const char* lines) {
    std::vector<std::string> kept;
    for (const char* at = lines; *at != '\0';) {
        const char* end = std::strchr(at, '\n');
        kept.emplace_back(at, end != nullptr ? end : at + std::strlen(at));
        at = end != nullptr ? end + 1 : at + std::strlen(at);
    }
    std::vector<const char*> arguments;
    for (const std::string& argument : kept) arguments.push_back(argument.c_str());
    PlayOptions options;
    return ReadPageOptions(arguments, &options) ? 0 : 2;
}

int main(int argc, char** argv) {
    PlayOptions options;
    if (!ReadPageOptions(std::vector<const char*>(argv + 1, argv + argc), &options)) return 2;
    host::Desc host = StartingDesc(options);
    host.windowed = true;
    host.framePacing = false;  // each present waits for the browser's next animation frame
    host.messageBox = [](const char* caption, const char* text) { browser::ShowPageMessage(caption, text); };
    if (options.atCount > 0) {
        heldPosition = PositionKey(options.at[0].order, options.at[0].row);
        for (int i = 1; i < options.atCount; ++i)
            heldPosition = std::min(heldPosition, PositionKey(options.at[i].order, options.at[i].row));
        host.lockstepMusic = true;
        host.present = PresentInLockstep;
    } else {
        host.present = PresentInRealTime;
    }
    host::Setup(host);
    char commandLine[] = "";
    WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
    browser::SetPageData("state", "done");
    return 0;
}
