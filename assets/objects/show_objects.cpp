// The show's objects: every 3DS file and named object, sized and placed for the camera
// that views it (positions in mesh space, y up; see objects.h).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "assets/objects/objects.h"

namespace {

constexpr float kPi = 3.14159265f;

ObjectMesh NewObject(const char* name, const char* material) {
    ObjectMesh mesh;
    mesh.name = name;
    mesh.material = material;
    return mesh;
}

// Closed lathed body about axis (unit) through base, from a (radius, height) profile that
// starts and ends on the axis; faces outward whichever way the profile runs.
void AddBody(ObjectMesh* mesh, Vec3 base, Vec3 axis, const std::vector<Point2>& profile, int slices) {
    size_t first = mesh->faces.size();
    AddLathe(mesh, profile, base, axis, slices, true);
    OrientClosedPart(mesh, first);
}

// Sphere profile of radius r centred at height h, rings bands from bottom to top pole.
std::vector<Point2> SphereProfile(float r, float h, int rings) {
    std::vector<Point2> profile;
    for (int i = 0; i <= rings; ++i) {
        float phi = -0.5f * kPi + kPi * static_cast<float>(i) / static_cast<float>(rings);
        float radius = (i == 0 || i == rings) ? 0.0f : r * std::cos(phi);
        profile.push_back({radius, h + r * std::sin(phi)});
    }
    return profile;
}

// Closed cylinder of radius r from height h0 to h1 along its axis.
std::vector<Point2> CylinderProfile(float r, float h0, float h1) {
    return {{0, h0}, {r, h0}, {r, h1}, {0, h1}};
}

// ---- Title: "purple.3ds" ------------------------------------------------------------
// The title camera sits about 250 units in front (-z) with roll 180, so screen right is
// mesh -x and screen up is mesh +y. Both words stand above y = 0, clear of the word line
// drawn below the screen centre. Depth test is off and faces go in file order, so each
// word is a slab written back cap, walls, front cap.

// The flat half shows walls and caps in one colour, so its slab is thin enough that the
// perspective of its walls does not close the counters of the letters.
constexpr float kTitleWidth = 250.0f;     // each word's width, units
constexpr float kTitleHalfSpan = 130.0f;  // x where the front face's bow reaches zero

// One word as an extruded slab of the given thickness, centred on x = 0 with its baseline
// at height baseline; the front face bows towards the camera by bulge at the centre.
ObjectMesh TitleWord(const char* fontPath, const char* name, const char* text, float baseline,
                     float thickness, float bulge) {
    float advance = 0.0f;
    std::vector<Contour> outline = TextOutline(fontPath, text, &advance);
    const float scale = kTitleWidth / advance;
    // Glyph x runs towards screen right, i.e. mesh -x. The front face (depth 0) is bowed
    // along x so that its smooth normals sweep the environment map across the word.
    PlaceFn place = [=](Point2 p, float depth) {
        float x = -(p.x - 0.5f * advance) * scale;
        float bow = 1.0f - (x / kTitleHalfSpan) * (x / kTitleHalfSpan);
        float front = -0.5f * thickness - bulge * bow;
        return Vec3{x, baseline + p.y * scale, front + depth * (0.5f * thickness - front)};
    };
    ObjectMesh mesh = NewObject(name, "LOGO");
    AddExtrusion(&mesh, outline, place, {0, 0, -1});
    return mesh;
}

SceneFile TitleFile(const char* fontPath) {
    SceneFile file{"purple.3ds", {{"LOGO", 240, 190, 10}}, {}};
    file.objects.push_back(TitleWord(fontPath, "Text01", "FUNK", 4.0f, 12.0f, 18.0f));
    file.objects.push_back(TitleWord(fontPath, "Text02", "ORANGE", 76.0f, 4.0f, 0.0f));
    return file;
}

// ---- Morphing ball: "ball2116.3ds" -----------------------------------------------------
// Seen from 450 units above; radius 120 keeps the ball on screen up to a morph factor of
// 1.6. 46 slices by 24 bands give 2116 faces; the seam is shared for smooth normals.

SceneFile BallFile() {
    ObjectMesh mesh = NewObject("Object01", "CHROME");
    AddLathe(&mesh, SphereProfile(120.0f, 0.0f, 24), {0, 0, 0}, {0, 1, 0}, 46, true);
    return {"ball2116.3ds", {{"CHROME", 200, 200, 210}}, {mesh}};
}

// ---- Striped cone: "striber.3ds" -------------------------------------------------------
// A cone along +z around the axis x = y = 1 that the cone camera (within 64 units of the
// axis, near z = 32, looking along +z) sits inside: every forward view ray meets the wall.
// Drawn unsorted without depth test: faces go from the apex back to the mouth, so nearer
// rings paint over farther ones.

SceneFile ConeFile() {
    constexpr float kMouthZ = -150.0f, kApexZ = 650.0f, kMouthRadius = 320.0f;
    constexpr int kBands = 40, kSlices = 48;
    std::vector<Point2> profile;
    for (int i = 0; i <= kBands; ++i) {
        float f = static_cast<float>(i) / kBands;
        profile.push_back({i == kBands ? 0.0f : kMouthRadius * (1.0f - f), kMouthZ + f * (kApexZ - kMouthZ)});
    }
    ObjectMesh mesh = NewObject("Cone01", "STRIPES");
    AddLathe(&mesh, profile, {1, 1, 0}, {0, 0, 1}, kSlices, false);
    std::reverse(mesh.faces.begin(), mesh.faces.end());  // apex end first
    // The stripe texture's rows run along the cone: s follows the axis (3 repeats from
    // mouth to apex), t goes around (4 repeats), so its bands become lines to the apex.
    for (MapPair& uv : mesh.mapping) uv = {3.0f * uv.t, 4.0f * uv.s};
    return {"striber.3ds", {{"STRIPES", 250, 250, 250}}, {mesh}};
}

// ---- Spiral: "spiral.3ds" --------------------------------------------------------------
// A ribbon wound outward in the plane z = 0, facing the camera at z = 100 (fov 61,
// aspect 1.2: about 59 by 49 units visible each side of the centre).

SceneFile SpiralFile() {
    constexpr float kTurns = 3.0f, kInner = 4.0f, kOuter = 60.0f;
    constexpr int kSteps = 360;
    ObjectMesh mesh = NewObject("Shape1", "WHITE");
    for (int i = 0; i <= kSteps; ++i) {
        float f = static_cast<float>(i) / kSteps;
        float angle = 2.0f * kPi * kTurns * f;
        float radius = kInner + (kOuter - kInner) * f;
        float halfWidth = 0.5f + 5.5f * f;
        float c = std::cos(angle), s = std::sin(angle);
        AddVertex(&mesh, {c * (radius - halfWidth), s * (radius - halfWidth), 0}, {f, 0});
        AddVertex(&mesh, {c * (radius + halfWidth), s * (radius + halfWidth), 0}, {f, 1});
        if (i > 0) {
            uint16_t k = static_cast<uint16_t>(2 * i);
            AddTriangleFacing(&mesh, k - 2, k - 1, k + 1, {0, 0, 1});
            AddTriangleFacing(&mesh, k - 2, k + 1, k, {0, 0, 1});
        }
    }
    return {"spiral.3ds", {{"WHITE", 255, 255, 255}}, {mesh}};
}

// ---- Toy scene: "toyscene.3ds" ---------------------------------------------------------
// Around the camera target (1, 0, 51), seen from -z at 100 to 250 units with roll 180
// (mesh -x is screen right). The figure is drawn black on the show's black clear colour,
// so it stands in front of a large toy block and shows as a silhouette against the block's
// circles; its white glasses show anywhere. Ground level y = -45; the figure faces -z.

constexpr float kGround = -45.0f;
constexpr Vec3 kDude{1.0f, kGround, 28.0f};  // the figure's feet, centre
constexpr float kHeadY = 36.0f, kHeadRadius = 13.0f;

ObjectMesh ToyBox() {
    ObjectMesh mesh = NewObject("Box05", "CIRCLES");
    AddBox(&mesh, {-60.0f, kGround, 48.0f}, {62.0f, 65.0f, 100.0f});
    return mesh;
}

ObjectMesh Dude() {
    ObjectMesh mesh = NewObject("dude", "BLACK");
    const Vec3 up{0, 1, 0};
    for (float side : {-1.0f, 1.0f}) {
        // Leg, foot pointing forward (-z), arm hanging slightly outward, hand.
        AddBody(&mesh, {kDude.x + side * 7.0f, 0, kDude.z}, up, CylinderProfile(5.5f, kGround + 4.0f, -6.0f), 16);
        AddBox(&mesh, {kDude.x + side * 7.0f - 5.0f, kGround, kDude.z - 11.0f},
               {kDude.x + side * 7.0f + 5.0f, kGround + 5.0f, kDude.z + 5.0f});
        Vec3 shoulder{kDude.x + side * 15.0f, 18.0f, kDude.z};
        Vec3 hand{kDude.x + side * 23.0f, -8.0f, kDude.z - 2.0f};
        Vec3 d{hand.x - shoulder.x, hand.y - shoulder.y, hand.z - shoulder.z};
        float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
        AddBody(&mesh, shoulder, {d.x / length, d.y / length, d.z / length}, CylinderProfile(4.0f, 0.0f, length), 12);
        AddBody(&mesh, {hand.x, 0, hand.z}, up, SphereProfile(5.0f, hand.y, 8), 12);
    }
    // Torso: a rounded barrel from the hips to the shoulders.
    std::vector<Point2> torso{{0, -10}, {10, -9}, {14, -4}, {15, 6}, {14, 16}, {10, 21}, {0, 23}};
    AddBody(&mesh, {kDude.x, 0, kDude.z}, up, torso, 20);
    AddBody(&mesh, {kDude.x, 0, kDude.z}, up, CylinderProfile(4.5f, 21.0f, 26.0f), 12);
    AddBody(&mesh, {kDude.x, 0, kDude.z}, up, SphereProfile(kHeadRadius, kHeadY, 14), 20);
    return mesh;
}

ObjectMesh Glasses() {
    ObjectMesh mesh = NewObject("briller", "GLASS");
    constexpr float kLensY = 38.0f, kLensRadius = 4.8f, kLensGap = 5.8f;
    constexpr float kLensZ = kDude.z - kHeadRadius - 1.0f;  // just in front of the face
    for (float side : {-1.0f, 1.0f}) {
        // Lens: a thin disc facing -z, just in front of the face.
        AddBody(&mesh, {kDude.x + side * kLensGap, kLensY, kLensZ - 0.8f}, {0, 0, 1},
                CylinderProfile(kLensRadius, 0.0f, 1.6f), 20);
        // Temple: from the lens rim back along the side of the head.
        float x0 = kDude.x + side * (kLensGap + kLensRadius - 0.5f);
        float x1 = kDude.x + side * (kHeadRadius + 0.6f);
        AddBox(&mesh, {std::fmin(x0, x1), kLensY - 0.6f, kLensZ - 0.5f},
               {std::fmax(x0, x1), kLensY + 0.6f, kLensZ + 0.5f});
        AddBox(&mesh, {x1 - 0.5f, kLensY - 0.6f, kLensZ}, {x1 + 0.5f, kLensY + 0.6f, kDude.z + 2.0f});
    }
    // Bridge between the lenses.
    AddBox(&mesh, {kDude.x - kLensGap + kLensRadius - 0.5f, kLensY + 0.2f, kLensZ - 0.5f},
           {kDude.x + kLensGap - kLensRadius + 0.5f, kLensY + 1.4f, kLensZ + 0.5f});
    return mesh;
}

// The scene above is modelled at toy size and enlarged about the camera target so that it
// fills a good part of the 91-degree view from the far camera paths.
SceneFile ToySceneFile() {
    constexpr Vec3 kTarget{1.0f, 0.0f, 51.0f};
    constexpr float kEnlarge = 1.7f;
    SceneFile file{"toyscene.3ds",
                   {{"CIRCLES", 230, 140, 30}, {"BLACK", 10, 10, 10}, {"GLASS", 255, 255, 255}},
                   {ToyBox(), Dude(), Glasses()}};
    for (ObjectMesh& mesh : file.objects)
        for (Vec3& p : mesh.positions)
            p = {kTarget.x + kEnlarge * (p.x - kTarget.x), kTarget.y + kEnlarge * (p.y - kTarget.y),
                 kTarget.z + kEnlarge * (p.z - kTarget.z)};
    return file;
}

// ---- Nested zoom: "toypush1.3ds" -------------------------------------------------------
// A flat five-pointed star in the plane z = 0 facing the camera on -z, point up. Its solid
// centre (inner radius 45) holds the next copy, ten times smaller, with room to spare.

SceneFile StarFile() {
    constexpr float kOuter = 100.0f, kInner = 45.0f;
    Contour star;
    for (int i = 0; i < 10; ++i) {
        float angle = kPi * static_cast<float>(i) / 5.0f;
        float r = (i % 2 == 0) ? kOuter : kInner;
        star.push_back({r * std::sin(angle), r * std::cos(angle)});
    }
    ObjectMesh mesh = NewObject("Shape1", "WHITE");
    AddFlatRegion(&mesh, {star}, [](Point2 p, float) { return Vec3{p.x, p.y, 0}; }, {0, 0, -1});
    return {"toypush1.3ds", {{"WHITE", 255, 255, 255}}, {mesh}};
}

// ---- Heart: "hjerte~1.3ds" -------------------------------------------------------------
// An upright pillow-shaped heart about 83 wide and 75 high, centred on the origin, for a
// camera circling at radius 120. Outline: x = 16 sin^3 a, y = 13 cos a - 5 cos 2a -
// 2 cos 3a - cos 4a (cusp at the top for a = 0); each band of latitude b shrinks the outline
// towards the centre by cos(b)^0.6 while z = depth sin(b), closing at a front and a back pole.

SceneFile HeartFile() {
    constexpr float kScale = 2.6f, kCentreY = -2.5f, kDepth = 20.0f;
    constexpr int kAround = 72, kBands = 26;
    ObjectMesh mesh = NewObject("Shape02", "HEART");
    auto shrink = [](int band) {
        float b = -0.5f * kPi + kPi * static_cast<float>(band) / kBands;
        return (band == 0 || band == kBands) ? 0.0f : std::pow(std::cos(b), 0.6f);
    };
    AddRingSurface(
        &mesh, kBands + 1, kAround, true, [&](int band) { return shrink(band) == 0.0f; },
        [&](int band, int j) {
            float b = -0.5f * kPi + kPi * static_cast<float>(band) / kBands;
            float a = 2.0f * kPi * static_cast<float>(j) / kAround;
            float hx = 16.0f * std::pow(std::sin(a), 3.0f);
            float hy = 13.0f * std::cos(a) - 5.0f * std::cos(2 * a) - 2.0f * std::cos(3 * a) - std::cos(4 * a);
            float k = shrink(band) * kScale;
            return Vec3{hx * k, (hy - kCentreY) * k, kDepth * std::sin(b)};
        });
    OrientClosedPart(&mesh, 0);
    return {"hjerte~1.3ds", {{"HEART", 230, 40, 60}}, {mesh}};
}

void CheckLimits(const SceneFile& file) {
    for (const ObjectMesh& mesh : file.objects) {
        if (mesh.positions.size() >= kMaxObjectVertices || mesh.faces.size() >= kMaxObjectFaces) {
            std::fprintf(stderr, "make_objects: %s \"%s\": %zu vertices, %zu faces exceed the limits\n",
                         file.fileName.c_str(), mesh.name.c_str(), mesh.positions.size(), mesh.faces.size());
            std::exit(1);
        }
    }
}

}  // namespace

std::vector<SceneFile> BuildShowObjects(const char* fontPath) {
    std::vector<SceneFile> files{SpiralFile(), BallFile(), ConeFile(), ToySceneFile(),
                                 StarFile(), TitleFile(fontPath), HeartFile()};
    for (const SceneFile& file : files) CheckLimits(file);
    return files;
}
