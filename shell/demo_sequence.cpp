// The demo sequence: brings up the graphics device, loads the shared textures and meshes,
// starts the soundtrack with its row sync, runs the seven parts and the final loop in step
// with the song order, and tears down.
#include <cstdlib>

#include "fx/fx.h"
#include "parts/part_table.h"
#include "parts/parts.h"
#include "app/app.h"
#include "shell/sequence.h"
#include "show/show_state.h"

namespace {

// During this order the final scene fades out over rows 0..127.
constexpr int kFadeOrder = 32;
// frameClock step per final frame, 1/230 (a double constant; the sum is kept as a float).
constexpr double kFrameClockStep = 0.004347826086956522;

enum class AssetKind { Texture, Object, FinalScene };

struct AssetRow {
    AssetKind kind;
    const char* file;        // read from the working directory
    const char* objectName;  // object rows
    int mode;                // texture rows: CreateTexture mode (a kTexture* code)
    TextureId* texture;      // texture rows: where the name goes
    Mesh* mesh;              // object rows: the mesh to fill
};

constexpr AssetRow Texture(const char* file, int mode, TextureId* texture) {
    return AssetRow{AssetKind::Texture, file, nullptr, mode, texture, nullptr};
}
constexpr AssetRow Object(const char* file, const char* objectName, Mesh* mesh) {
    return AssetRow{AssetKind::Object, file, objectName, 0, nullptr, mesh};
}

// The shared assets in loading order; the final scene is built between the second and
// third rows.
constexpr AssetRow kAssets[] = {
    Texture("envmap1.png", kTextureRgb5, &sharedAssets.envmapTexture),
    Texture("stripe.png", kTextureRgba8, &sharedAssets.stripeTexture),
    AssetRow{AssetKind::FinalScene, nullptr, nullptr, 0, nullptr, nullptr},
    Object("spiral.3ds", "Shape1", &sharedAssets.spiralMesh),
    Object("ball2116.3ds", "Object01", &sharedAssets.ballMesh),
    Object("striber.3ds", "Cone01", &sharedAssets.coneMesh),
    Texture("striber3.png", kTextureRgba8, &sharedAssets.striberTexture),
    Texture("fisse.png", kTextureRgba8, &sharedAssets.fisseTexture),
    Texture("os.png", kTextureRgba8, &sharedAssets.osTexture),
    Texture("plettet.png", kTextureRgba8, &sharedAssets.plettetTexture),
    Texture("circles.png", kTextureRgba8, &sharedAssets.circlesTexture),
    Object("toyscene.3ds", "Box05", &sharedAssets.boxMesh),
    Object("toyscene.3ds", "dude", &sharedAssets.dudeMesh),
    Object("toyscene.3ds", "briller", &sharedAssets.brillerMesh),
    Object("toypush1.3ds", "Shape1", &sharedAssets.toypushMesh),
    Texture("1.png", kTextureRgba8, &sharedAssets.pictureTextures[0]),
    Texture("2.png", kTextureRgba8, &sharedAssets.pictureTextures[1]),
    Texture("3.png", kTextureRgba8, &sharedAssets.pictureTextures[2]),
    Texture("4.png", kTextureRgba8, &sharedAssets.pictureTextures[3]),
    Texture("toypush.png", kTextureRgba8, &sharedAssets.toypushTexture),
    Texture("greets.png", kTextureRgba8, &sharedAssets.greetsTexture),
    Texture("txt.png", kTextureRgba8, &sharedAssets.txtTexture),
};

constexpr int TextureRows() {
    int count = 0;
    for (const AssetRow& asset : kAssets) count += asset.kind == AssetKind::Texture ? 1 : 0;
    return count;
}
static_assert(TextureRows() == kSharedImageCount, "one kept image per texture row");

int Order() { return syncState.order.load(std::memory_order_relaxed); }

// The C library's random numbers start from this seed in every process.
constexpr unsigned kProcessRandomSeed = 1;

HMUSIC music = 0;  // the module StartMusic loaded

void BuildFinalScene() {
    FinalScene().Init();
    FinalScene().SetDisplayMode(800, 600, 32);
}

}  // namespace

