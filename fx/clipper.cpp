// Clipped drawing: draws a face list in order, cutting faces that carry outcodes against
// the side planes x = z, x = -z, y = z, y = -z with a recursive clipper whose new
// vertices live on its own stack.
#include "fx/fx.h"

namespace {

// The renderer's triangle operation a flavour draws with (single or two texture units).
using TriangleOp = void (Renderer::*)(const ScreenVertex*, const ScreenVertex*,
                                      const ScreenVertex*);

constexpr float kTiny = 1e-6f;  // stands in for a zero coordinate difference

// Signed distance-like value of v to a side plane: >= 0 on the outside (in front of the eye).
float PlaneValue(const ScreenVertex* v, int32_t plane) {
    switch (plane) {
        case CLIP_POS_X: return v->x - v->z;
        case CLIP_NEG_X: return -v->x - v->z;
        case CLIP_POS_Y: return v->y - v->z;
        default: return -v->y - v->z;
    }
}

// The point where edge From-To crosses the plane, with every attribute interpolated.
// The crossing depth e solves the edge's line z = m.a + (To.z - m.To.a), m = dz/da, with the
// plane a = +-z; a zero da is replaced by 1e-6. The attributes use the edge parameter
// t = dFrom / (dFrom - dTo) of the plane values: it is the same crossing point, and unlike
// t = (p.z - From.z) / dz it stays exact on edges of (nearly) constant depth.
void ClipEdge(const ScreenVertex* from, const ScreenVertex* to, int32_t plane, ScreenVertex* p) {
    const bool alongX = plane == CLIP_POS_X || plane == CLIP_NEG_X;
    const float fromA = alongX ? from->x : from->y;
    const float toA = alongX ? to->x : to->y;
    float da = toA - fromA;
    if (da == 0.0f) da = kTiny;
    const float m = (to->z - from->z) / da;
    const bool positive = plane == CLIP_POS_X || plane == CLIP_POS_Y;
    const float e = positive ? (to->z - m * toA) / (1.0f - m) : (to->z - m * toA) / (m + 1.0f);
    const float onPlane = positive ? e : -e;

    const float dFrom = PlaneValue(from, plane), dTo = PlaneValue(to, plane);
    const float denominator = dFrom - dTo;
    const float t = denominator != 0.0f ? dFrom / denominator : 0.0f;
    auto lerp = [t](float f0, float f1) { return f0 + t * (f1 - f0); };

    p->z = e;
    if (alongX) {
        p->x = onPlane;
        p->y = lerp(from->y, to->y);
    } else {
        p->y = onPlane;
        p->x = lerp(from->x, to->x);
    }
    p->red = lerp(from->red, to->red);
    p->green = lerp(from->green, to->green);
    p->blue = lerp(from->blue, to->blue);
    p->alpha = lerp(from->alpha, to->alpha);
    p->s0 = lerp(from->s0, to->s0);
    p->t0 = lerp(from->t0, to->t0);
    p->s1 = lerp(from->s1, to->s1);
    p->t1 = lerp(from->t1, to->t1);
    p->screenX = p->screenY = 0.0f;
    ClassifyVertex(p);
}

template <TriangleOp Draw>
void ClipDrawTriangle(Renderer* renderer, ScreenVertex* a, ScreenVertex* b, ScreenVertex* c,
                      int32_t plane);

// Two corners outside: the piece kept is the corner inside and the two crossings.
template <TriangleOp Draw>
void ClipTwoOutside(Renderer* renderer, ScreenVertex* in, ScreenVertex* out1,
                    ScreenVertex* out2, int32_t plane) {
    ScreenVertex p, q;
    ClipEdge(in, out1, plane, &p);
    ClipEdge(in, out2, plane, &q);
    ClipDrawTriangle<Draw>(renderer, in, &p, &q, plane * 2);
}

// One corner outside: the quad left is cut into (p, b, c) and (p, b, q), p on Out-c and
// q on Out-b.
template <TriangleOp Draw>
void ClipOneOutside(Renderer* renderer, ScreenVertex* out, ScreenVertex* b, ScreenVertex* c,
                    int32_t plane) {
    ScreenVertex p, q;
    ClipEdge(out, c, plane, &p);
    ClipDrawTriangle<Draw>(renderer, &p, b, c, plane * 2);
    ClipEdge(out, b, plane, &q);
    ClipDrawTriangle<Draw>(renderer, &p, b, &q, plane * 2);
}

// Clips (a, b, c) against plane and the planes after it (1, 2, 4, 8 in turn), drawing the
// pieces inside all four. Drawn corners get screen coordinates from the clip projection;
// that includes the caller's own vertices.
template <TriangleOp Draw>
void ClipDrawTriangle(Renderer* renderer, ScreenVertex* a, ScreenVertex* b, ScreenVertex* c,
                      int32_t plane) {
    if (plane == CLIP_BEHIND) {
        ProjectClipped(a, b, c);
        (renderer->*Draw)(a, b, c);
        return;
    }
    const bool aOut = (a->clipFlags & plane) != 0;
    const bool bOut = (b->clipFlags & plane) != 0;
    const bool cOut = (c->clipFlags & plane) != 0;
    if (aOut && bOut && cOut) return;
    if (!aOut && !bOut && !cOut) {
        if (plane == CLIP_NEG_Y) {
            ProjectClipped(a, b, c);
            (renderer->*Draw)(a, b, c);
        } else {
            ClipDrawTriangle<Draw>(renderer, a, b, c, plane * 2);
        }
        return;
    }
    if (aOut && bOut) ClipTwoOutside<Draw>(renderer, c, a, b, plane);
    else if (bOut && cOut) ClipTwoOutside<Draw>(renderer, a, b, c, plane);
    else if (aOut && cOut) ClipTwoOutside<Draw>(renderer, b, a, c, plane);
    else if (aOut) ClipOneOutside<Draw>(renderer, a, b, c, plane);
    else if (bOut) ClipOneOutside<Draw>(renderer, b, c, a, plane);
    else ClipOneOutside<Draw>(renderer, c, a, b, plane);
}

// Faces without outcodes go straight to the renderer with the screen coordinates
// ProjectVertices stored; the others through the clipper.
template <TriangleOp Draw>
void DrawFaces(Renderer* renderer, const FaceRef* refs, int count) {
    for (int i = 0; i < count; ++i) {
        MeshFace* f = refs[i].face;
        if ((f->a->clipFlags | f->b->clipFlags | f->c->clipFlags) == 0)
            (renderer->*Draw)(f->a, f->b, f->c);
        else
            ClipDrawTriangle<Draw>(renderer, f->a, f->b, f->c, CLIP_POS_X);
    }
}

}  // namespace

void DrawFaceRefs(Renderer* renderer, const FaceRef* refs, int count) {
    DrawFaces<&Renderer::DrawTriangle>(renderer, refs, count);
}

void DrawFaceRefsMultitex(Renderer* renderer, const FaceRef* refs, int count) {
    DrawFaces<&Renderer::DrawTriangleMultitex>(renderer, refs, count);
}
