// Outline extrusion: flat filled regions and slabs (back cap, walls, front cap) from contours.
#include <algorithm>

#include "assets/objects/objects.h"

namespace {

// Planar mapping over the contours' bounding box: s left to right, t top to bottom.
struct PlaneMapping {
    float x0, y1, invW, invH;
    explicit PlaneMapping(const std::vector<Contour>& contours) {
        float x1 = -1e30f, y0 = 1e30f;
        x0 = 1e30f;
        y1 = -1e30f;
        for (const Contour& c : contours)
            for (const Point2& p : c) {
                x0 = std::min(x0, p.x);
                x1 = std::max(x1, p.x);
                y0 = std::min(y0, p.y);
                y1 = std::max(y1, p.y);
            }
        invW = 1.0f / std::max(x1 - x0, 1e-6f);
        invH = 1.0f / std::max(y1 - y0, 1e-6f);
    }
    MapPair operator()(Point2 p) const { return {(p.x - x0) * invW, (y1 - p.y) * invH}; }
};

Vec3 Minus(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 Negated(Vec3 a) { return {-a.x, -a.y, -a.z}; }

void AddCap(ObjectMesh* mesh, const std::vector<Point2>& points, const std::vector<uint16_t>& triangles,
            const PlaneMapping& map, const PlaceFn& place, float depth, Vec3 outward) {
    uint16_t first = static_cast<uint16_t>(mesh->positions.size());
    for (const Point2& p : points) AddVertex(mesh, place(p, depth), map(p));
    for (size_t i = 0; i + 2 < triangles.size(); i += 3)
        AddTriangleFacing(mesh, first + triangles[i], first + triangles[i + 1], first + triangles[i + 2], outward);
}

}  // namespace

void AddFlatRegion(ObjectMesh* mesh, std::vector<Contour> contours, const PlaceFn& place, Vec3 outward) {
    OrientContours(&contours);
    std::vector<Point2> points;
    std::vector<uint16_t> triangles;
    TessellateContours(contours, &points, &triangles);
    AddCap(mesh, points, triangles, PlaneMapping(contours), place, 0.0f, outward);
}

void AddExtrusion(ObjectMesh* mesh, std::vector<Contour> contours, const PlaceFn& place, Vec3 frontOutward) {
    OrientContours(&contours);
    std::vector<Point2> points;
    std::vector<uint16_t> triangles;
    TessellateContours(contours, &points, &triangles);
    const PlaneMapping map(contours);

    AddCap(mesh, points, triangles, map, place, 1.0f, Negated(frontOutward));
    // Walls: with the filling on the left of every edge, outward is its right-hand side.
    for (const Contour& c : contours) {
        for (size_t i = 0; i < c.size(); ++i) {
            Point2 p = c[i], q = c[(i + 1) % c.size()];
            Point2 mid{(p.x + q.x) * 0.5f, (p.y + q.y) * 0.5f};
            Point2 right{mid.x + (q.y - p.y) * 0.01f, mid.y - (q.x - p.x) * 0.01f};
            Vec3 outward = Minus(place(right, 0.5f), place(mid, 0.5f));
            uint16_t pf = AddVertex(mesh, place(p, 0.0f), map(p));
            uint16_t qf = AddVertex(mesh, place(q, 0.0f), map(q));
            uint16_t qb = AddVertex(mesh, place(q, 1.0f), map(q));
            uint16_t pb = AddVertex(mesh, place(p, 1.0f), map(p));
            AddTriangleFacing(mesh, pf, qf, qb, outward);
            AddTriangleFacing(mesh, pf, qb, pb, outward);
        }
    }
    AddCap(mesh, points, triangles, map, place, 0.0f, frontOutward);
}
