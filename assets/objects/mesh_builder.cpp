// Shape builders: vertices, outward-facing triangles, lathed bodies and boxes.
#include <cmath>

#include "assets/objects/objects.h"

namespace {

Vec3 Sub(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 Add(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 Mul(Vec3 a, float k) { return {a.x * k, a.y * k, a.z * k}; }
float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 Cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec3 Unit(Vec3 a) { return Mul(a, 1.0f / std::sqrt(Dot(a, a))); }

}  // namespace

uint16_t AddVertex(ObjectMesh* mesh, Vec3 p, MapPair uv) {
    mesh->positions.push_back(p);
    mesh->mapping.push_back(uv);
    return static_cast<uint16_t>(mesh->positions.size() - 1);
}

void AddTriangleFacing(ObjectMesh* mesh, uint16_t a, uint16_t b, uint16_t c, Vec3 outward) {
    const std::vector<Vec3>& p = mesh->positions;
    Vec3 n = Cross(Sub(p[b], p[a]), Sub(p[c], p[a]));
    if (Dot(n, outward) < 0.0f)
        mesh->faces.push_back({a, c, b});
    else
        mesh->faces.push_back({a, b, c});
}

void OrientClosedPart(ObjectMesh* mesh, size_t firstFace) {
    // Six times the enclosed volume: sum of the tetrahedra (origin, a, b, c).
    double volume = 0.0;
    for (size_t i = firstFace; i < mesh->faces.size(); ++i) {
        const Triangle& f = mesh->faces[i];
        volume += Dot(mesh->positions[f.a], Cross(mesh->positions[f.b], mesh->positions[f.c]));
    }
    if (volume >= 0.0) return;
    for (size_t i = firstFace; i < mesh->faces.size(); ++i) std::swap(mesh->faces[i].b, mesh->faces[i].c);
}

void AddRingSurface(ObjectMesh* mesh, int rings, int slices, bool sharedSeam, const PoleFn& pole,
                    const RingPointFn& point) {
    const int columns = sharedSeam ? slices : slices + 1;
    std::vector<uint16_t> ringStart(rings);
    for (int i = 0; i < rings; ++i) {
        float t = static_cast<float>(i) / static_cast<float>(rings - 1);
        ringStart[i] = static_cast<uint16_t>(mesh->positions.size());
        if (pole(i)) {
            AddVertex(mesh, point(i, 0), {0.5f, t});
            continue;
        }
        for (int j = 0; j < columns; ++j)
            AddVertex(mesh, point(i, j), {static_cast<float>(j) / static_cast<float>(slices), t});
    }
    auto index = [&](int ring, int j) -> uint16_t {
        if (pole(ring)) return ringStart[ring];
        if (sharedSeam && j == slices) j = 0;
        return static_cast<uint16_t>(ringStart[ring] + j);
    };
    // Quad (i, j), (i, j + 1), (i + 1, j + 1), (i + 1, j) as two triangles; one collapses
    // where a ring is a pole.
    for (int i = 0; i + 1 < rings; ++i) {
        for (int j = 0; j < slices; ++j) {
            uint16_t a = index(i, j), b = index(i, j + 1), c = index(i + 1, j + 1), d = index(i + 1, j);
            if (a != b) mesh->faces.push_back({a, b, c});
            if (c != d) mesh->faces.push_back({a, c, d});
        }
    }
}

void AddLathe(ObjectMesh* mesh, const std::vector<Point2>& profile, Vec3 origin, Vec3 axis,
              int slices, bool sharedSeam) {
    // Right-handed frame (u, v, axis): angle runs from u towards v.
    Vec3 helper = std::fabs(axis.y) < 0.9f ? Vec3{0, 1, 0} : Vec3{1, 0, 0};
    Vec3 u = Unit(Cross(helper, axis));
    Vec3 v = Cross(axis, u);
    AddRingSurface(
        mesh, static_cast<int>(profile.size()), slices, sharedSeam, [&](int i) { return profile[i].x == 0.0f; },
        [&](int i, int j) {
            float angle = 6.2831853f * static_cast<float>(j) / static_cast<float>(slices);
            Vec3 radial = Add(Mul(u, std::cos(angle)), Mul(v, std::sin(angle)));
            return Add(Add(origin, Mul(axis, profile[i].y)), Mul(radial, profile[i].x));
        });
}

void AddBox(ObjectMesh* mesh, Vec3 lo, Vec3 hi) {
    // Each side: outward normal and its four corners in order around it.
    const Vec3 c[8] = {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {lo.x, hi.y, lo.z},
                       {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}};
    struct Side {
        Vec3 normal;
        int corner[4];
    };
    const Side sides[6] = {{{0, 0, -1}, {0, 1, 2, 3}}, {{0, 0, 1}, {5, 4, 7, 6}},
                           {{-1, 0, 0}, {4, 0, 3, 7}}, {{1, 0, 0}, {1, 5, 6, 2}},
                           {{0, -1, 0}, {4, 5, 1, 0}}, {{0, 1, 0}, {3, 2, 6, 7}}};
    const MapPair uv[4] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
    for (const Side& side : sides) {
        uint16_t k[4];
        for (int i = 0; i < 4; ++i) k[i] = AddVertex(mesh, c[side.corner[i]], uv[i]);
        AddTriangleFacing(mesh, k[0], k[1], k[2], side.normal);
        AddTriangleFacing(mesh, k[0], k[2], k[3], side.normal);
    }
}
