// The viewer's controls while the show plays: the keys (pause, jumps by part and by order,
// full screen, screenshot, mute and volume, the overlay), the runs they start (a jump restarts the show
// at its order as --from does; --loop plays again after the end; both in the same window) and
// the screenshots.
#pragma once

#include <functional>
#include <string>

#include "parts/part_table.h"
#include "platform/interface/host.h"
#include "player/player.h"
#include "player/viewer/stats_overlay.h"

// The order a jump goes to from (order, row): by part (back to the start of the current
// part, or the previous one in its first rows; on to the next) or by one order, clamped
// to the orders a show can start at. Returns -1 where no jump leads (past the last part).
enum class Jump { PartBack, PartOn, OrderBack, OrderOn, Beginning };
int JumpTarget(Jump jump, int order, int row);

// Where screenshots go, as xdg-user-dir PICTURES finds it: $XDG_PICTURES_DIR, else the
// desktop's user-dirs.dirs (in $XDG_CONFIG_HOME, else ~/.config), else ~/Pictures.
std::string PicturesFolder();
// Writes the picture of the frame about to be presented (the back buffer complete, its
// context current) to PicturesFolder()/orangefunk-OO-RRR.png (-2, -3... when taken);
// false with the reason.
bool TakeScreenshot(int order, int row, std::string* path, std::string* error);

// Holds the frame on screen while the pause lasts (the hold hook): presents it again every
// 1/60 s through window, calling desc's present and presented (as held) hooks, with desc's
// overlay drawn afresh over a copy of the picture; returns once resumed or asked to end.
void HoldPausedFrame(const host::Desc& desc, const host::Hold& window);

class Viewer {
public:
    // Takes the play options and hooks the keys, the screenshot's read-back, the overlay and
    // the pause's hold into host (kept, with the hooks, for the runs to come). Call after everything else
    // that fills host.
    void Begin(const PlayOptions& options, host::Desc* host);
    // Applies a key; true when it was a viewer key (the show never sees it).
    bool OnKey(unsigned virtualKey, bool shift, bool alt);
    // Runs the show (WinMainRuns) until a run ends without a jump or loop asking for another:
    // one window, context, loaded data and sound device for all of them, one closing box.
    // After a JumpTo made once the last run had ended, from that jump's order.
    void Play();
    // Restarts the show at order: ends the current run (its window stays) and starts the
    // next at order, as --from does.
    void JumpTo(int order);

    // Called with the file of each screenshot written; empty: nothing more is done.
    std::function<void(const std::string& path)> screenshotTaken;

private:
    void OnPresent();
    // Real-time play: once the song has ended before the show's end (a shorter module), says
    // where on standard error and ends the run, as off-screen play ends with the song; the
    // parts would otherwise wait for orders that never come.
    void EndWithTheSong(int order, int row);
    // Ends the current run for one the viewer starts next: the show's loops see a quit, the
    // window stays.
    void EndRun();
    // After a run: the order the next starts at (a jump's; with --loop, --from after the
    // show's, the song's or --to's end), the host set up for it; -1 when the run was ended
    // otherwise (Escape, the window closed, an interrupt, off-screen play's end).
    int NextRun();

    PlayOptions options;
    host::Desc host;                     // as the run started, with the viewer's hooks
    std::function<void()> innerPresent;  // the hook present before the viewer's
    std::function<void(double, bool, bool)> innerPresented;  // the hook presented before the viewer's
    StatsOverlay overlay;
    bool overlayShown = false;
    int nextOrder = -1;                  // the order the next run starts at, -1 for none
    bool running = false;                // inside Play
    bool endedByViewer = false;          // EndRun ended this run
    bool songEnded = false;              // the song ended before the show's end in this run
    bool toReached = false;              // real-time play reached --to in this run
    bool screenshotWanted = false;
    float volumeBeforeMute = 1.0f;
};
