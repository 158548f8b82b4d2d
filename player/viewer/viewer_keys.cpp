// The viewer's keys and the runs they start: a jump ends the current run and starts the next
// at its order exactly as --from does, in the same window; --loop starts again after the end
// (the show's, a shorter song's or --to's). Screenshots are read back from the frame about
// to be presented; the overlay is drawn after that, just before the frame goes on screen.
#include <chrono>
#include <cstdio>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "app/app.h"
#include "player/viewer/viewer.h"
#include "shell/sequence.h"
#include "show/show_state.h"

namespace {

constexpr float kVolumeStep = 0.1f;

}  // namespace

void Viewer::Begin(const PlayOptions& given, host::Desc* desc) {
    options = given;
    desc->key = [this](unsigned key, bool shift, bool alt) { return OnKey(key, shift, alt); };
    innerPresent = desc->present;
    desc->present = [this] { OnPresent(); };
    innerPresented = desc->presented;
    desc->presented = [this](double waitedSeconds, bool late, bool held) {
        if (innerPresented) innerPresented(waitedSeconds, late, held);
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        overlay.OnPresented(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count(), waitedSeconds, held);
    };
    desc->overlay = [this] {
        if (!overlayShown || !renderer) return false;
        overlay.Draw(renderer, runningPart, syncState.order.load(std::memory_order_relaxed),
                     syncState.row.load(std::memory_order_relaxed));
        return true;
    };
    desc->hold = [this](const host::Hold& window) { HoldPausedFrame(host, window); };
    host = *desc;
}

bool Viewer::OnKey(unsigned key, bool shift, bool alt) {
    const int order = syncState.order.load(std::memory_order_relaxed);
    const int row = syncState.row.load(std::memory_order_relaxed);
    auto jump = [&](Jump kind) {
        const int target = JumpTarget(kind, order, row);
        if (target >= 0) JumpTo(target);
        return true;
    };
    switch (key) {
    case VK_SPACE: host::SetPaused(!host::Paused()); return true;
    case VK_TAB: overlayShown = !overlayShown; return true;
    case VK_LEFT: return jump(shift ? Jump::OrderBack : Jump::PartBack);
    case VK_RIGHT: return jump(shift ? Jump::OrderOn : Jump::PartOn);
    case VK_PRIOR: return jump(Jump::OrderBack);
    case VK_NEXT: return jump(Jump::OrderOn);
    case VK_HOME: return jump(Jump::Beginning);
    case VK_RETURN:
        if (!alt) return false;
        [[fallthrough]];
    case 'F': host::SetFullscreen(!host::Fullscreen()); return true;
    case 'S':
    case VK_F12: screenshotWanted = true; return true;
    case 'M':
        if (host::Volume() > 0.0f) {
            volumeBeforeMute = host::Volume();
            host::SetVolume(0.0f);
        } else {
            host::SetVolume(volumeBeforeMute > 0.0f ? volumeBeforeMute : 1.0f);
        }
        return true;
    case VK_OEM_PLUS:
    case VK_ADD: host::SetVolume(host::Volume() + kVolumeStep); return true;
    case VK_OEM_MINUS:
    case VK_SUBTRACT: host::SetVolume(host::Volume() - kVolumeStep); return true;
    default: return false;
    }
}

void Viewer::JumpTo(int order) {
    nextOrder = order;
    host::SetPaused(false);
    if (running) EndRun();
}

void Viewer::EndRun() {
    if (endedByViewer) return;
    endedByViewer = true;
    PostQuitMessage(0);
}

int Viewer::NextRun() {
    const bool userQuit = quitSeen != 0 && !endedByViewer;  // Escape, a close, an interrupt
    const bool ended = syncState.order.load(std::memory_order_relaxed) >= kShowEndOrder || songEnded || toReached;
    int order = nextOrder;
    if (order < 0 && options.loop && ended) order = options.fromOrder;
    if (userQuit || host::CaughtInterrupt() != 0) order = -1;
    if (host::CaughtInterrupt() != 0 && !host.messageBox) {
        // Interrupted from the terminal: nobody waits at the screen for the closing box.
        host.messageBox = [](const char* caption, const char* text) { std::fprintf(stderr, "%s %s\n", caption, text); };
        host::Setup(host);
    }
    nextOrder = -1;
    endedByViewer = songEnded = toReached = false;
    if (order < 0) return -1;
    host.startOrder = order;
    host::Setup(host);
#ifdef __GLIBC__
    // The heap's free pages go back to the system between runs: otherwise the allocator's
    // high-water mark creeps up by a MiB or two with every whole pass of a long --loop.
    malloc_trim(0);
#endif
    return order;
}

void Viewer::Play() {
    if (nextOrder >= 0) {
        // Played again after the last run ended: as StartingDesc does for the first.
        ResetSequence(nextOrder);
        host.startOrder = nextOrder;
        nextOrder = -1;
    }
    endedByViewer = songEnded = toReached = false;
    host::Setup(host);
    running = true;
    WinMainRuns(GetModuleHandleA(nullptr), SW_SHOWDEFAULT, [this] { return NextRun(); });
    running = false;
}

void Viewer::EndWithTheSong(int order, int row) {
    if (songEnded || host::MusicPlaying() || order >= kShowEndOrder) return;
    songEnded = true;
    host::SayEnding("orangefunk: the song ended at order %d row %d, before the show's end\n", order, row);
    EndRun();
}

void Viewer::OnPresent() {
    // The position the frame was drawn at: lockstep play moves the music on in innerPresent.
    const int order = syncState.order.load(std::memory_order_relaxed);
    const int row = syncState.row.load(std::memory_order_relaxed);
    if (innerPresent) innerPresent();
    if (options.capturePath == nullptr && options.framesDir == nullptr) {
        EndWithTheSong(order, row);
        // Real-time play with --to: the run ends once the song reaches that position.
        if (options.toGiven && !toReached && PositionKey(order, row) >= PositionKey(options.to.order, options.to.row)) {
            toReached = true;
            EndRun();
        }
    }
    if (!screenshotWanted) return;
    screenshotWanted = false;
    std::string path, error;
    if (!TakeScreenshot(order, row, &path, &error)) {
        std::fprintf(stderr, "orangefunk: no screenshot: %s\n", error.c_str());
        return;
    }
    std::printf("screenshot %s at order %d row %d\n", path.c_str(), order, row);
    std::fflush(stdout);
    if (screenshotTaken) screenshotTaken(path);
}
