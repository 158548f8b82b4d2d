// The program's main in a web page. The page hands its address parameters over as the
// command line ("?from=28&at=30:0" becomes --from=28 --at=30:0), read as the player's
// options. The canvas is the window, the browser paces the frames, and message boxes
// appear in the page as they are shown. The viewer plays the show as natively (its keys
// come through SDL); the page's controls call PageCommand, and once the show has ended or
// was stopped the page can play it again. With --at the show runs in lockstep with its
// music, as --frames does, and holds the first frame drawn at or after the earliest
// position, the page's data-state set to "frame", for a screenshot: the page stands for
// the frames folder.
#include <emscripten.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/interface/browser.h"
#include "player/player.h"
#include "player/viewer/viewer.h"
#include "shell/sequence.h"
#include "show/show_state.h"

namespace {

// Frames in lockstep are yielded to the browser only this often (milliseconds of wall
// time): the browser would otherwise show, and wait for, every one of them.
constexpr double kLockstepYieldInterval = 250.0;

// The box every run of the show ends with; the page says instead how the show ended.
constexpr const char kClosingBoxText[] = "Done!";

// How often, in milliseconds, the ended show looks whether the page asked to play again.
constexpr unsigned kReplayPollInterval = 100;

Viewer viewer;
long long heldPosition = -1;  // the position of the frame to hold
double lastYield = 0.0;       // emscripten_get_now() at the last yield in lockstep
bool running = false;         // a run of the show is under way
bool failed = false;          // the show put up a box of its own: a failure, which ends it
int replayOrder = -1;         // the order the page asked to play again from, -1 for none

// Writes the song position ("ORDER:ROW"), the pause and the volume to the page's data
// attributes when they have changed.
void ReportViewerState() {
    static long long shownPosition = -1;
    static int shownPaused = -1, shownVolume = -1;
    const int order = syncState.order.load(std::memory_order_relaxed);
    const int row = syncState.row.load(std::memory_order_relaxed);
    char text[24];
    if (PositionKey(order, row) != shownPosition) {
        shownPosition = PositionKey(order, row);
        std::snprintf(text, sizeof text, "%d:%d", order, row);
        browser::SetPageData("position", text);
    }
    if (int(host::Paused()) != shownPaused) {
        shownPaused = int(host::Paused());
        browser::SetPageData("paused", shownPaused ? "true" : "false");
    }
    const int volume = int(host::Volume() * 100.0f + 0.5f);
    if (volume != shownVolume) {
        shownVolume = volume;
        std::snprintf(text, sizeof text, "%.2f", volume / 100.0);
        browser::SetPageData("volume", text);
    }
}

// Shows a box of the show in the page, but for the closing box: the page says itself how
// the show ended, with its Play again. Every other box tells of a failure.
void ShowBox(const char* caption, const char* text) {
    if (std::strcmp(text, kClosingBoxText) == 0) return;
    browser::ShowPageMessage(caption, text);
    failed = true;
}

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

// Presented hook in real time (after the overlay is drawn over the frame): the viewer's
// state goes to the page, then the browser shows the frame.
void PresentInRealTime(double, bool, bool) {
    ReportViewerState();
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

// The page's controls, as one line: "pause" (and resume), "mute" (and back), "volume V"
// (0 to 1), "jump ORDER" (a run restarts at ORDER as --from does; after the show's end,
// it plays again from there). Returns 0, or 1 for a command it does not take.
extern "C" EMSCRIPTEN_KEEPALIVE int PageCommand(const char* command) {
    int order = 0;
    float volume = 0.0f;
    if (std::strcmp(command, "pause") == 0) {
        if (running) viewer.OnKey(VK_SPACE, false, false);
    } else if (std::strcmp(command, "mute") == 0) {
        viewer.OnKey('M', false, false);
    } else if (std::sscanf(command, "volume %f", &volume) == 1) {
        host::SetVolume(volume);
    } else if (std::sscanf(command, "jump %d", &order) == 1 && order >= 0 && order < kShowEndOrder) {
        if (running) viewer.JumpTo(order);
        else replayOrder = order;
    } else {
        return 1;
    }
    return 0;
}

int main(int argc, char** argv) {
    // The page's file system starts with a mask of 0777, under which every file made would
    // be unwritable (a screenshot's, made beside and then written).
    umask(022);
    PlayOptions options;
    if (!ReadPageOptions(std::vector<const char*>(argv + 1, argv + argc), &options)) return 2;
    host::Desc host = StartingDesc(options);
    host.windowed = true;
    host.framePacing = false;  // each present waits for the browser's next animation frame
    host.messageBox = ShowBox;
    if (options.atCount > 0) {
        heldPosition = PositionKey(options.at[0].order, options.at[0].row);
        for (int i = 1; i < options.atCount; ++i)
            heldPosition = std::min(heldPosition, PositionKey(options.at[i].order, options.at[i].row));
        host.lockstepMusic = true;
        host.present = PresentInLockstep;
    } else {
        host.presented = PresentInRealTime;
    }
    viewer.Begin(options, &host);
    // A screenshot is written in the program's own file system, handed to the browser as a
    // download, and removed.
    viewer.screenshotTaken = [](const std::string& path) {
        browser::OfferDownload(path.c_str());
        std::remove(path.c_str());
    };
    // The page offers to play again once the show has ended ("ended") or was stopped; a
    // failure ("failed") is not tried again.
    for (;;) {
        running = true;
        viewer.Play();
        running = false;
        if (failed) {
            browser::SetPageData("state", "failed");
            return 1;
        }
        const bool ended = syncState.order.load(std::memory_order_relaxed) >= kShowEndOrder;
        browser::SetPageData("state", ended ? "ended" : "stopped");
        replayOrder = -1;
        while (replayOrder < 0) emscripten_sleep(kReplayPollInterval);
        browser::SetPageData("state", "playing");
        viewer.JumpTo(replayOrder);
    }
}
