// The viewer's keys and the runs they start: a jump ends the current run as closing the
// window does and starts the next at its order exactly as --from does; --loop starts again
// after the end (the show's, or a shorter song's). Screenshots are read back from the frame
// about to be presented; the overlay is drawn after that, just before the frame goes on
// screen.
#include <chrono>
#include <cstdio>

#include "app/app.h"
#include "player/viewer.h"
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
    host = *desc;
    viewFullscreen = !host.windowed && !host.hidden;
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
    case VK_ESCAPE:
        escaped = true;
        return false;  // the show ends itself
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
    // The run ends as a closed window ends it; its closing box is not the show's end.
    host::Desc ending = host;
    if (!ending.messageBox) ending.messageBox = [](const char*, const char*) {};
    host::Setup(ending);
    PostMessageA(mainWindow, WM_CLOSE, 0, 0);
}

void Viewer::PrepareRun(int order) {
    // As StartingDesc does: the parts before order see their end at their first check.
    ResetSequence(order);
    host.startOrder = order;
    // The window comes back as the viewer left it (the run's end gave the desktop its mode back).
    if (!host.hidden) host.windowed = !viewFullscreen;
    escaped = false;
    songEnded = false;
}

void Viewer::Play() {
    if (nextOrder >= 0) {
        PrepareRun(nextOrder);
        nextOrder = -1;
    }
    for (;;) {
        host::Setup(host);
        char commandLine[] = "";
        WinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
        if (host::CaughtInterrupt() != 0) return;
        const bool ended = syncState.order.load(std::memory_order_relaxed) >= kShowEndOrder || songEnded;
        if (nextOrder < 0 && options.loop && ended && !escaped) nextOrder = options.fromOrder;
        if (nextOrder < 0) return;
        PrepareRun(nextOrder);
        nextOrder = -1;
    }
}

void Viewer::EndWithTheSong(int order, int row) {
    if (songEnded || host::MusicPlaying() || order >= kShowEndOrder) return;
    songEnded = true;
    std::fprintf(stderr, "orangefunk: the song ended at order %d row %d, before the show's end\n", order, row);
    PostMessageA(mainWindow, WM_CLOSE, 0, 0);
}

void Viewer::OnPresent() {
    // The position the frame was drawn at: lockstep play moves the music on in innerPresent.
    const int order = syncState.order.load(std::memory_order_relaxed);
    const int row = syncState.row.load(std::memory_order_relaxed);
    if (innerPresent) innerPresent();
    if (options.capturePath == nullptr && options.framesDir == nullptr) EndWithTheSong(order, row);
    if (!host.hidden) {
        viewFullscreen = host::Fullscreen();
        int width = 0, height = 0;
        if (!viewFullscreen && host::WindowSize(&width, &height)) {
            host.windowWidth = width;
            host.windowHeight = height;
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
