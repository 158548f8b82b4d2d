// The objects seen through the cameras of the parts that draw them: on screen, the right
// way up and round, clear of the overlays, and (for the cone) filling the view.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "fx/fx.h"
#include "import/import.h"
#include "tests/assets/objects/object_test_mesh.h"
#include "tests/support/test_paths.h"
#include "parts/parts.h"
#include "tools/part_view.h"

namespace {


void Load(TestMesh* mesh, const char* file, const char* object) {
    ImportQuietly(mesh, ShowDataDir() + "/" + file, object);
}


PartView TitleView(float t) {
    return {{30 * std::sin(t), 30 * std::sin(3 * t), 15 * std::cos(t) - 250}, {0, 0, 0}, 180, 61, 1};
}

// Pearson correlation of two sample sets.
float Correlation(const std::vector<float>& a, const std::vector<float>& b) {
    double ma = 0, mb = 0;
    for (size_t i = 0; i < a.size(); ++i) ma += a[i], mb += b[i];
    ma /= a.size(), mb /= b.size();
    double sab = 0, saa = 0, sbb = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        sab += (a[i] - ma) * (b[i] - mb);
        saa += (a[i] - ma) * (a[i] - ma);
        sbb += (b[i] - mb) * (b[i] - mb);
    }
    return static_cast<float>(sab / std::sqrt(saa * sbb));
}

TEST(ObjectViews, TitleIsOnScreenAboveTheWordLineAndReadsLeftToRightUpright) {
    for (const char* name : {"Text01", "Text02"}) {
        TestMesh mesh;
    Load(&mesh, "purple.3ds", name);
        ASSERT_GT(mesh.working->count, 0) << name;
        for (float t = 3.14f; t < 3.14f + 6.3f; t += 0.35f) {
            LookThrough(&mesh, TitleView(t));
            std::vector<float> s, tt, x, y;
            for (const ScreenVertex& v : mesh.working->vertices) {
                ASSERT_LT(std::fabs(v.screenX), 1.0f) << name << " off screen at T " << t;
                ASSERT_LT(v.screenY, 1.0f) << name << " off the top at T " << t;
                ASSERT_GT(v.screenY, -0.1f) << name << " reaches the word line at T " << t;
                s.push_back(v.s0), tt.push_back(v.t0), x.push_back(v.screenX), y.push_back(v.screenY);
            }
            // The mapping runs along the glyphs' own x (rightwards) and y (downwards).
            EXPECT_GT(Correlation(s, x), 0.9f) << name << " mirrored at T " << t;
            EXPECT_LT(Correlation(tt, y), -0.9f) << name << " upside down at T " << t;
        }
    }
}

TEST(ObjectViews, BallStaysOnScreenAtTheLargestMorph) {
    TestMesh mesh;
    Load(&mesh, "ball2116.3ds", "Object01");
    ASSERT_GT(mesh.working->count, 0);
    for (Vec3& p : mesh.working->positions) p = {p.x * 1.6f, p.y * 1.6f, p.z * 1.6f};
    for (float t = 3.14f; t < 3.14f + 6.3f; t += 0.2f) {
        LookThrough(&mesh, {{15 * std::sin(t), 15 * std::sin(3 * t) + 450, 15 * std::cos(t)}, {0, 0, 0}, 0, 61, 1});
        for (const ScreenVertex& v : mesh.working->vertices) {
            ASSERT_LT(std::fabs(v.screenX), 1.0f) << "T " << t;
            ASSERT_LT(std::fabs(v.screenY), 1.0f) << "T " << t;
        }
    }
}

// Ray from the camera-space origin along d against triangle (a, b, c) (Moller-Trumbore).
bool RayHits(Vec3 d, const ScreenVertex* a, const ScreenVertex* b, const ScreenVertex* c) {
    Vec3 e1{b->x - a->x, b->y - a->y, b->z - a->z}, e2{c->x - a->x, c->y - a->y, c->z - a->z};
    Vec3 p{d.y * e2.z - d.z * e2.y, d.z * e2.x - d.x * e2.z, d.x * e2.y - d.y * e2.x};
    float det = e1.x * p.x + e1.y * p.y + e1.z * p.z;
    if (std::fabs(det) < 1e-12f) return false;
    Vec3 s{-a->x, -a->y, -a->z};
    float u = (s.x * p.x + s.y * p.y + s.z * p.z) / det;
    if (u < 0 || u > 1) return false;
    Vec3 q{s.y * e1.z - s.z * e1.y, s.z * e1.x - s.x * e1.z, s.x * e1.y - s.y * e1.x};
    float v = (d.x * q.x + d.y * q.y + d.z * q.z) / det;
    if (v < 0 || u + v > 1) return false;
    return (e2.x * q.x + e2.y * q.y + e2.z * q.z) / det > 0;
}

