// The title: orange background, twelve turning rays, the two-piece logo under a swinging
// camera (one half flat, one environment-mapped) and six words revealed with the music.
#include <cmath>

#include "fx/fx.h"
#include "parts/part_table.h"
#include "parts/parts.h"
#include "show/show_state.h"

namespace {

constexpr int kTextFaceRefs = 50000;  // per logo half
constexpr double kClockStep = 0.016;

Mesh text01;  // environment-mapped half, drawn last
Mesh text02;  // flat half
FaceRef text01Refs[kTextFaceRefs];
FaceRef text02Refs[kTextFaceRefs];

// One word of "os.png": shown from (order, row) on; texel rectangle in 256x256 space.
struct Word {
    int order, row;
    float left, top, right, bottom;
    float x;  // screen x of the left edge
};
constexpr Word kWords[] = {
    {1, 21, 4, 2, 80, 39, -0.9025f},   {1, 53, 4, 42, 117, 79, -0.67f},
    {1, 85, 4, 82, 126, 119, -0.3375f}, {1, 117, 4, 122, 153, 159, 0.015f},
    {2, 21, 4, 162, 88, 199, 0.4475f},  {2, 53, 4, 202, 80, 239, 0.7175f},
};
constexpr float kWordTop = -0.12f;
constexpr float kWordScale = 1.4f;

void DrawBackground(ScreenVertex* corners) {
    static constexpr float kCorners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (int i = 0; i < 4; ++i) {
        corners[i] = ScreenVertex{};
        corners[i].screenX = kCorners[i][0];
        corners[i].screenY = kCorners[i][1];
        corners[i].z = -1.0f;
        corners[i].red = 0.9453125f;
        corners[i].green = 0.7421875f;
        corners[i].blue = 0.0390625f;
        corners[i].alpha = 1.0f;
    }
    renderer->DrawTriangle(&corners[0], &corners[1], &corners[2]);
    renderer->DrawTriangle(&corners[0], &corners[2], &corners[3]);
}

// Every word whose start the song has reached, in table order.
void DrawWords(ScreenVertex* quad) {
    const int order = syncState.order.load(std::memory_order_relaxed);
    const int row = syncState.row.load(std::memory_order_relaxed);
    for (const Word& w : kWords) {
        if (order > w.order || (order == w.order && row >= w.row))
            DrawSprite(renderer, quad, w.left, w.top, w.right, w.bottom, w.x, kWordTop, kWordScale,
                       kWordScale, 1.0f);
    }
}

}  // namespace

void PartTitle() {
    ImportPartObject(&text01, "purple.3ds", "Text01");
    ImportPartObject(&text02, "purple.3ds", "Text02");

    EffectCamera camera{};
    SetUpPartCamera(&camera, 1.0f, 61.0f);

    logoEnvTexture = PartTexture("logoenv.png", kTextureRgba8);

    renderer->SetState(kStateDepthTest, kOff);  // no depth test in this part
    const int text02Faces = FillMeshFaceRefs(text02Refs, &text02, kTextFaceRefs);
    const int text01Faces = FillMeshFaceRefs(text01Refs, &text01, kTextFaceRefs);

    ScreenVertex fan[200];
    ScreenVertex quad[4];
    Matrix44 view;
    while (PartFrameBegin(TitleRuns)) {
        const float t = demoTime;
        renderer->BindTexture0(0);
        renderer->SetBlendMode(kBlendOpaque);
        DrawBackground(fan);
        DrawRayFan(renderer, fan, t, 2.0f, 24, 0.9609375f, 0.82421875f, 0.03125f);

        renderer->BindTexture0(logoEnvTexture);
        AimPartCamera(&camera, &view,
                      {30 * std::sin(t), 30 * std::sin(3 * t), 15 * std::cos(t) - 250}, {0, 0, 0},
                      180.0f);
        // Text02 shows the texel at (0, 0) only; Text01, drawn after it, always covers it.
        PlaceMesh(&text02, &view, &camera);
        if (text02.working != nullptr)
            ClearTexCoords(text02.working->vertices.data(), text02.faceList->faces.data(),
                           text02.working->count, text02.faceList->count);
        DrawFaceRefsMultitex(renderer, text02Refs, text02Faces);
        PlaceMesh(&text01, &view, &camera);
        SmoothEnvMapMesh(&text01);
        DrawFaceRefsMultitex(renderer, text01Refs, text01Faces);

        renderer->BindTexture0(sharedAssets.osTexture);
        renderer->SetBlendMode(kBlendFilter);
        renderer->SetState(kStateDepthTest, kOff);
        DrawWords(quad);

        PartFrameEnd(kClockStep);
    }
}
