// The looping parts as the tests check them: the song orders each one draws at, from the
// first to the one before its end (where the next part begins), and its row name in the
// --stats table. The one table of part ends the part and capture tests read.
#pragma once

#include "parts/parts.h"

struct PartSpan {
    void (*part)();
    const char* name;  // its row in the --stats table
    int first;         // the first order it draws at
    int end;           // the first order at which it no longer draws
};

inline constexpr PartSpan kPartSpans[] = {
    {PartTitle, "title", 0, 3},
    {PartMorphingBall, "morphing ball", 3, 9},
    {PartSnakingTube, "snaking tube", 9, 15},
    {PartSpinningSpiral, "spinning spiral", 15, 18},
    {PartToyScene, "toy scene", 18, 23},
    {PartInfiniteZoom, "infinite zoom", 23, 26},
    {PartGreetings, "greetings", 26, 28},
};
// The final scene draws from the last part's end on; its row name.
inline constexpr const char* kFinalSceneName = "final scene";
