// Object generator: shared records of the build-time 3DS writer and its shape builders.
//
// Geometry is authored in the show's mesh space (y up, as ImportObject delivers it) and
// converted on writing: mesh (x, y, z) is stored as file (X, Y, Z) = (-x, z, y), mesh
// mapping (s, t) as file (u, v) = (s, -t). The conversion is a rotation, so a face that is
// counter-clockwise seen from outside in mesh space stays so in the file.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "math/math.h"

struct MapPair {
    float s, t;  // texture coordinates as the show reads them
};

struct Triangle {
    uint16_t a, b, c;  // vertex numbers, counter-clockwise seen from outside
};

// One named object. Faces are written in vector order, which is the show's draw order
// for the parts that do not sort.
struct ObjectMesh {
    std::string name;
    std::string material;             // names a Material of the same file
    std::vector<Vec3> positions;      // mesh space
    std::vector<MapPair> mapping;     // one per position
    std::vector<Triangle> faces;
};

struct Material {
    std::string name;
    uint8_t red, green, blue;  // diffuse colour
};

struct SceneFile {
    std::string fileName;
    std::vector<Material> materials;
    std::vector<ObjectMesh> objects;
};

// Limits the show's buffers put on every object.
constexpr size_t kMaxObjectVertices = 20000;
constexpr size_t kMaxObjectFaces = 10000;
constexpr size_t kMaxNameBytes = 31;  // object and material names, terminator excluded

// ---- 3DS encoding (chunk_writer.cpp) ---------------------------------------------------

// The complete file image of scene: version, mesh data with materials and objects, and a
// keyframer block with one node per object. Little-endian, deterministic.
std::vector<uint8_t> Encode3ds(const SceneFile& scene);

// ---- Shape building (mesh_builder.cpp) ------------------------------------------------

struct Point2 {
    float x, y;
};
using Contour = std::vector<Point2>;  // closed polygon, last point not repeated

// Appends a vertex and returns its number.
uint16_t AddVertex(ObjectMesh* mesh, Vec3 p, MapPair uv);
// Appends triangle (a, b, c), swapped to (a, c, b) if its normal points against outward.
void AddTriangleFacing(ObjectMesh* mesh, uint16_t a, uint16_t b, uint16_t c, Vec3 outward);
// Reverses the winding of faces [first, end) if they enclose a negative volume, so that a
// closed part built in either sense ends up facing outwards.
void OrientClosedPart(ObjectMesh* mesh, size_t firstFace);

// A surface through rings of points, ring i (0 to rings - 1) holding slices points
// point(i, j) around; a ring for which pole(i) holds is the one vertex point(i, 0).
// Neighbouring rings are joined by quads (i, j), (i, j + 1), (i + 1, j + 1), (i + 1, j).
// sharedSeam joins slice slices - 1 to slice 0 (smooth normals, mapping wraps); otherwise
// the seam vertices are doubled so s runs 0 to 1. t runs 0 to 1 from ring 0 to the last.
using PoleFn = std::function<bool(int ring)>;
using RingPointFn = std::function<Vec3(int ring, int slice)>;
void AddRingSurface(ObjectMesh* mesh, int rings, int slices, bool sharedSeam, const PoleFn& pole,
                    const RingPointFn& point);
// Surface of revolution of profile (r, h) pairs about the axis through origin along
// axis (unit); slices segments around. A profile point with r = 0 becomes one vertex.
// The surface faces to the right of the profile drawn with r to the right and h up: bottom
// centre, out, up, in, top centre gives an outward closed body. Seam and mapping as
// AddRingSurface, rings being the profile points.
void AddLathe(ObjectMesh* mesh, const std::vector<Point2>& profile, Vec3 origin, Vec3 axis,
              int slices, bool sharedSeam);
// Axis-aligned box from lo to hi facing outward, four vertices per side, each side mapped
// 0 to 1.
void AddBox(ObjectMesh* mesh, Vec3 lo, Vec3 hi);

// Triangulates the region inside contours (even-odd rule) with the GLU tessellator.
// Returns points (the contour points, then any the tessellator adds) and triangles as
// index triples, counter-clockwise in the contour plane.
void TessellateContours(const std::vector<Contour>& contours, std::vector<Point2>* points,
                        std::vector<uint16_t>* triangles);
// Reorders each contour so that the filled region (even-odd) lies on its left.
void OrientContours(std::vector<Contour>* contours);

// ---- Outline extrusion (extrusion.cpp) ------------------------------------------------
// Maps a plane point and a depth fraction (0 front face, 1 back face) to mesh space.
using PlaceFn = std::function<Vec3(Point2, float)>;

// The filled region of contours at depth 0, facing outward. Mapping spans the bounding box.
void AddFlatRegion(ObjectMesh* mesh, std::vector<Contour> contours, const PlaceFn& place, Vec3 outward);
// A slab: back cap, side walls, front cap, in that order, so that drawing in file order
// paints the front last for a viewer in front. frontOutward is the front cap's normal.
void AddExtrusion(ObjectMesh* mesh, std::vector<Contour> contours, const PlaceFn& place, Vec3 frontOutward);

// ---- Text outlines (glyph_outline.cpp) -------------------------------------------------

// Outlines of text in the font at fontPath, flattened to polygons, in em units (baseline
// y = 0, x from 0 at the pen start, y up). Writes the advance width to *width.
// Exits with a message naming the font on failure.
std::vector<Contour> TextOutline(const char* fontPath, const char* text, float* width);

// ---- The show's objects (show_objects.cpp) ----------------------------------------------

// Every 3DS file of the show, in a fixed order.
std::vector<SceneFile> BuildShowObjects(const char* fontPath);
