// The viewer's overlay (Tab): the part playing, its song position, frames per second and a
// graph of the last frames' times (as --stats times them), drawn over the picture through
// the renderer just before it goes on screen, so never into captures or screenshots.
#pragma once

#include <cstdint>
#include <vector>

#include "gfx/gfx.h"

class StatsOverlay {
public:
    // A frame presented, as host's presented hook reports it, at nowNanos on the monotonic
    // clock. Frames the pause holds are not counted; the next is counted but not timed.
    void OnPresented(int64_t nowNanos, double waitedSeconds, bool held);
    // Frames presented in the second up to the newest (at most kTimes - 1).
    int FramesPerSecond() const;
    // The overlay's quads for part at order:row, four corners each, replacing corners' contents.
    void Layout(int part, int order, int row, std::vector<ScreenVertex>* corners) const;
    // Lays the overlay out and draws it through renderer.
    void Draw(Renderer* renderer, int part, int order, int row);

    static constexpr int kGraphFrames = 120;  // frames the graph shows, newest at the right
    static constexpr int kTimes = 256;        // presentation times kept for the rate

private:
    float frameMs[kGraphFrames] = {};  // a ring; 0 for a frame not timed
    int64_t presentedNanos[kTimes] = {};  // a ring of presentation times
    long long frames = 0;                 // frames counted, the rings' write position
    int64_t previousNanos = 0;            // 0: the next frame is not timed
    std::vector<ScreenVertex> corners;    // kept between frames
};
