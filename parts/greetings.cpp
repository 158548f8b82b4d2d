// The greetings: an environment-mapped heart circled by the camera in front of the orange
// background and its turning fan of six rays, under a slightly transparent greetings panel.
#include <cmath>

#include "fx/fx.h"
#include "parts/part_table.h"
#include "parts/parts.h"
#include "show/show_state.h"

namespace {

constexpr int kHeartFaceRefs = 50000;
constexpr double kClockStep = 0.01;

Mesh heart;
FaceRef heartRefs[kHeartFaceRefs];

}  // namespace

void PartGreetings() {
    ImportPartObject(&heart, "hjerte~1.3ds", "Shape02");
    EffectCamera camera{};
    SetUpPartCamera(&camera, 1.2f, 61.0f);
    renderer->BindTexture0(logoEnvTexture);
    renderer->SetState(kStateDepthTest, kOn);
    FillMeshFaceRefs(heartRefs, &heart, kHeartFaceRefs);

    ScreenVertex fan[200];
    Matrix44 view;
    while (PartFrameBegin(GreetingsRuns)) {
        const float t = demoTime;
        // Background and fan lie at depth -1 (window depth 0, the cleared value): they pass
        // the depth test and leave the buffer as cleared, so the heart is tested only
        // against itself.
        DrawFanBackdrop(fan, t);

        renderer->BindTexture0(logoEnvTexture);
        renderer->SetState(kStateDepthTest, kOn);  // the heart is depth-tested against itself
        renderer->SetBlendMode(kBlendOpaque);
        // Circles the origin at radius 120 in x-z, one turn per 2 pi of the clock, bobbing in y.
        AimPartCamera(&camera, &view,
                      {120 * std::sin(t + 0.42f), 10 * std::cos(t + 0.21f), 120 * std::cos(t + 0.42f)},
                      {1, 0, 1}, 180.0f);
        PlaceMesh(&heart, &view, &camera);
        DrawSortedEnvMapped(&heart, heartRefs, kHeartFaceRefs);

        DrawOverlayPicture(sharedAssets.greetsTexture, kBlendFilter, 0.95f);
        PartFrameEnd(kClockStep);
    }
}
