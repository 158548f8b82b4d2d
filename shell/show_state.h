// The show's shared state: the song position the music sync stores, the graphics objects
// every part draws through, the final scene's fade level, and the textures and meshes the
// sequence loads for the parts.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "gfx/gfx.h"
#include "import/import.h"
#include "platform/bass.h"

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

// The part drawing the frames: 0..6 the looping parts in show order, 7 the final scene,
// -1 before the first part starts. Set on the main thread by the demo sequence.
constexpr int kShowPartCount = 8;
extern int runningPart;

extern float fadeLevel;  // colour of the final scene's faces: 1.0, lowered during order 32

extern GraphicsSystem* graphicsSystem;
extern Display* display;
extern Renderer* renderer;  // every part draws through this

// Shared textures, by asset-table row.
extern TextureId envmapTexture;      // "envmap1.png"
extern TextureId stripeTexture;      // "stripe.png"
extern TextureId striberTexture;     // "striber3.png"
extern TextureId fisseTexture;       // "fisse.png"
extern TextureId osTexture;          // "os.png"
extern TextureId plettetTexture;     // "plettet.png"
extern TextureId circlesTexture;     // "circles.png"
extern TextureId pictureTextures[4]; // "1.png" .. "4.png"
extern TextureId toypushTexture;     // "toypush.png"
extern TextureId greetsTexture;      // "greets.png"
extern TextureId txtTexture;         // "txt.png"

// The decoded images behind the shared textures, in loading order, kept for the life of
// the process; loading the shared assets again replaces them.
constexpr int kSharedImageCount = 14;
extern std::unique_ptr<Image> sharedImages[kSharedImageCount];

// Shared meshes.
extern Mesh spiralMesh;   // "spiral.3ds" "Shape1"
extern Mesh ballMesh;     // "ball2116.3ds" "Object01"
extern Mesh coneMesh;     // "striber.3ds" "Cone01"
extern Mesh boxMesh;      // "toyscene.3ds" "Box05"
extern Mesh dudeMesh;     // "toyscene.3ds" "dude"
extern Mesh brillerMesh;  // "toyscene.3ds" "briller"
extern Mesh toypushMesh;  // "toypush1.3ds" "Shape1"
