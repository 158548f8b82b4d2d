// One frame of a scene: camera update, the per-node vertex stages, back-face culling into
// the render list, then every collected face clipped and drawn.
#include <cmath>

#include "scene/scene.h"

// Depths below this are divided as if they were this: the near plane lets depths down to
// -0.0001 through, and 1/depth must stay finite for the screen position and the renderer.
static constexpr float kMinDivisionDepth = 1e-4f;

void Scene::AddNode(SceneNode* node) {
    node->next = nodes;
    nodes = node;
    ++nodeCount;
}

void Scene::AddLight(Light* light) {
    light->next = lights;
    lights = light;
}

void Scene::Render(Renderer* renderer, float fadeLevel) {
    if (!camera) return;
    renderCount = 0;
    camera->UpdateClipPlanes();
    camera->UpdateView();
    for (SceneNode* node = nodes; node; node = node->next) {
        if (!(node->flags & FLAG_VISIBLE)) continue;
        node->UpdateLocalMatrix();
        node->TransformToView(&camera->viewMatrix);
        node->ProjectNodeVertices();
        node->ComputeClipDistances();
        node->UpdateEnvCoords();
        node->UpdateNormals();
        node->CollectFaces(this);
    }
    for (unsigned i = 0; i < renderCount; ++i) DrawFace(renderer, RenderList[i], fadeLevel);
}

// localMatrix = T.Rz.Ry.Rx.S: scale first, then rotations about x, y, z, then translation.
void SceneNode::UpdateLocalMatrix() {
    localMatrix = kMatrix34Identity;
    MatScale(scale[0], scale[1], scale[2], &localMatrix);
    MatRotateX(rotation[0], &localMatrix);
    MatRotateY(rotation[1], &localMatrix);
    MatRotateZ(rotation[2], &localMatrix);
    MatTranslate(position.x, position.y, position.z, &localMatrix);
    MatInvert(&localMatrix, &inverseMatrix);
}

void SceneNode::TransformToView(const Matrix34* cameraView) {
    MatMultiply(cameraView, &localMatrix, &viewMatrix);
    for (int i = 0; i < vertexCount; ++i)
        MatTransformPoint(&viewMatrix, &vertices[i].objectPos, &vertices[i].viewPos);
}

// Perspective divide: x / (z tan(fov/2)) and -y / (z tan(fov/2)), so the edges of the field
// of view land on +-1 and screen y runs opposite to camera-space y.
static void ProjectNodeVertex(NodeVertex* v) {
    v->depth = v->viewPos.z;
    const float k = projectionScale * 0.01f / (v->depth > kMinDivisionDepth ? v->depth : kMinDivisionDepth);
    v->screenX = v->viewPos.x * k;
    v->screenY = -(v->viewPos.y * k);
}

static void ComputeVertexClipDistances(NodeVertex* v) {
    for (int i = 0; i < kNumClipPlanes; ++i)
        v->clipDist[i] = v->viewPos.x * clipPlanes[i][0] + v->viewPos.y * clipPlanes[i][1] +
                         v->viewPos.z * clipPlanes[i][2] + clipPlanes[i][3];
}

void SceneNode::ProjectNodeVertices() {
    for (int i = 0; i < vertexCount; ++i) ProjectNodeVertex(&vertices[i]);
}

void SceneNode::ComputeClipDistances() {
    for (int i = 0; i < vertexCount; ++i) ComputeVertexClipDistances(&vertices[i]);
}

// Sphere-map coordinates from the camera-space normal (not re-normalised): x and y of the
// normal map from -1..1 to 0..1.
void SceneNode::UpdateEnvCoords() {
    for (int i = 0; i < vertexCount; ++i) {
        NodeVertex* v = &vertices[i];
        MatRotateVector(&viewMatrix, &v->normal, &v->viewNormal);
        v->envU = v->viewNormal.x * 0.5f + 0.5f;
        v->envV = v->viewNormal.y * 0.5f + 0.5f;
    }
}

// Fresh face normals, and each vertex normal the plain average of its faces' normals.
void SceneNode::UpdateNormals() {
    if (!(flags & FLAG_ADJACENCY)) return;
    for (int f = 0; f < faceCount; ++f) faces[f].ComputeFaceNormal();
    for (int i = 0; i < vertexCount; ++i) {
        NodeVertex* v = &vertices[i];
        if (v->adjacentCount <= 0) continue;
        Vec3 sum{0, 0, 0};
        for (int k = 0; k < v->adjacentCount; ++k) {
            sum.x += v->adjacentNormals[k]->x;
            sum.y += v->adjacentNormals[k]->y;
            sum.z += v->adjacentNormals[k]->z;
        }
        const float inv = 1.0f / static_cast<float>(v->adjacentCount);
        v->normal = {sum.x * inv, sum.y * inv, sum.z * inv};
    }
}

