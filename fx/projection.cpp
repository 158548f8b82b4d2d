// Vertex projection: camera-space transform of a mesh's positions, outcodes against the
// normalised view volume and perspective projection to screen coordinates.
#include "fx/fx.h"

float clipCentreX = 0.0f, clipCentreY = 0.0f, clipScaleX = 0.0f, clipScaleY = 0.0f;

void SetClipProjection(float centreX, float centreY, float scaleX, float scaleY) {
    clipCentreX = centreX;
    clipCentreY = centreY;
    clipScaleX = scaleX;
    clipScaleY = scaleY;
}

void TransformVertices(VertexBuffer* buffer, const Matrix44* m) {
    const float* M = m->m;
    const Vec3* positions = buffer->positions.data();
    ScreenVertex* vertices = buffer->vertices.data();
    for (int32_t i = 0; i < buffer->count; ++i) {
        const Vec3& p = positions[i];
        ScreenVertex& v = vertices[i];
        v.x = M[0] * p.x + M[1] * p.y + M[2] * p.z + M[3];
        v.y = M[4] * p.x + M[5] * p.y + M[6] * p.z + M[7];
        v.z = M[8] * p.x + M[9] * p.y + M[10] * p.z + M[11];
    }
}

// Outcode pair of one axis (a = x or y) against the planes a = z and a = -z.
// In front of the eye a point on a plane counts as outside it. Behind the eye the point is
// outside the plane on its own side of the axis, and also outside the other one when it
// lies beyond it (the planes cross at the eye, so behind it their sides swap).
static int32_t AxisOutcode(float a, float z, int32_t pos, int32_t neg) {
    if (z > 0.0f) {
        int32_t flags = 0;
        if (a > 0.0f && a >= z) flags |= pos;
        if (a <= 0.0f && -a >= z) flags |= neg;
        return flags;
    }
    if (a >= 0.0f) return a < -z ? (pos | neg) : pos;
    return a > z ? (neg | pos) : neg;
}

void ClassifyVertex(ScreenVertex* vertex) {
    const float z = vertex->z;
    int32_t flags = z > kFarLimit ? CLIP_FAR : 0;
    if (!(z > 0.0f)) flags |= CLIP_BEHIND;
    flags |= AxisOutcode(vertex->x, z, CLIP_POS_X, CLIP_NEG_X);
    flags |= AxisOutcode(vertex->y, z, CLIP_POS_Y, CLIP_NEG_Y);
    vertex->clipFlags = flags;
}

// One pass: outcodes, then screen = half size * (x, -y) / z. A vertex at z = 0 gets
// non-finite screen coordinates, but it is flagged and the clipper re-projects it.
void ProjectVertices(VertexBuffer* buffer, const EffectCamera* camera) {
    const float halfWidth = camera->halfWidth, halfHeight = camera->halfHeight;
    ScreenVertex* vertices = buffer->vertices.data();
    for (int32_t i = 0; i < buffer->count; ++i) {
        ScreenVertex& v = vertices[i];
        ClassifyVertex(&v);
        const float k = 1.0f / v.z;
        v.screenX = halfWidth * v.x * k;
        v.screenY = -(k * halfHeight * v.y);
    }
}

static void ProjectClippedOne(ScreenVertex* v) {
    const float k = 1.0f / v->z;
    v->screenX = clipScaleX * v->x * k + clipCentreX;
    v->screenY = clipCentreY - k * (clipScaleY * v->y);
}

void ProjectClipped(ScreenVertex* a, ScreenVertex* b, ScreenVertex* c) {
    ProjectClippedOne(a);
    ProjectClippedOne(b);
    ProjectClippedOne(c);
}
