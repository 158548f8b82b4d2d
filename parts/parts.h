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
// Gives demoTime and imageStripX their program-start values, for a show run again.
void ResetPartClocks();

// The top of a part's frame: PumpMessages, then runs(order) on the song order. False when
// the loop must end (a quit was seen, or the order has passed the part's end); runs is
// the part's end test of parts/part_table.h.
//     while (PartFrameBegin(TitleRuns)) { ...draw...; PartFrameEnd(kClockStep); }
bool PartFrameBegin(bool (*runs)(int order));
// The bottom of a part's frame: Present, Clear, and demoTime advanced by clockStep (the
// sum taken in double and stored back as float).
void PartFrameEnd(double clockStep);

// ---- Shared by the looping parts ------------------------------------------------------

struct EffectCamera;
struct Matrix44;
struct FaceRef;
struct Mesh;

// Camera set-up every looping part makes once: aspect (CameraSetAspect(2, 2, aspect)),
// field of view in degrees, viewport 2 x 2; the clip projection set to (0, 0, 1, 1).
void SetUpPartCamera(EffectCamera* camera, float aspect, float fovDegrees);
// Places the camera (roll in degrees) and builds its view matrix scaled by the focal factors.
void AimPartCamera(EffectCamera* camera, Matrix44* view, const Vec3& position, const Vec3& target,
                   float rollDegrees);
// Turning fan of steps / 2 rays about the screen centre, drawn with DrawTriangle at depth -1.
// fan holds at least 2 * steps vertices (element 0 is the centre); angle in radians turns
// the whole fan; each ray and each gap spans 1 / steps of the turn.
void DrawRayFan(Renderer* renderer, ScreenVertex* fan, float angle, float radius, int steps,
                float red, float green, float blue);
// Orange background and a turning fan of six rays (no texturing or blending, second texture
// unit off), drawn through `renderer`; fan holds at least 24 vertices.
void DrawFanBackdrop(ScreenVertex* fan, float angle);
// The picture laid over a part's scene: the texture over the middle 80 % of the screen both
// ways (top of the texture at the top), depth test off, with blendMode and vertex alpha
// (0..1); the depth test is left on afterwards, as the parts draw their scenes.
void DrawOverlayPicture(TextureId texture, int blendMode, float alpha);
// Draws a placed mesh far to near with environment coordinates from its smoothed normals:
// refs (capacity entries) refilled, keyed and sorted, then multitexture triangles.
void DrawSortedEnvMapped(Mesh* mesh, FaceRef* refs, int capacity);
// Vertices of a mesh, 0 for one never built.
int MeshVertexCount(const Mesh& mesh);
// Points refs at the mesh's faces in file order, at most capacity of them (the size of
// refs); returns how many (0 for a mesh never built).
int FillMeshFaceRefs(FaceRef* refs, Mesh* mesh, int capacity);
// Every working vertex grey (shade 0 black .. 1 white) with zero texture coordinates.
void ShadeMesh(Mesh* mesh, float shade);
// Camera-space transform by view, then outcodes and screen coordinates, of every working
// vertex (a mesh never built is skipped).
void PlaceMesh(Mesh* mesh, const Matrix44* view, const EffectCamera* camera);
// SmoothEnvMap over the whole mesh; meshes beyond the toolkit's normal accumulators (and
// empty ones) are left as they are.
void SmoothEnvMapMesh(Mesh* mesh);

// Zoom state of the infinite zoom. The distance D = e^p shrinks by e^-0.04 per step; once p
// is at or below 10.5 the window base w grows 0.018 per step, gaining 1 in about 55.6 steps
// while D shrinks by about 9.2, close to the factor 10 between neighbouring copies.
struct ZoomState {
    float p = 15.5f;        // exponent of the distance; no lower bound
    float w = 0.0f;         // window base: the nearest copy drawn is trunc(w) + 1
    float distance = 0.0f;  // D, from the camera of copy 5 to the object's origin
    void Step();
};

// The looping parts, each run until its end test of parts/part_table.h fails.
void PartTitle();
void PartMorphingBall();
void PartSnakingTube();
void PartSpinningSpiral();
void PartToyScene();

// The toy scene's camera: the eye on the path of the song order (orders up to
// kToyFirstPathOrder share the first path, then one path per order to 22) at the part's
// clock t, angles in radians.
constexpr int kToyFirstPathOrder = 19;
Vec3 ToyCameraPosition(int order, float t);
void PartInfiniteZoom();
void PartGreetings();

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

    // Frees the nodes, lights and cameras of a previous Init and empties both scenes.
    void Release();

    Scene objects;
    Scene floor;
    PointLight* lights[3] = {nullptr, nullptr, nullptr};
    Camera* camera = nullptr;       // the objects scene's
    Camera* floorCamera = nullptr;  // the floor scene's
    Tentacle** tentacles = nullptr;  // room for kMaxTentacles
    int tentacleCount = 0;
};

// The final scene (one process-wide instance), built during the sequence's set-up and
// drawn by its final loop.
DemoEffect& FinalScene();