// Back-face test in camera space: the face is dropped when the triple product p.(q x r) of
// its corners is negative (the eye sees it from behind). Zero or NaN keeps the face.
void SceneNode::CollectFaces(Scene* scene) {
    for (int f = 0; f < faceCount; ++f) {
        NodeFace* face = &faces[f];
        if (flags & FLAG_CULL) {
            const Vec3& p = face->a->viewPos;
            const Vec3& q = face->b->viewPos;
            const Vec3& r = face->c->viewPos;
            if (p.z * (q.y * r.x - q.x * r.y) > p.x * (q.y * r.z - q.z * r.y) - p.y * (q.x * r.z - q.z * r.x))
                continue;
        }
        scene->Collect(face);
    }
}

// Clipping: Sutherland-Hodgman against each plane in turn, between two fixed buffers.
// A crossing point lies at t = |d(O) / (d(I) - d(O))| from the outside corner O towards
// the inside corner I; it keeps O's other attributes.
static void AppendCrossing(const NodeVertex& outside, const NodeVertex& inside, int plane,
                           NodeVertex* out) {
    *out = outside;
    const float dO = outside.clipDist[plane];
    const float t = std::fabs(dO / (inside.clipDist[plane] - dO));
    out->viewPos.x += t * (inside.viewPos.x - outside.viewPos.x);
    out->viewPos.y += t * (inside.viewPos.y - outside.viewPos.y);
    out->viewPos.z += t * (inside.viewPos.z - outside.viewPos.z);
    out->texU += t * (inside.texU - outside.texU);
    out->texV += t * (inside.texV - outside.texV);
    ProjectNodeVertex(out);
    ComputeVertexClipDistances(out);
}

static bool InsideAllPlanes(const NodeVertex* v) {
    for (int i = 0; i < kNumClipPlanes; ++i)
        if (!(v->clipDist[i] >= 0)) return false;
    return true;
}

void DrawFace(Renderer* renderer, const NodeFace* face, float fadeLevel) {
    // A face inside every plane comes out of the clipper unchanged: draw it directly.
    if (InsideAllPlanes(face->a) && InsideAllPlanes(face->b) && InsideAllPlanes(face->c)) {
        SubmitTriangle(renderer, face->a, face->b, face->c, fadeLevel);
        return;
    }
    NodeVertex buffers[2][kClipBufferCapacity];
    NodeVertex* in = buffers[0];
    NodeVertex* out = buffers[1];
    in[0] = *face->a;
    in[1] = *face->b;
    in[2] = *face->c;
    int n = 3;
    for (int plane = 0; plane < kNumClipPlanes; ++plane) {
        // A convex polygon gains at most one corner per plane (8 at most after five planes);
        // the bound only guards against corners made inconsistent by rounding.
        int m = 0;
        for (int k = 0; k < n && m + 2 <= kClipBufferCapacity; ++k) {
            const int j = (k + 1 == n) ? 0 : k + 1;
            const bool kInside = in[k].clipDist[plane] >= 0;
            const bool jInside = in[j].clipDist[plane] >= 0;
            if (kInside) out[m++] = in[k];
            if (jInside && !kInside) AppendCrossing(in[k], in[j], plane, &out[m++]);
            if (!jInside && kInside) AppendCrossing(in[j], in[k], plane, &out[m++]);
        }
        NodeVertex* swap = in;
        in = out;
        out = swap;
        n = m;
    }
    for (int k = 3; k <= n; ++k) SubmitTriangle(renderer, &in[0], &in[k - 2], &in[k - 1], fadeLevel);
}

static void FillScreenVertex(const NodeVertex* v, float fadeLevel, ScreenVertex* out) {
    out->z = (v->depth > kMinDivisionDepth ? v->depth : kMinDivisionDepth);
    out->screenX = v->screenX;
    out->screenY = v->screenY;
    out->red = out->green = out->blue = fadeLevel;
    out->s0 = v->texU;
    out->t0 = v->texV;
    out->s1 = v->envU;
    out->t1 = v->envV;
}

void SubmitTriangle(Renderer* renderer, const NodeVertex* a, const NodeVertex* b,
                    const NodeVertex* c, float fadeLevel) {
    ScreenVertex corners[3] = {};
    FillScreenVertex(a, fadeLevel, &corners[0]);
    FillScreenVertex(b, fadeLevel, &corners[1]);
    FillScreenVertex(c, fadeLevel, &corners[2]);
    renderer->DrawTriangleMultitex(&corners[0], &corners[1], &corners[2]);
}
