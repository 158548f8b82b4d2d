// The show's parts: seven looping parts, each run by the demo sequence until the song
// order passes its end, and the final scene of swaying tentacles drawn by the final loop.
//
// Part contract: no arguments, no result. Set-up first (own files, meshes, FaceRef
// arrays, camera); then per frame: PumpMessages (leave on quit), leave when the order has
// passed the part's end, draw one frame through `renderer`, Present, Clear, advance the clock.
#pragma once

#include "gfx/gfx.h"

// Animation clock of the looping parts: 3.14 at program start; each part adds its own step.
extern float demoTime;
// "logoenv.png", created by the title part and bound again by the greetings part.
extern TextureId logoEnvTexture;
// Screen x of the picture strip's first picture; 1.0 at program start.
extern float imageStripX;

void PartTitle();          // runs while order < 3
void PartMorphingBall();   // runs while order < 9
void PartSnakingTube();    // runs while order < 15
void PartSpinningSpiral(); // runs while order <= 17
void PartToyScene();       // runs while order <= 22
void PartInfiniteZoom();   // runs while order < 26
void PartGreetings();      // runs while order <= 27

// Base of the final scene: a display mode and two operations.
class DemoEffect {
public:
    virtual ~DemoEffect() = default;
    virtual int Init() { return 1; }
    virtual void Frame(int unused, float time) { (void)unused; (void)time; }
    void SetDisplayMode(int width, int height, int bitsPerPixel);

    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
};

// The final scene (one process-wide instance), built during the sequence's set-up and
// drawn by its final loop.
DemoEffect& FinalScene();
