// Scene graph of the final scene and its per-frame software pipeline: nodes that own
// their vertices and faces, a camera, point lights, and Render, which transforms,
// back-face culls, clips against five planes and draws every visible node.
//
// Camera space: the camera looks along +z; x right, y up. Screen coordinates are
// normalised (-1..1) with screen y the opposite sign of camera-space y. Node angles and the
// camera roll are radians; the camera's field of view is degrees.
#pragma once

#include <cstdint>

#include "gfx/gfx.h"
#include "math/math.h"

class Scene;

constexpr uint32_t FLAG_ADJACENCY = 1;  // normals are recomputed every frame
constexpr uint32_t FLAG_CULL = 2;       // back faces are dropped
constexpr uint32_t FLAG_VISIBLE = 8;    // the node is drawn

constexpr int kNumClipPlanes = 5;
constexpr unsigned kRenderListCapacity = 4000;  // faces drawn per frame at most
constexpr int kClipBufferCapacity = 15;         // corners of a clipped face at most

// Plain record (no constructor, so the clipper's work buffers cost nothing to declare);
// SceneNode's constructor zeroes every field of its vertices.
struct NodeVertex {
    Vec3 objectPos;            // object space, written by the scene builder
    Vec3 viewPos;              // camera space
    float screenX, screenY;    // projected, normalised
    float depth;               // viewPos.z at projection
    Vec3 normal;               // object space
    Vec3 viewNormal;           // normal rotated into camera space
    int auxA, auxB;            // carried for the builder; never read by the pipeline
    float texU, texV;          // texture unit 0
    float envU, envV;          // texture unit 1: environment map from viewNormal
    int adjacentCount;         // faces that use this vertex (BuildAdjacency)
    Vec3** adjacentNormals;    // their normal fields
    float clipDist[kNumClipPlanes];    // signed distances to the clip planes, >= 0 inside
};

struct NodeFace {
    NodeVertex* a;  // corners, in this order, into the same node's vertices
    NodeVertex* b;
    NodeVertex* c;
    Vec3 normal;    // object space (ComputeFaceNormal)
    unsigned mode = 0;
    unsigned colourA = 0, colourB = 0;
    // normal = normalised (b - a) x (c - a) of the object-space corners; (0, 0, 0) when degenerate.
    void ComputeFaceNormal();
};

class SceneNode {
public:
    SceneNode(int vertexCount, int faceCount);
    ~SceneNode();
    SceneNode(const SceneNode&) = delete;
    SceneNode& operator=(const SceneNode&) = delete;

    // Counts 0, position 0, rotation 0, scale 1, mode 0, visible with culling; arrays untouched.
    void Reset();
    void SetPosition(float x, float y, float z);
    void SetRotation(float x, float y, float z);
    void SetScale(float x, float y, float z);
    void SetVisible(bool visible);
    void SetBackfaceCulling(bool cull);
    // colour and both face colours; stored for the builder only.
    void SetColour(unsigned value);
    // Mode setters: keep the other groups of the 5-bit word, OR in value unmasked, on the
    // node and every face.
    void SetModeBit0(unsigned value);
    void SetModeBits1To2(unsigned value);
    void SetModeBits3To4(unsigned value);
    // Records, per vertex, the faces that use it so Render can average their normals each frame.
    void BuildAdjacency();
    // Face normals, then vertex normals as the normalised sum of the faces using the vertex.
    void ComputeNormals();

    // Per-frame stages, in the order Render runs them.
    void UpdateLocalMatrix();
    void TransformToView(const Matrix34* cameraView);
    void ProjectNodeVertices();
    void ComputeClipDistances();
    void UpdateEnvCoords();
    void UpdateNormals();
    void CollectFaces(Scene* scene);

    unsigned mode;
    int faceCount;
    int vertexCount;
    NodeFace* faces;
    NodeVertex* vertices;
    unsigned flags;
    unsigned colour = 0;
    SceneNode* next = nullptr;
    Vec3 position;
    float rotation[3];
    float scale[3];
    Matrix34 viewMatrix;     // object space to camera space
    Matrix34 localMatrix;    // object space to world space
    Matrix34 inverseMatrix;  // world space to object space
};

// Shared by every camera: 100 / tan(fov / 2) of the camera whose SetFov ran last.
extern float projectionScale;

class Camera {
public:
    Camera();
    void SetFov(float degrees);
    void SetRoll(float radians) { roll = radians; }
    void SetPosition(float x, float y, float z) { position = {x, y, z}; }
    void SetTarget(float x, float y, float z) { target = {x, y, z}; }
    const Vec3& GetPosition() const { return position; }
    const Vec3& GetTarget() const { return target; }

    // Rebuilds the five clip planes of clipPlanes from the field of view.
    void UpdateClipPlanes() const;
    // viewMatrix = Rz(roll).Rx(pitch).Ry(yaw).T(-position): the camera looks along +z.
    void UpdateView();

    Vec3 position{0, 0, -100};
    Vec3 target{0, 0, 0};
    Vec3 direction{0, 0, 0};
    float fov = 60;
    float roll = 0;
    Matrix34 viewMatrix;
};

// Clip planes in camera space: (nx, ny, nz, w); distance = p.n + w, inside when >= 0.
extern float clipPlanes[kNumClipPlanes][4];

class Light {
public:
    Light();
    virtual ~Light() = default;
    void SetPosition(float x, float y, float z) { position = {x, y, z}; }
    void SetColour(float r, float g, float b);
    void SetIntensity(float value);
    void SetRange(int enabled, float start, float end);
    // Adds the light falling on point (with unit normal) to the sums; the base only forwards.
    virtual void Accumulate(float* r, float* g, float* b, const Vec3* point, const Vec3* normal);

    Vec3 position;
    Vec3 viewPos{0, 0, 0};  // position in the space of the points to be lit
    Light* next = nullptr;
    float colour[3];
    float effective[3];     // colour x intensity
    float intensity;
    float rangeStart = 0, rangeEnd = 0;
    int rangeEnabled = 0;
};

class PointLight : public Light {
public:
    PointLight();
    void Accumulate(float* r, float* g, float* b, const Vec3* point, const Vec3* normal) override;
};

class Scene {
public:
    Scene() = default;
    // Pushes at the front: the newest node is drawn first.
    void AddNode(SceneNode* node);
    void AddLight(Light* light);
    void SetCamera(Camera* newCamera) { camera = newCamera; }
    void SetSize(unsigned newWidth, unsigned newHeight) {
        width = static_cast<int>(newWidth);
        height = static_cast<int>(newHeight);
    }
    // Draws one frame through renderer with DrawTriangleMultitex, every corner coloured
    // fadeLevel. Changes no render state. Does nothing without a camera.
    void Render(Renderer* renderer, float fadeLevel);

    // Appends a face to the render list; dropped once it holds kRenderListCapacity faces.
    void Collect(NodeFace* face) {
        if (renderCount < kRenderListCapacity) RenderList[renderCount++] = face;
    }

    unsigned renderCount = 0;
    NodeFace* RenderList[kRenderListCapacity];
    int width = 0, height = 0;
    SceneNode* nodes = nullptr;
    int nodeCount = 0;
    Light* lights = nullptr;
    Camera* camera = nullptr;
};

// Clips one collected face against the five planes and draws it as a fan of triangles.
void DrawFace(Renderer* renderer, const NodeFace* face, float fadeLevel);
// Hands one triangle of clipped corners to the renderer.
void SubmitTriangle(Renderer* renderer, const NodeVertex* a, const NodeVertex* b,
                    const NodeVertex* c, float fadeLevel);
