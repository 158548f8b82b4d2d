// The show's timeline in one table: each part's name, the function that plays it and its end
// test on the song order. The sequence, the viewer's jumps, the statistics, the page's seek
// bar and the tests all read the part orders from here.
#pragma once

#include "parts/parts.h"

// End tests on the song order: a part's loop runs while its test holds.
constexpr bool TitleRuns(int order) { return order < 3; }
constexpr bool MorphingBallRuns(int order) { return order < 9; }
constexpr bool SnakingTubeRuns(int order) { return order < 15; }
constexpr bool SpinningSpiralRuns(int order) { return order <= 17; }
constexpr bool ToySceneRuns(int order) { return order <= 22; }
constexpr bool InfiniteZoomRuns(int order) { return order < 26; }
constexpr bool GreetingsRuns(int order) { return order <= 27; }
constexpr bool FinalLoopRuns(int order) { return order < 33; }

struct ShowPart {
    const char* name;          // its row in the statistics, the overlay and the seek bar
    void (*play)();            // the looping part; null for the final scene (the final loop)
    bool (*runs)(int order);   // its end test
};

// The parts in show order; each starts at the order where the one before it ends.
inline constexpr ShowPart kShowParts[] = {
    {"title", PartTitle, TitleRuns},
    {"morphing ball", PartMorphingBall, MorphingBallRuns},
    {"snaking tube", PartSnakingTube, SnakingTubeRuns},
    {"spinning spiral", PartSpinningSpiral, SpinningSpiralRuns},
    {"toy scene", PartToyScene, ToySceneRuns},
    {"infinite zoom", PartInfiniteZoom, InfiniteZoomRuns},
    {"greetings", PartGreetings, GreetingsRuns},
    {"final scene", nullptr, FinalLoopRuns},
};
constexpr int kPartCount = int(sizeof kShowParts / sizeof kShowParts[0]);
constexpr int kLoopingPartCount = kPartCount - 1;

// The first song order at which part (0 .. kPartCount - 1) draws: 0 for the first, else
// the order where the one before it ends.
constexpr int PartStartOrder(int part);
// The first order from the part's start at which its end test fails.
constexpr int PartEndOrder(int part) {
    int order = PartStartOrder(part);
    while (kShowParts[part].runs(order)) ++order;
    return order;
}
constexpr int PartStartOrder(int part) { return part == 0 ? 0 : PartEndOrder(part - 1); }

// The show ends when this song order begins (the final loop's end).
constexpr int kShowEndOrder = PartEndOrder(kPartCount - 1);
