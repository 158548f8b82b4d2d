// SLOTS FOR THE LOOPING PARTS NOT WRITTEN YET. Each slot runs its part's frame loop only
// (pump, end test, Present, Clear) and draws nothing; a part's own file replaces its slot,
// and its function is then deleted here.
#include "parts/parts.h"
#include "shell/shell.h"

namespace {

void RunSlot(bool (*runs)(int order)) {
    while (PartFrameBegin(runs)) {
        renderer->Present();
        renderer->Clear();
    }
}

}  // namespace

void PartTitle() { RunSlot(TitleRuns); }
void PartMorphingBall() { RunSlot(MorphingBallRuns); }
void PartSnakingTube() { RunSlot(SnakingTubeRuns); }
void PartSpinningSpiral() { RunSlot(SpinningSpiralRuns); }
void PartToyScene() { RunSlot(ToySceneRuns); }
void PartInfiniteZoom() { RunSlot(InfiniteZoomRuns); }
void PartGreetings() { RunSlot(GreetingsRuns); }
