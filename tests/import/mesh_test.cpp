// Tests of the mesh builders: object import (mirroring, mapping, faces) and the tube, plus
// the third-party 3DS files against their expected counts, through ImportObject and 3dsinfo.
#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "import/import.h"
#include "tests/kit/chunk_writer.h"
#include "tests/support/test_paths.h"

namespace {

// A Mesh that frees its parts: the show keeps its meshes for the whole run, tests do not.
struct TestMesh : Mesh {
    TestMesh() = default;
    TestMesh(const TestMesh&) = delete;
    ~TestMesh() { ReleaseMesh(this); }
};

// Imports objectName from the bytes of w, saved under name in the test's temp folder.
void Import(const ChunkWriter& w, const char* name, const char* objectName, Mesh* mesh) {
    const std::string path = testing::TempDir() + name;
    w.Save(path);
    testing::internal::CaptureStdout();
    ImportObject(mesh, path.c_str(), objectName);
    testing::internal::GetCapturedStdout();
}

void ExpectVec(const Vec3& expected, const Vec3& actual) {
    EXPECT_EQ(expected.x, actual.x);
    EXPECT_EQ(expected.y, actual.y);
    EXPECT_EQ(expected.z, actual.z);
}

// Every face pointer lies in working and agrees with its indices.
void ExpectFacesConsistent(const Mesh& mesh) {
    const ScreenVertex* first = mesh.working->vertices.data();
    for (const MeshFace& f : mesh.faceList->faces) {
        ASSERT_GE(f.indexA, 0);
        ASSERT_LT(f.indexA, mesh.working->count);
        ASSERT_LT(f.indexB, mesh.working->count);
        ASSERT_LT(f.indexC, mesh.working->count);
        EXPECT_EQ(f.a, first + f.indexA);
        EXPECT_EQ(f.b, first + f.indexB);
        EXPECT_EQ(f.c, first + f.indexC);
    }
}

TEST(ImportObject, MirrorsPositionsAndCopiesMapping) {
    ChunkWriter w;
    w.Begin(0x4D4D).Begin(0x3D3D).Begin(0x4000).String("Object01").Begin(0x4100);
    w.Vertices({1, 2, 3, 4, 5, 6, 7, 8, 9});
    w.FacesBegin({0, 1, 2, 2, 1, 0}).End();
    w.Mapping({0.25f, 0.75f, 0.5f, 0.5f, 1, 1});
    w.End().End().End().End();
    TestMesh mesh;
    Import(w, "import.3ds", "Object01", &mesh);
    ASSERT_EQ(mesh.working->count, 3);
    ASSERT_EQ(mesh.base->count, 3);
    ASSERT_EQ(mesh.base->vertices.size(), 3u);
    ExpectVec({-1, 3, 2}, mesh.working->positions[0]);
    ExpectVec({-1, 3, 2}, mesh.base->positions[0]);
    const ScreenVertex& v = mesh.working->vertices[0];
    EXPECT_EQ(v.s0, 0.25f);
    EXPECT_EQ(v.t0, -0.75f);
    EXPECT_EQ(v.s1, 0.0f);
    EXPECT_EQ(v.t1, 0.0f);
    EXPECT_EQ((std::array{v.red, v.green, v.blue, v.alpha}), (std::array{1.0f, 1.0f, 1.0f, 1.0f}));
    ASSERT_EQ(mesh.faceList->count, 2);
    EXPECT_EQ(mesh.faceList->faces[1].indexA, 2);
    EXPECT_EQ(mesh.faceList->faces[1].indexC, 0);
    ExpectFacesConsistent(mesh);
}

TEST(ImportObject, NoMappingMissingObjectAndOutOfRangeFaces) {
    ChunkWriter w;
    w.Begin(0x4D4D).Begin(0x3D3D).Begin(0x4000).String("Plain").Begin(0x4100);
    w.Vertices({1, 2, 3, 4, 5, 6});
    w.FacesBegin({0, 1, 0, 0, 1, 2, 65535, 0, 1}).End();
    w.End().End().End().End();

    TestMesh plain;
    Import(w, "plain.3ds", "Plain", &plain);
    ASSERT_EQ(plain.working->count, 2);
    for (const ScreenVertex& v : plain.working->vertices) {
        EXPECT_EQ(v.s0, 0.0f);
        EXPECT_EQ(v.t0, 0.0f);
    }
    EXPECT_EQ(plain.faceList->count, 1);  // the two faces naming vertices 2 and 65535 dropped
    ExpectFacesConsistent(plain);

    TestMesh missing;
    Import(w, "plain.3ds", "Absent", &missing);
    ASSERT_NE(missing.working, nullptr);
    EXPECT_EQ(missing.working->count, 0);
    EXPECT_EQ(missing.base->count, 0);
    EXPECT_EQ(missing.faceList->count, 0);
    EXPECT_TRUE(missing.faceList->faces.empty());
}

TEST(BuildTube, DemoTubeCountsPositionsAndFaces) {
    TestMesh tube;
    BuildTube(&tube, 80, 20, 30, 40);
    ASSERT_EQ(tube.working->count, 1200);
    ASSERT_EQ(tube.base->count, 1200);
    ASSERT_EQ(tube.faceList->count, 2320);
    const std::vector<Vec3>& p = tube.working->positions;
    ExpectVec({0, -40, 10}, p[0]);
    EXPECT_NEAR(p[29].y, 29.0f * (80.0f / 30.0f) - 40.0f, 1e-4f);
    EXPECT_NEAR(p[300].x, 10.0f, 1e-5f);
    EXPECT_NEAR(p[300].z, 0.0f, 1e-5f);
    EXPECT_EQ(tube.base->positions[300].x, p[300].x);

    const ScreenVertex& v = tube.working->vertices[10 * 30 + 3];
    EXPECT_FLOAT_EQ(v.s0, 3.0f / 30.0f);
    EXPECT_FLOAT_EQ(v.t0, 10.0f / 40.0f);
    EXPECT_EQ(v.s1, v.s0);
    EXPECT_EQ(v.t1, v.t0);
    EXPECT_EQ(v.alpha, 1.0f);

    // Ring 0, column 0 first; the last ring joins ring 0.
    const MeshFace& f0 = tube.faceList->faces[0];
    const MeshFace& f1 = tube.faceList->faces[1];
    const MeshFace& last = tube.faceList->faces[2319];
    EXPECT_EQ((std::vector<int>{f0.indexA, f0.indexB, f0.indexC}), (std::vector<int>{0, 1, 30}));
    EXPECT_EQ((std::vector<int>{f1.indexA, f1.indexB, f1.indexC}), (std::vector<int>{1, 31, 30}));
    EXPECT_EQ((std::vector<int>{last.indexA, last.indexB, last.indexC}),
              (std::vector<int>{39 * 30 + 29, 29, 28}));
    ExpectFacesConsistent(tube);
}

TEST(BuildTube, OneColumnHasNoFaces) {
    TestMesh tube;
    BuildTube(&tube, 10, 2, 1, 6);
    EXPECT_EQ(tube.working->count, 6);
    EXPECT_EQ(tube.faceList->count, 0);
    EXPECT_EQ(tube.working->positions[0].y, -5.0f);
}

// One row of EXPECTED.tsv.
struct ExpectedObject {
    std::string file, object;
    int vertices, faces, mapping;
};

std::vector<ExpectedObject> ReadExpected(const std::string& dir) {
    std::vector<ExpectedObject> rows;
    std::ifstream in(dir + "/EXPECTED.tsv");
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        ExpectedObject row;
        std::string kind;
        if (std::getline(fields, row.file, '\t') && std::getline(fields, row.object, '\t') &&
            fields >> row.vertices >> row.faces >> row.mapping)
            rows.push_back(row);
    }
    return rows;
}

