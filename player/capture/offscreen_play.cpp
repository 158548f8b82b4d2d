// Off-screen play: every presented frame is read back and goes to the video file and the
// frame dumps, then the music advances by exactly one frame's span in lockstep, so the
// same build always gives the same frames. A progress line on stderr follows the run.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "player/capture/capture.h"
#include "app/app.h"
#include "platform/interface/utf8_paths.h"
#include "show/show_state.h"

namespace {

constexpr double kProgressInterval = 0.25;     // seconds between updates on a terminal
constexpr double kProgressLogInterval = 5.0;   // seconds between lines elsewhere (a log, CI)
constexpr int kProgressBarWidth = 24;

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

bool OffscreenPlay::Begin(const PlayOptions& options, host::Desc* host) {
    this->options = options;
    capturing = options.capturePath != nullptr;
    if (capturing) signal(SIGXFSZ, SIG_IGN);  // a file-size limit shows as a failed write
    progressToTerminal = isatty(STDERR_FILENO) != 0;
    if (options.framesDir != nullptr && utf8::MakeFolder(options.framesDir) != 0 && errno != EEXIST) {
        host::SayEnding("orangefunk: cannot make the folder %s: %s\n", options.framesDir, std::strerror(errno));
        return false;
    }
    if (!capturing) pixels.assign(size_t(options.width) * options.height * 4, 0);
    std::string error;
    if (capturing && !video.Open(options.capturePath, options.width, options.height, options.quality, &error)) {
        host::SayEnding("orangefunk: %s\n", error.c_str());
        return false;
    }
    // A hidden window of the capture size: the picture keeps 4:3 inside it.
    host->windowed = true;
    host->windowWidth = options.width;
    host->windowHeight = options.height;
    host->hidden = true;
    host->framePacing = false;
    host->lockstepMusic = true;
    host->present = [this] { OnPresent(); };
    // Nobody would be there to close a box: boxes other than the closing "Done!" report
    // failures (of the display, say), said when the run ends.
    host->messageBox = [this](const char* caption, const char* text) {
        if (std::strcmp(text, "Done!") != 0) failedBoxes.push_back(std::string(caption) + " " + text);
    };
    previousKey = PositionKey(options.fromOrder, 0) - 1;
    started = lastProgress = std::chrono::steady_clock::now();
    return true;
}

void OffscreenPlay::OnPresent() {
    tookLastFrame = false;
    if (stopping) return;
    // Syncs fire only inside AdvanceMusic below, so this is the position the frame was drawn at.
    const int order = syncState.order.load(std::memory_order_relaxed);
    const int row = syncState.row.load(std::memory_order_relaxed);
    if (options.toGiven && PositionKey(order, row) >= PositionKey(options.to.order, options.to.row)) {
        // --to reached: this frame is already past it.
        stopping = true;
        PostMessageA(mainWindow, WM_CLOSE, 0, 0);
        return;
    }
    // Read straight into the video file's queue: no copy of the frame on the way.
    std::string error;
    uint8_t* rgba = capturing ? video.NextFrame(&error) : pixels.data();
    if (rgba == nullptr) {
        Stop(error);
        return;
    }
    ReadBackFrame(options.width, options.height, rgba);
    const int rendered = host::AdvanceMusic(kAudioFramesPerVideoFrame, audio);
    ++frames;
    tookLastFrame = true;
    if (options.atCount > 0) DumpFrames(order, row, rgba);
    if (capturing) video.QueueFrame(audio);
    lastOrder = order;
    lastRow = row;
    if (row > highestRow) highestRow = row;
    if (host::Paused()) return;  // the frame held: no music, none expected
    if (rendered == 0 && !stopping && musicHeard) {
        // A song shorter than the show (a module of another song) ended: the show ends
        // with it, its files kept.
        host::SayEnding("\norangefunk: the song ended at order %d row %d, before the show's end\n", order, row);
        stopping = true;
        PostMessageA(mainWindow, WM_CLOSE, 0, 0);
        return;
    }
    if (rendered > 0) musicHeard = true;
    if (rendered == 0 && !stopping) {
        // Without music the order never reaches the end: the show would never finish.
        Stop(host::MusicPlaying() ? "the music stalled"
                                  : "the music is not playing (is funk.it in the working directory?)");
        return;
    }
    if (SecondsSince(lastProgress) >= (progressToTerminal ? kProgressInterval : kProgressLogInterval))
        ShowProgress(order, row, false);
}

void OffscreenPlay::DumpFrames(int order, int row, const uint8_t* rgba) {
    // A target is written by the first frame drawn at or after it: rows shorter than a
    // frame would otherwise be missed.
    const long long key = PositionKey(order, row);
    int ahead = 0;  // targets still to come
    for (int i = 0; i < options.atCount; ++i) {
        const SongPosition& target = options.at[i];
        const long long targetKey = PositionKey(target.order, target.row);
        if (targetKey > key) ++ahead;
        if (written[i] || targetKey <= previousKey || targetKey > key) continue;
        char name[32];
        std::snprintf(name, sizeof name, "/frame-%02d-%03d.png", target.order, target.row);
        const std::string path = std::string(options.framesDir) + name;
        std::string error;
        if (!WriteFramePng(path.c_str(), options.width, options.height, rgba, &error)) {
            Stop(error);
            return;
        }
        written[i] = true;
        ++writtenCount;
    }
    previousKey = key;
    if (!capturing && ahead == 0 && !stopping) {
        // Every position asked for is written or behind (before --from): end the show.
        stopping = true;
        PostMessageA(mainWindow, WM_CLOSE, 0, 0);
    }
}

void OffscreenPlay::ShowProgress(int order, int row, bool last) {
    lastProgress = std::chrono::steady_clock::now();
    const double wall = SecondsSince(started);
    const double song = double(frames) / kCaptureFramesPerSecond;
    // Done share in orders, the current one counted by its rows (as long as the longest
    // pattern seen so far).
    const int rowsPerOrder = highestRow + 1 > 64 ? highestRow + 1 : 64;
    const double span = options.to.order + double(options.to.row) / rowsPerOrder - options.fromOrder;
    double done = (order - options.fromOrder + double(row < rowsPerOrder ? row : rowsPerOrder - 1) / rowsPerOrder) / span;
    // The last line of a whole run shows it complete; an interrupted one, where it stopped.
    if ((last && !failed && host::CaughtInterrupt() == 0) || done > 1.0) done = 1.0;
    if (done < 0.0) done = 0.0;
    char bar[kProgressBarWidth + 1];
    for (int i = 0; i < kProgressBarWidth; ++i) bar[i] = i < int(done * kProgressBarWidth + 0.5) ? '#' : '.';
    bar[kProgressBarWidth] = '\0';
    const int left = done > 0.0 ? int(wall * (1.0 - done) / done + 0.5) : 0;
    // On a terminal the line is redrawn in place; in a log each update is a line of its own.
    std::fprintf(stderr, "%s[%s] %6lld frames  order %2d row %3d  %4.1fx real time  %s%d:%02d left%s",
                 progressToTerminal ? "\r" : "", bar, frames, order, row, wall > 0.0 ? song / wall : 0.0,
                 done > 0.0 ? "~" : "?", left / 60, left % 60, progressToTerminal ? " " : "\n");
    if (last && progressToTerminal) std::fputc('\n', stderr);
    std::fflush(stderr);
}

void OffscreenPlay::Stop(const std::string& reason) {
    if (stopping && failed) return;
    host::SayEnding("\norangefunk: %s\n", reason.c_str());
    failed = true;
    stopping = true;
    PostMessageA(mainWindow, WM_CLOSE, 0, 0);
}

OffscreenPlay::Outcome OffscreenPlay::WorkOutOutcome(int interrupt) {
    Outcome outcome;
    outcome.interrupt = interrupt;
    outcome.failedBefore = failed || !failedBoxes.empty() || frames == 0;
    // The first position asked for and never shown, unless the run ended early anyway.
    for (int i = 0; i < options.atCount && outcome.interrupt == 0 && !outcome.failedBefore; ++i)
        if (!written[i]) {
            outcome.firstUnshown = i;
            break;
        }
    failed = outcome.failedBefore || outcome.firstUnshown >= 0;
    if (capturing && !failed) outcome.closed = video.Close(&outcome.closeError);
    return outcome;
}

int OffscreenPlay::Report(const Outcome& outcome) const {
    const int interrupt = outcome.interrupt;
    if (interrupt != 0) {
        host::SayEnding(
                     "orangefunk: %s: stopped at order %d row %d, after %lld frames (%.2f s of the show from "
                     "order %d)\n",
                     interrupt == SIGINT ? "interrupted (SIGINT)" : "terminated (SIGTERM)", lastOrder, lastRow,
                     frames, double(frames) / kCaptureFramesPerSecond, options.fromOrder);
    }
    for (const std::string& box : failedBoxes) host::SayEnding("orangefunk: %s\n", box.c_str());
    if (frames == 0) host::SayEnding("orangefunk: no frame was drawn\n");
    // After a failure (said when it came) the positions not written were not reached or
    // could not be written: the count says how far it got.
    if (outcome.failedBefore && options.framesDir != nullptr && interrupt == 0)
        host::SayEnding("orangefunk: %d of %d frames written to %s\n", writtenCount, options.atCount,
                     options.framesDir);
    if (outcome.firstUnshown >= 0)
        host::SayEnding("orangefunk: order %d row %d was never shown: no frame written for it\n",
                     options.at[outcome.firstUnshown].order, options.at[outcome.firstUnshown].row);
    const int failureStatus = interrupt != 0 ? 128 + interrupt : 1;
    if (!outcome.closed) {
        // Said at once, so an interrupt's report below does not contradict it.
        host::SayEnding("orangefunk: %s\norangefunk: nothing written to %s\n", outcome.closeError.c_str(),
                     options.capturePath);
        return failureStatus;
    }
    if (interrupt != 0) {
        if (capturing)
            host::SayEnding(failed ? "orangefunk: nothing written to %s\n" : "The show up to there is in %s\n",
                         options.capturePath);
        if (options.framesDir != nullptr)
            host::SayEnding("%d of %d frames written to %s before it\n", writtenCount, options.atCount,
                         options.framesDir);
        return failureStatus;
    }
    if (failed) {
        if (capturing) host::SayEnding("orangefunk: nothing written to %s\n", options.capturePath);
        return failureStatus;
    }
    // The message the "Done!" box would have shown, with what was written.
    // The whole run's speed, finishing the file included (the progress line's figure is
    // the rendering's alone).
    if (capturing) {
        const double wall = SecondsSince(started), song = double(frames) / kCaptureFramesPerSecond;
        std::fprintf(stderr, "Done! The show is in %s (%.1f s of the show in %.1f s: %.2fx real time)\n",
                     options.capturePath, song, wall, wall > 0.0 ? song / wall : 0.0);
    }
    if (options.framesDir != nullptr)
        std::fprintf(stderr, "Done! %d frame%s written to %s\n", writtenCount, writtenCount == 1 ? "" : "s",
                     options.framesDir);
    return 0;
}

int OffscreenPlay::Finish() {
    // An interrupt that comes later, while the files are finished, changes nothing.
    const int interrupt = host::CaughtInterrupt();
    // Where the song got to (after an interrupt, where the last frame was drawn), at the
    // rendering's own speed: before the files are finished.
    ShowProgress(interrupt != 0 ? lastOrder : syncState.order.load(std::memory_order_relaxed),
                 interrupt != 0 ? lastRow : syncState.row.load(std::memory_order_relaxed), true);
    return Report(WorkOutOutcome(interrupt));
}