void LoadSharedAssets() {
    sharedAssets.Reset();  // what a previous show loaded, if any
    int image = 0;
    for (const AssetRow& asset : kAssets) {
        switch (asset.kind) {
        case AssetKind::Texture:
            // A file that cannot be decoded gives a null image (the loader has said why),
            // which CreateTexture still names, as a blank texture.
            sharedAssets.images[image].reset(LoadPng(asset.file));
            *asset.texture = renderer->CreateTexture(sharedAssets.images[image++].get(), asset.mode);
            break;
        case AssetKind::Object:
            ImportObject(asset.mesh, asset.file, asset.objectName);
            break;
        case AssetKind::FinalScene:
            BuildFinalScene();
            break;
        }
    }
}

void StartMusic() {
    BASS_GetVersion();
    BASS_Init(-1, 44100, 0, mainWindow);
    music = BASS_MusicLoad("funk.it", 0, 1);
    BASS_Start();
    syncState.RegisterSync(music);
}

void PlayMusic() { BASS_MusicPlay(music); }

void RunParts() {
    runningPart = -1;
    for (int part = 0; part < kLoopingPartCount; ++part) {
        ++runningPart;
        kShowParts[part].play();
    }
}

void RunFinalLoop() {
    runningPart = kPartCount - 1;
    float frameClock = 0.0f;
    for (;;) {
        if (PumpMessages() == 1) break;
        if (!FinalLoopRuns(Order())) break;
        frameClock = float(frameClock + kFrameClockStep);
        renderer->SetBlendMode(kBlendUnit0FilterReset);
        renderer->SetState(kStateTextureUnits, kBothUnits);
        renderer->BindTexture1(sharedAssets.envmapTexture);
        renderer->BindTexture0(sharedAssets.plettetTexture);
        if (Order() == kFadeOrder)
            fadeLevel = float(128 - syncState.row.load(std::memory_order_relaxed)) / 128.0f;
        FinalScene().Frame(0, frameClock);
        renderer->Present();
        renderer->Clear();
        // The background of the next frame, drawn under the state this frame left set.
        FillScreen(renderer, 0.9453125f, 0.7109375f, 0.02734375f);
    }
}

bool StartShow(int width, int height, int bitsPerPixel) {
    graphicsSystem = CreateGraphicsSystem(DisplayTarget{mainWindow, showCommand, ShowErrorBox});
    display = graphicsSystem->CreateDisplay(width, height, bitsPerPixel);
    // A display that failed to open has said why in a "FATAL ERROR" box; asking it for a
    // renderer would only add a second, misleading box. Without a renderer (that, or OpenGL
    // lacking multitexturing) nothing can be drawn, so the show is skipped.
    renderer = display->Open() ? display->CreateRenderer() : nullptr;
    if (renderer == nullptr) return false;
    LoadSharedAssets();
    StartMusic();
    renderer->KeepDrawingState();
    return true;
}

void PlayShow() {
    PlayMusic();
    RunParts();
    RunFinalLoop();
}

void RestartShow(int order) {
    BASS_Stop();  // no row sync moves the song position from here on
    ResetSequence(order);
    BuildFinalScene();
    renderer->RestoreDrawingState();
    BASS_Start();
}

void TearDownShow() {
    if (graphicsSystem != nullptr) graphicsSystem->Shutdown();
    BASS_Stop();
    BASS_Free();
}

void ResetSequence(int order) {
    ResetPartClocks();
    ResetShowState(order);
    ForgetQuit();
    std::srand(kProcessRandomSeed);
}

void RunDemo(int width, int height, int bitsPerPixel) {
    if (StartShow(width, height, bitsPerPixel)) PlayShow();
    TearDownShow();
}
