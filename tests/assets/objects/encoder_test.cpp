// The 3DS encoder read back by the show's own reader: coordinates, mapping, names, lists.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "assets/objects/objects.h"
#include "import/import.h"
#include "tests/assets/objects/object_test_mesh.h"

namespace {

std::string WriteTemp(const SceneFile& scene, const char* name) {
    std::string path = (std::filesystem::temp_directory_path() / (std::to_string(getpid()) + name)).string();
    std::vector<uint8_t> bytes = Encode3ds(scene);
    FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
}

ObjectMesh OneTriangle(const char* name) {
    ObjectMesh mesh;
    mesh.name = name;
    mesh.material = "M";
    AddVertex(&mesh, {1, 2, 3}, {0.25f, 0.75f});
    AddVertex(&mesh, {4, 5, 6}, {0.5f, 0.0f});
    AddVertex(&mesh, {7, 8, 10}, {1.0f, 1.0f});
    mesh.faces.push_back({0, 1, 2});
    return mesh;
}

TEST(ObjectEncoder, ImportGivesBackMeshSpacePositionsAndMapping) {
    SceneFile scene{"t.3ds", {{"M", 1, 2, 3}}, {OneTriangle("First"), OneTriangle("Second")}};
    scene.objects[1].positions[0] = {-9, -8, -7};
    std::string path = WriteTemp(scene, "orangefunk_encoder_roundtrip.3ds");

    TestMesh mesh;
    ImportQuietly(&mesh, path, "Second");
    ASSERT_EQ(mesh.working->count, 3);
    ASSERT_EQ(mesh.faceList->count, 1);
    const Vec3& p = mesh.working->positions[0];
    EXPECT_FLOAT_EQ(p.x, -9);
    EXPECT_FLOAT_EQ(p.y, -8);
    EXPECT_FLOAT_EQ(p.z, -7);
    EXPECT_FLOAT_EQ(mesh.working->vertices[0].s0, 0.25f);
    EXPECT_FLOAT_EQ(mesh.working->vertices[0].t0, 0.75f);
    const MeshFace& f = mesh.faceList->faces[0];
    EXPECT_EQ(f.indexA, 0);
    EXPECT_EQ(f.indexB, 1);
    EXPECT_EQ(f.indexC, 2);

    // The file itself holds the importer's inverse: (X, Y, Z) = (-x, z, y), (u, v) = (s, -t).
    ObjectData raw;
    testing::internal::CaptureStdout();
    LoadObject(&raw, path.c_str(), "First");
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(raw.vertexCount, 3);
    EXPECT_FLOAT_EQ(raw.vertices[2].x, -7);  // the reader keeps X as x
    EXPECT_FLOAT_EQ(raw.vertices[2].y, 8);   // and reads Z into y
    EXPECT_FLOAT_EQ(raw.vertices[2].z, 10);  // and Y into z
    std::remove(path.c_str());
}

TEST(ObjectEncoder, ChunkLengthsCoverTheFileAndLongNamesAreCut) {
    SceneFile scene{"t.3ds", {{"M", 1, 2, 3}}, {OneTriangle("AnObjectNameMuchLongerThanThirtyOneBytes")}};
    std::vector<uint8_t> bytes = Encode3ds(scene);
    ASSERT_GE(bytes.size(), 6u);
    EXPECT_EQ(bytes[0] | bytes[1] << 8, 0x4D4D);
    uint32_t length = bytes[2] | bytes[3] << 8 | bytes[4] << 16 | static_cast<uint32_t>(bytes[5]) << 24;
    EXPECT_EQ(length, bytes.size());

    std::string path = WriteTemp(scene, "orangefunk_encoder_names.3ds");
    std::vector<ObjectSummary> objects;
    ASSERT_TRUE(ListObjects(path.c_str(), &objects));
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_STREQ(objects[0].name, std::string(scene.objects[0].name, 0, kMaxNameBytes).c_str());
    EXPECT_EQ(objects[0].faceCount, 1);
    EXPECT_EQ(objects[0].mappingCount, 3);
    std::remove(path.c_str());
}

TEST(ObjectEncoder, OrientClosedPartMakesAnInsideOutBoxFaceOutwards) {
    ObjectMesh mesh;
    AddBox(&mesh, {0, 0, 0}, {2, 2, 2});
    for (Triangle& f : mesh.faces) std::swap(f.b, f.c);
    OrientClosedPart(&mesh, 0);
    // Bottom side faces (-y): its normal must point down.
    for (const Triangle& f : mesh.faces) {
        const Vec3 &a = mesh.positions[f.a], &b = mesh.positions[f.b], &c = mesh.positions[f.c];
        if (a.y != 0 || b.y != 0 || c.y != 0) continue;
        float ny = (b.z - a.z) * (c.x - a.x) - (b.x - a.x) * (c.z - a.z);
        EXPECT_LT(ny, 0);
    }
}

}  // namespace
