// Contour triangulation: plain triangles from closed outlines through the GLU tessellator.
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "assets/objects/objects.h"

namespace {

// Twice the area below which a triangle counts as a sliver, in squared contour units: far
// below any real triangle of text in em units (a glyph spans about 1) or of larger shapes.
constexpr double kSliverArea2 = 1e-9;

struct TessState {
    std::vector<Point2>* points;
    std::vector<uint16_t>* triangles;
};

// Vertex data carries the point number plus one, so that no vertex is a null pointer.
void* PointData(size_t index) { return reinterpret_cast<void*>(static_cast<uintptr_t>(index + 1)); }
size_t PointIndex(void* data) { return static_cast<size_t>(reinterpret_cast<uintptr_t>(data)) - 1; }

void GLAPIENTRY OnBegin(GLenum) {}
void GLAPIENTRY OnEnd() {}
// Registering an edge-flag callback makes the tessellator emit GL_TRIANGLES only.
void GLAPIENTRY OnEdgeFlag(GLboolean) {}

void GLAPIENTRY OnVertex(void* vertex, void* polygon) {
    static_cast<TessState*>(polygon)->triangles->push_back(static_cast<uint16_t>(PointIndex(vertex)));
}

// Where outlines cross the tessellator needs a new point.
void GLAPIENTRY OnCombine(GLdouble coords[3], void*[4], GLfloat[4], void** out, void* polygon) {
    std::vector<Point2>* points = static_cast<TessState*>(polygon)->points;
    points->push_back({static_cast<float>(coords[0]), static_cast<float>(coords[1])});
    *out = PointData(points->size() - 1);
}

void GLAPIENTRY OnError(GLenum code) {
    std::fprintf(stderr, "make_objects: GLU tessellator: %s\n", gluErrorString(code));
    std::exit(1);
}

float SignedArea(const Contour& c) {
    double sum = 0.0;
    for (size_t i = 0; i < c.size(); ++i) {
        const Point2& p = c[i];
        const Point2& q = c[(i + 1) % c.size()];
        sum += static_cast<double>(p.x) * q.y - static_cast<double>(q.x) * p.y;
    }
    return static_cast<float>(sum * 0.5);
}

// Even-odd crossing test of point p against contour c.
bool Inside(const Contour& c, Point2 p) {
    bool inside = false;
    for (size_t i = 0, j = c.size() - 1; i < c.size(); j = i++) {
        if ((c[i].y > p.y) != (c[j].y > p.y) &&
            p.x < (c[j].x - c[i].x) * (p.y - c[i].y) / (c[j].y - c[i].y) + c[i].x)
            inside = !inside;
    }
    return inside;
}

}  // namespace

void OrientContours(std::vector<Contour>* contours) {
    for (size_t i = 0; i < contours->size(); ++i) {
        Contour& c = (*contours)[i];
        int depth = 0;
        for (size_t j = 0; j < contours->size(); ++j)
            if (j != i && Inside((*contours)[j], c[0])) ++depth;
        // Outer outlines counter-clockwise, holes clockwise: the filling is on the left.
        bool wantCounterClockwise = depth % 2 == 0;
        if ((SignedArea(c) > 0.0f) != wantCounterClockwise) std::reverse(c.begin(), c.end());
    }
}

void TessellateContours(const std::vector<Contour>& contours, std::vector<Point2>* points,
                        std::vector<uint16_t>* triangles) {
    points->clear();
    triangles->clear();
    for (const Contour& c : contours) points->insert(points->end(), c.begin(), c.end());
    // The tessellator keeps pointers to the coordinates until the polygon ends.
    std::vector<GLdouble> coords;
    coords.reserve(points->size() * 3);
    for (const Point2& p : *points) coords.insert(coords.end(), {p.x, p.y, 0.0});

    GLUtesselator* tess = gluNewTess();
    if (!tess) {
        std::fprintf(stderr, "make_objects: gluNewTess failed\n");
        std::exit(1);
    }
    using Callback = void(GLAPIENTRY*)();
    gluTessCallback(tess, GLU_TESS_BEGIN, reinterpret_cast<Callback>(OnBegin));
    gluTessCallback(tess, GLU_TESS_END, reinterpret_cast<Callback>(OnEnd));
    gluTessCallback(tess, GLU_TESS_EDGE_FLAG, reinterpret_cast<Callback>(OnEdgeFlag));
    gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<Callback>(OnVertex));
    gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<Callback>(OnCombine));
    gluTessCallback(tess, GLU_TESS_ERROR, reinterpret_cast<Callback>(OnError));
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_ODD);
    gluTessNormal(tess, 0.0, 0.0, 1.0);

    TessState state{points, triangles};
    gluTessBeginPolygon(tess, &state);
    size_t next = 0;
    for (const Contour& c : contours) {
        gluTessBeginContour(tess);
        for (size_t i = 0; i < c.size(); ++i, ++next)
            gluTessVertex(tess, &coords[next * 3], PointData(next));
        gluTessEndContour(tess);
    }
    gluTessEndPolygon(tess);
    gluDeleteTess(tess);

    // Counter-clockwise in the plane whatever order the tessellator chose. Slivers through
    // collinear outline points have no area and no normal: they are dropped.
    std::vector<uint16_t> kept;
    for (size_t i = 0; i + 2 < triangles->size(); i += 3) {
        uint16_t ia = (*triangles)[i], ib = (*triangles)[i + 1], ic = (*triangles)[i + 2];
        const Point2 &a = (*points)[ia], &b = (*points)[ib], &c = (*points)[ic];
        double area2 = (static_cast<double>(b.x) - a.x) * (static_cast<double>(c.y) - a.y) -
                       (static_cast<double>(b.y) - a.y) * (static_cast<double>(c.x) - a.x);
        if (std::fabs(area2) <= kSliverArea2) continue;
        kept.insert(kept.end(), {ia, area2 > 0 ? ib : ic, area2 > 0 ? ic : ib});
    }
    triangles->swap(kept);
}
