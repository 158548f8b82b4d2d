// Demo shell: application entry, main window and message pump; the show's shared state
// (music sync, renderer, shared textures and meshes); the demo sequence.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "gfx/gfx.h"
#include "import/import.h"
#include "platform/bass.h"
#include "platform/win32.h"

// ---- Application entry, window and pump ------------------------------------------------

extern HINSTANCE instance;  // handle given to the entry point
extern int showCommand;     // show-window command given to the entry point
extern HWND mainWindow;     // the top-level window; null until created
extern int quitSeen;        // 1 once the pump has retrieved WM_QUIT; never cleared

int WinMain(HINSTANCE instance, HINSTANCE previousInstance, char* commandLine, int showCommand);
// 1 when the window exists, 0 when CreateWindowExA failed.
int CreateMainWindow(HINSTANCE instance, int showCommand);
LRESULT MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Drains every pending message without waiting; 1 once a quit has been seen, from then on always.
int PumpMessages();
void ShowSystemMessage(const char* text);

// ---- Shared show state -----------------------------------------------------------------

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

// Shared meshes.
extern Mesh spiralMesh;   // "spiral.3ds" "Shape1"
extern Mesh ballMesh;     // "ball2116.3ds" "Object01"
extern Mesh coneMesh;     // "striber.3ds" "Cone01"
extern Mesh boxMesh;      // "toyscene.3ds" "Box05"
extern Mesh dudeMesh;     // "toyscene.3ds" "dude"
extern Mesh brillerMesh;  // "toyscene.3ds" "briller"
extern Mesh toypushMesh;  // "toypush1.3ds" "Shape1"

// ---- Demo sequence ---------------------------------------------------------------------

// The whole show: set-up, the seven parts, the final loop, tear-down.
void RunDemo(int width, int height, int bitsPerPixel);

// The steps of RunDemo once the renderer exists; they draw through `renderer`.
// RunShow = LoadSharedAssets, StartMusic, RunParts, RunFinalLoop.
void RunShow();
// The shared textures and meshes of the asset table, read from the working directory,
// with the final scene built (Init, SetDisplayMode(800, 600, 32)) after the second row.
void LoadSharedAssets();
// BASS version, init on mainWindow, "funk.it" loaded, output started, row sync, play.
void StartMusic();
// The seven parts, one after another.
void RunParts();
// The final scene, one frame per iteration until order 33, fading out during order 32.
void RunFinalLoop();
// Shutdown of the graphics system (when there is one), then BASS stopped and freed.
void TearDownShow();

// ---- Play options ----------------------------------------------------------------------
// Without options the program plays full-screen as above; these play it elsewhere.

constexpr int kMaxFramePositions = 64;  // positions one --at list may name

// A song position: order (position in the order list) and pattern row.
struct SongPosition {
    int order;
    int row;
};

struct PlayOptions {
    bool help = false;
    bool version = false;           // --version: print the version and end
    const char* dataDir = nullptr;  // --data: folder of the show's data files, null to look for one
    bool window = false;            // --window: a resizable window, no display-mode change
    bool sizeGiven = false;
    int width = 640, height = 480;  // --size: window or capture size, pixels
    const char* capturePath = nullptr;  // --capture: video file to write, null for none
    const char* framesDir = nullptr;    // --frames: folder of PNG frame dumps, null for none
    SongPosition at[kMaxFramePositions] = {};  // --at: positions whose frames are dumped
    int atCount = 0;
    int fromOrder = 0;              // --from: song order the music starts at
};

// The text of --help.
extern const char kPlayUsage[];
// Reads the arguments after the program name into options. Returns false with a
// one-line reason in error for an unknown option, a missing or malformed value, or
// options that do not go together.
bool ParsePlayOptions(int argc, const char* const* argv, PlayOptions* options, std::string* error);
// Applies the options, runs WinMain and, when capturing or dumping frames, finishes the
// files. Returns the process exit status (0 on success).
int PlayWithOptions(const PlayOptions& options);
