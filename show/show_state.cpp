// The show's shared state: the graphics objects every part draws through, the fade level
// of the final scene, and the shared assets the sequence loads for the parts.
#include "show/show_state.h"

namespace {
constexpr float kFadeLevelAtStart = 1.0f;
constexpr int kNoPartRunning = -1;
}  // namespace

float fadeLevel = kFadeLevelAtStart;
int runningPart = kNoPartRunning;

void ResetShowState(int order) {
    fadeLevel = kFadeLevelAtStart;
    runningPart = kNoPartRunning;
    syncState.row.store(0, std::memory_order_relaxed);
    syncState.order.store(order, std::memory_order_relaxed);
}

GraphicsSystem* graphicsSystem = nullptr;
Display* display = nullptr;
Renderer* renderer = nullptr;

SharedAssets sharedAssets;

void SharedAssets::Reset() {
    for (Mesh* mesh : {&spiralMesh, &ballMesh, &coneMesh, &boxMesh, &dudeMesh, &brillerMesh, &toypushMesh})
        ReleaseMesh(mesh);
    for (std::unique_ptr<Image>& image : images) image.reset();
    envmapTexture = stripeTexture = striberTexture = fisseTexture = osTexture = plettetTexture = 0;
    circlesTexture = toypushTexture = greetsTexture = txtTexture = 0;
    for (TextureId& texture : pictureTextures) texture = 0;
}
