// The show's shared state: the song position the music sync stores, the graphics objects
// every part draws through, the final scene's fade level, and the textures and meshes the
// sequence loads for the parts.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "gfx/gfx.h"
#include "import/import.h"
#include "platform/interface/bass.h"

// Song position written by the music sync callback (audio thread) and read by the frame
// loops (main thread): single 32-bit stores and loads, relaxed order.
struct SyncState {
    std::atomic<uint32_t> channel{0};
    std::atomic<int32_t> row{0};    // 0..65535
    std::atomic<int32_t> order{0};  // 0..65535
    // Stores channel and registers OnMusicSync for every row of every order.
    void RegisterSync(DWORD channel);
};
extern SyncState syncState;
// The sync callback: row = high 16 bits of data, order = low 16 bits.
void OnMusicSync(DWORD sync, DWORD channel, DWORD data);

// The part drawing the frames, as its row of the parts' table (parts/part_table.h): the
// looping parts in show order, then the final scene; -1 before the first part starts. Set
// on the main thread by the demo sequence.
extern int runningPart;

extern float fadeLevel;  // colour of the final scene's faces: 1.0, lowered during order 32

// Gives fadeLevel and runningPart their program-start values and puts the song position at
// (order, 0), for a show run again from that order.
void ResetShowState(int order);

extern GraphicsSystem* graphicsSystem;
extern Display* display;
extern Renderer* renderer;  // every part draws through this

// The textures and meshes the sequence loads for the parts, by asset-table row, and the
// decoded images behind the textures, in loading order.
constexpr int kSharedImageCount = 14;
struct SharedAssets {
    TextureId envmapTexture = 0;      // "envmap1.png"
    TextureId stripeTexture = 0;      // "stripe.png"
    TextureId striberTexture = 0;     // "striber3.png"
    TextureId fisseTexture = 0;       // "fisse.png"
    TextureId osTexture = 0;          // "os.png"
    TextureId plettetTexture = 0;     // "plettet.png"
    TextureId circlesTexture = 0;     // "circles.png"
    TextureId pictureTextures[4] = {}; // "1.png" .. "4.png"
    TextureId toypushTexture = 0;     // "toypush.png"
    TextureId greetsTexture = 0;      // "greets.png"
    TextureId txtTexture = 0;         // "txt.png"
    std::unique_ptr<Image> images[kSharedImageCount];

    Mesh spiralMesh;   // "spiral.3ds" "Shape1"
    Mesh ballMesh;     // "ball2116.3ds" "Object01"
    Mesh coneMesh;     // "striber.3ds" "Cone01"
    Mesh boxMesh;      // "toyscene.3ds" "Box05"
    Mesh dudeMesh;     // "toyscene.3ds" "dude"
    Mesh brillerMesh;  // "toyscene.3ds" "briller"
    Mesh toypushMesh;  // "toypush1.3ds" "Shape1"

    // The parts' own pictures and objects, loaded by their set-up at its first run after
    // the shared assets; later runs reuse them.
    struct PartPicture {
        const char* file = nullptr;
        int mode = 0;
        TextureId texture = 0;
        std::unique_ptr<Image> image;
    };
    static constexpr int kMaxPartPictures = 4;
    static constexpr int kMaxPartObjects = 8;
    PartPicture partPictures[kMaxPartPictures];
    int partPictureCount = 0;
    Mesh* partObjects[kMaxPartObjects] = {};
    int partObjectCount = 0;

    // Frees the meshes (the parts' own too) and the images and names no texture: the state
    // before any loading. The renderer's textures are the renderer's to free.
    void Reset();
};
// Kept for the life of the process; loading the shared assets again resets it first.
extern SharedAssets sharedAssets;

// A part's own picture file as a texture of `mode` through `renderer`: decoded and created
// at the first call; later calls (a run started again) upload the kept picture into the
// same name, which leaves it bound as creating it did, instead of making another.
TextureId PartTexture(const char* file, int mode);
// A part's own object: ImportObject into mesh at the first call; later calls keep it.
void ImportPartObject(Mesh* mesh, const char* file, const char* objectName);