class ThirdPartyFiles : public testing::Test {
protected:
    void SetUp() override {
        dir_ = TestDataDir() + "/3ds";
        if (!DirExists(dir_)) GTEST_SKIP() << "third-party 3DS files not found in " << dir_;
        expected_ = ReadExpected(dir_);
        ASSERT_GT(expected_.size(), 30u) << "EXPECTED.tsv unreadable";
    }
    std::string dir_;
    std::vector<ExpectedObject> expected_;
};

TEST_F(ThirdPartyFiles, ImportGivesExpectedCounts) {
    for (const ExpectedObject& row : expected_) {
        TestMesh mesh;
        const std::string path = dir_ + "/" + row.file;
        testing::internal::CaptureStdout();
        ImportObject(&mesh, path.c_str(), row.object.c_str());
        const std::string trace = testing::internal::GetCapturedStdout();
        EXPECT_EQ(mesh.working->count, row.vertices) << row.file << " " << row.object;
        EXPECT_EQ(mesh.faceList->count, row.faces) << row.file << " " << row.object;
        EXPECT_NE(trace.find("\n" + row.object + "\n"), std::string::npos);
        ExpectFacesConsistent(mesh);
        if (row.mapping == 0) {
            for (const ScreenVertex& v : mesh.working->vertices) EXPECT_EQ(v.s0, 0.0f);
        }
    }
}

// 3dsinfo sits in the build folder, one level above this test program.
std::string ToolPath() {
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return "3dsinfo";
    self[n] = '\0';
    std::string path(self);
    path = path.substr(0, path.rfind('/'));
    return path.substr(0, path.rfind('/')) + "/3dsinfo";
}

TEST_F(ThirdPartyFiles, InfoToolListsExpectedCounts) {
    const std::string tool = ToolPath();
    ASSERT_EQ(access(tool.c_str(), X_OK), 0) << tool << " not built (target 3dsinfo)";
    std::map<std::string, std::string> listed;  // file -> tool output
    for (const ExpectedObject& row : expected_) {
        if (listed.count(row.file)) continue;
        const std::string command = "'" + tool + "' '" + dir_ + "/" + row.file + "'";
        FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string out;
        char buf[4096];
        size_t got;
        while ((got = std::fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, got);
        EXPECT_EQ(pclose(pipe), 0) << command;
        listed[row.file] = out;
    }
    std::map<std::string, std::string> expected;
    for (const ExpectedObject& row : expected_) {
        std::string& text = expected[row.file];
        if (text.empty()) text = "object\tvertices\tfaces\tmapping\n";
        text += row.object + "\t" + std::to_string(row.vertices) + "\t" +
                std::to_string(row.faces) + "\t" + std::to_string(row.mapping) + "\n";
    }
    for (const auto& [file, text] : expected) EXPECT_EQ(listed[file], text) << file;
}

}  // namespace
