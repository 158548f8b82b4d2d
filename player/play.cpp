// The player: applies the command-line options to the platform through its host interface
// and to the song position, then runs the program as the Windows loader would.
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "player/capture/capture.h"
#include "player/viewer/frame_stats.h"
#include "app/app.h"
#include "player/capture/leftovers.h"
#include "player/viewer/viewer.h"
#include "show/show_state.h"

namespace {

// Mesa's software rasterizer (llvmpipe) makes one rendering thread per processor by
// default. Its threads share the processors with the sound, the X server and, off screen,
// the encoders, and a frame is done only when its last tile is: with twice as many threads
// the tiles of a thread pushed aside are spread thinner. Measured on two processors: a
// whole-show capture about 7 % faster with 4 threads than with 2 (3 % slower with 8), and
// full screen at 1920x1080 a 99th percentile frame time of about 24 ms in the morphing
// ball against 27 to 28. The frames are the same whatever the count; a count set by the
// user is kept.
void ChooseRasterizerThreads() {
    const long processors = sysconf(_SC_NPROCESSORS_ONLN);
    if (processors < 1) return;
    setenv("LP_NUM_THREADS", std::to_string(std::min(processors * 2, 16L)).c_str(), 0);  // llvmpipe's most
}

}  // namespace

int PlayWithOptions(const PlayOptions& options) {
    // Ctrl-C or SIGTERM ends the show as closing its window does; a second one abandons
    // the run, removing what it would leave behind.
    host::CatchInterrupts([] {
        std::fputs("\norangefunk: abandoned by a second interrupt; its temporary files are removed\n", stderr);
        Leftovers::Abandon();
    });
    ChooseRasterizerThreads();  // before any OpenGL context is made
    host::Desc host = StartingDesc(options);
    const bool offScreen = options.capturePath != nullptr || options.framesDir != nullptr;
    OffscreenPlay play;
    if (offScreen && !play.Begin(options, &host)) return 1;
    FrameStats stats;
    if (options.stats) stats.Begin(&host);
    if (options.stats && offScreen) {
        // Off screen the table counts the frames in the files.
        host.presented = [&play, counted = host.presented](double waitedSeconds, bool late, bool held) {
            if (play.TookLastFrame()) counted(waitedSeconds, late, held);
        };
    }
    Viewer viewer;
    viewer.Begin(options, &host);
    viewer.Play();
    // Real-time play ended by an interrupt exits as a capture does: 128 + the signal.
    const int status = offScreen ? play.Finish() : host::CaughtInterrupt() != 0 ? 128 + host::CaughtInterrupt() : 0;
    stats.Print(stderr);
    return status;
}
