// The show's parts: seven looping parts, each run by the demo sequence until the song
// order passes its end, and the final scene of swaying tentacles drawn by the final loop.
//
// Part contract: no arguments, no result. Set-up first (own files, meshes, FaceRef
// arrays, camera); then per frame: PumpMessages (leave on quit), leave when the order has
// passed the part's end, draw one frame through `renderer`, Present, Clear, advance the clock.
#pragma once

#include "gfx/gfx.h"
#include "math/math.h"
#include "scene/scene.h"

// Animation clock of the looping parts: 3.14 at program start; each part adds its own step.
extern float demoTime;
// "logoenv.png", created by the title part and bound again by the greetings part.
extern TextureId logoEnvTexture;
// Screen x of the picture strip's first picture; 1.0 at program start.
extern float imageStripX;

// End tests on the song order: a part's loop runs while its test holds.
inline bool TitleRuns(int order) { return order < 3; }
inline bool MorphingBallRuns(int order) { return order < 9; }
inline bool SnakingTubeRuns(int order) { return order < 15; }
inline bool SpinningSpiralRuns(int order) { return order <= 17; }
inline bool ToySceneRuns(int order) { return order <= 22; }
inline bool InfiniteZoomRuns(int order) { return order < 26; }
inline bool GreetingsRuns(int order) { return order <= 27; }

// The top of a part's frame: PumpMessages, then runs(order) on the song order. False when
// the loop must end (a quit was seen, or the order has passed the part's end).
//     while (PartFrameBegin(TitleRuns)) { ...draw...; renderer->Present(); renderer->Clear(); ... }
bool PartFrameBegin(bool (*runs)(int order));

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

// ---- The final scene: a field of swaying tentacles ---------------------------------------
// Scene space: z up; the tentacles stand on the plane z = 0, feet on a 4x4 grid.

struct TentacleJoint {
    Vec3 position;
    Vec3 previous;        // position before this step's integration
    Vec3 velocity;        // scaled units per step
    Vec3 force;
    Vec3 rest;            // where the spring pulls the joint back to
    float springStrength; // 2.0
    float response;       // 0.5
    float ringRadius;     // radius of the mesh ring around this joint
};

// A point that pulls joints within its reach, more strongly the nearer they are.
struct Attractor {
    Vec3 position;
    float strength;
    float reach;
};

constexpr int kMaxAttractors = 2;
extern Attractor attractors[kMaxAttractors];
extern int attractorCount;   // entries of attractors the simulation reads; 0 until Init
extern float lastSceneTime;  // scaled time of the previous frame; -1 before the first

// A chain of joints from a fixed foot to a free tip, wrapped in a tube of rings.
class Tentacle {
public:
    ~Tentacle();
    // n joints from foot to tip; ring radius 2 * radius at the foot down to 0 at the tip;
    // sides vertices per ring. Creates the node (owned by the tentacle) with adjacency.
    void Build(int n, const Vec3& foot, const Vec3& tip, int radius, int sides);
    // One simulation step of dt scaled time units: attractors and springs, integration,
    // then two passes that shorten links longer than the rest link length.
    void Simulate(float dt);
    // Rebuilds every ring, perpendicular to the chain's local direction, around its joint.
    void UpdateMesh();
    void Step(float dt) {
        Simulate(dt);
        UpdateMesh();
    }

    int jointCount = 0;
    int sides = 0;
    int radius = 0;
    TentacleJoint* joints = nullptr;
    int faceCount = 0;
    int vertexCount = 0;
    float restLength = 0;  // foot to tip at build time
    SceneNode* node = nullptr;
};

constexpr int kMaxTentacles = 100;

class TentacleScene : public DemoEffect {
public:
    // Builds the floor scene (kept, not drawn), sixteen tentacles, lights and the camera.
    int Init() override;
    // Advances the simulation to time (frameClock of the final loop; 80 scaled units per
    // unit) and draws the objects scene through `renderer`, coloured by `fadeLevel`.
    void Frame(int unused, float time) override;

    Scene objects;
    Scene floor;
    PointLight* lights[3] = {nullptr, nullptr, nullptr};
    Camera* camera = nullptr;
    Tentacle** tentacles = nullptr;  // room for kMaxTentacles
    int tentacleCount = 0;
};

// The final scene (one process-wide instance), built during the sequence's set-up and
// drawn by its final loop.
DemoEffect& FinalScene();
