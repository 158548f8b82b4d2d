// The spinning spiral: a white spiral object seen from a fixed, steadily rolling camera on
// an orange background, with a text panel over the lower middle of the screen.
#include "fx/fx.h"
#include "parts/part_table.h"
#include "parts/parts.h"
#include "show/show_state.h"

namespace {

constexpr int kSpiralFaceRefs = 10000;
constexpr double kClockStep = 0.04;

FaceRef spiralRefs[kSpiralFaceRefs];

}  // namespace

// This part restarts the clock at 0, so the parts after it start from its last value.
void PartSpinningSpiral() {
    EffectCamera camera{};
    SetUpPartCamera(&camera, 1.2f, 61.0f);
    renderer->SetState(kStateDepthTest, kOff);  // no depth test in this part
    renderer->BindTexture1(0);
    const int spiralFaces = FillMeshFaceRefs(spiralRefs, &sharedAssets.spiralMesh, kSpiralFaceRefs);
    demoTime = 0.0f;

    ScreenVertex quad[4];
    Matrix44 view;
    while (PartFrameBegin(SpinningSpiralRuns)) {
        const float t = demoTime;
        renderer->BindTexture0(0);
        renderer->SetBlendMode(kBlendFlat);
        FillScreen(renderer, 0.9453125f, 0.703125f, 0.02734375f);

        // The roll grows 20 degrees per unit of the clock (0.8 per frame).
        AimPartCamera(&camera, &view, {0, 0, 100}, {1, 0, 1}, 20 * t);
        PlaceMesh(&sharedAssets.spiralMesh, &view, &camera);
        ShadeMesh(&sharedAssets.spiralMesh, 1.0f);
        DrawFaceRefsMultitex(renderer, spiralRefs, spiralFaces);

        // Only the upper 60 % of the panel picture is shown.
        renderer->SetBlendMode(kBlendFilter);
        renderer->BindTexture0(sharedAssets.txtTexture);
        DrawScreenQuad(renderer, quad, -0.7f, 0.16f, 0.7f, -0.54f, 0, 0, 1, 0.6f, 1.0f);

        PartFrameEnd(kClockStep);
    }
}
