// The show's shared state: the graphics objects every part draws through, the fade level
// of the final scene, and the shared assets the sequence loads for the parts.
#include "show/show_state.h"

#include <cstring>

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
    for (PartPicture& picture : partPictures) picture = PartPicture{};
    partPictureCount = 0;
    for (int i = 0; i < partObjectCount; ++i) ReleaseMesh(partObjects[i]);
    partObjectCount = 0;
}

TextureId PartTexture(const char* file, int mode) {
    for (int i = 0; i < sharedAssets.partPictureCount; ++i) {
        SharedAssets::PartPicture& picture = sharedAssets.partPictures[i];
        if (picture.mode != mode || std::strcmp(picture.file, file) != 0) continue;
        renderer->UpdateTexture(picture.texture, picture.image.get(), mode);
        return picture.texture;
    }
    std::unique_ptr<Image> image(LoadPng(file));
    const TextureId texture = renderer->CreateTexture(image.get(), mode);
    if (sharedAssets.partPictureCount < SharedAssets::kMaxPartPictures)
        sharedAssets.partPictures[sharedAssets.partPictureCount++] = {file, mode, texture, std::move(image)};
    return texture;
}

void ImportPartObject(Mesh* mesh, const char* file, const char* objectName) {
    for (int i = 0; i < sharedAssets.partObjectCount; ++i)
        if (sharedAssets.partObjects[i] == mesh) return;
    ReleaseMesh(mesh);
    ImportObject(mesh, file, objectName);
    if (sharedAssets.partObjectCount < SharedAssets::kMaxPartObjects)
        sharedAssets.partObjects[sharedAssets.partObjectCount++] = mesh;
}