TEST(ObjectViews, ConeFillsTheWholeViewOfItsSwingingCamera) {
    TestMesh mesh;
    Load(&mesh, "striber.3ds", "Cone01");
    ASSERT_GT(mesh.faceList->count, 0);
    for (float t = 3.14f; t < 3.14f + 6.3f; t += 0.5f) {
        LookThrough(&mesh, {{45 * std::sin(t) + 1, 45 * std::sin(3 * t) + 1, 5 * std::cos(t) + 32}, {1, 1, 100}, 180, 61, 1});
        for (float sy = -1; sy <= 1.01f; sy += 0.4f)
            for (float sx = -1; sx <= 1.01f; sx += 0.4f) {
                // Screen (sx, sy) is camera-space direction (sx, -sy, 1) after focal scaling.
                bool hit = false;
                for (const MeshFace& f : mesh.faceList->faces)
                    if ((hit = RayHits({sx, -sy, 1}, f.a, f.b, f.c))) break;
                EXPECT_TRUE(hit) << "background shows at screen (" << sx << ", " << sy << "), T " << t;
            }
    }
}

TEST(ObjectViews, ToySceneStaysInFrontOfEveryCameraPath) {
    const char* names[] = {"Box05", "dude", "briller"};
    for (const char* name : names) {
        TestMesh mesh;
    Load(&mesh, "toyscene.3ds", name);
        ASSERT_GT(mesh.working->count, 0) << name;
        for (float t = 0; t < 6.3f; t += 0.1f) {
            for (int path = 0; path < 4; ++path) {
                LookThrough(&mesh, {ToyCameraPosition(kToyFirstPathOrder + path, t), {1, 0, 51}, 180, 91, 1.2f});
                for (const ScreenVertex& v : mesh.working->vertices)
                    ASSERT_GT(v.z, 1.0f) << name << " reaches the camera at t " << t;
            }
        }
    }
}

TEST(ObjectViews, HeartIsUprightAndStaysOnScreenAroundTheOrbit) {
    TestMesh mesh;
    Load(&mesh, "hjerte~1.3ds", "Shape02");
    ASSERT_GT(mesh.working->count, 0);
    // Upright: the tip is the lowest point and sits on the centre line; the lobes (widest
    // points) are in the upper half.
    const Vec3* lowest = &mesh.working->positions[0];
    const Vec3* widest = lowest;
    for (const Vec3& p : mesh.working->positions) {
        if (p.y < lowest->y) lowest = &p;
        if (std::fabs(p.x) > std::fabs(widest->x)) widest = &p;
    }
    EXPECT_LT(std::fabs(lowest->x), 0.05f * std::fabs(widest->x));
    EXPECT_GT(widest->y, 0.0f);
    for (float t = 0; t < 6.3f; t += 0.2f) {
        LookThrough(&mesh, {{120 * std::sin(t + 0.42f), 10 * std::cos(t + 0.21f), 120 * std::cos(t + 0.42f)}, {1, 0, 1}, 180, 61, 1.2f});
        for (const ScreenVertex& v : mesh.working->vertices) {
            ASSERT_LT(std::fabs(v.screenX), 1.0f) << "T " << t;
            ASSERT_LT(std::fabs(v.screenY), 1.0f) << "T " << t;
        }
    }
}

// Point p inside triangle (a, b, c) of the x-y plane, either winding.
bool InsideXY(Vec3 p, Vec3 a, Vec3 b, Vec3 c) {
    auto side = [&](Vec3 u, Vec3 v) { return (v.x - u.x) * (p.y - u.y) - (v.y - u.y) * (p.x - u.x); };
    float d1 = side(a, b), d2 = side(b, c), d3 = side(c, a);
    return (d1 >= 0 && d2 >= 0 && d3 >= 0) || (d1 <= 0 && d2 <= 0 && d3 <= 0);
}

TEST(ObjectViews, ZoomShapeHasASolidCentreForTheNextCopy) {
    TestMesh mesh;
    Load(&mesh, "toypush1.3ds", "Shape1");
    ASSERT_GT(mesh.faceList->count, 0);
    float extent = 0;
    for (const Vec3& p : mesh.working->positions) extent = std::fmax(extent, std::hypot(p.x, p.y));
    // The next copy is ten times smaller and turned by any roll: a disc of 0.15 of the
    // extent around the centre must be covered.
    const std::vector<Vec3>& pos = mesh.working->positions;
    for (int k = 0; k < 36; ++k) {
        float a = 6.2831853f * k / 36;
        for (float r : {0.0f, 0.15f * extent}) {
            Vec3 p{r * std::cos(a), r * std::sin(a), 0};
            bool covered = false;
            for (const MeshFace& f : mesh.faceList->faces)
                covered = covered || InsideXY(p, pos[f.indexA], pos[f.indexB], pos[f.indexC]);
            EXPECT_TRUE(covered) << "uncovered at (" << p.x << ", " << p.y << ")";
        }
    }
}

}  // namespace
