// The 3DS files in the data folder: present, importable, agreed on by an independent
// reader (assimp), and written the same byte for byte on every run.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>

#include "import/import.h"
#include "tests/assets/objects/object_test_mesh.h"
#include "tests/support/test_paths.h"

namespace {

struct ShowFile {
    const char* file;
    std::vector<const char*> objects;
};

const std::vector<ShowFile>& ShowFiles() {
    static const std::vector<ShowFile> files{
        {"spiral.3ds", {"Shape1"}},        {"ball2116.3ds", {"Object01"}},
        {"striber.3ds", {"Cone01"}},       {"toyscene.3ds", {"Box05", "dude", "briller"}},
        {"toypush1.3ds", {"Shape1"}},      {"purple.3ds", {"Text01", "Text02"}},
        {"hjerte~1.3ds", {"Shape02"}}};
    return files;
}

std::string DataPath(const char* file) { return ShowDataDir() + "/" + file; }

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Runs a command and returns its standard output; *status gets the exit status.
std::string RunCommand(const std::string& command, int* status) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        *status = -1;
        return out;
    }
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) out.append(buffer.data(), n);
    *status = pclose(pipe);
    return out;
}

// The integer after "key:" on its own line of assimp's info output, or -1.
int InfoValue(const std::string& info, const std::string& key) {
    size_t at = info.find("\n" + key + ":");
    if (at == std::string::npos) return -1;
    return std::atoi(info.c_str() + at + key.size() + 2);
}

TEST(ObjectFiles, EveryFileHoldsExactlyItsNamedObjects) {
    for (const ShowFile& show : ShowFiles()) {
        std::vector<ObjectSummary> objects;
        ASSERT_TRUE(ListObjects(DataPath(show.file).c_str(), &objects)) << DataPath(show.file) << " missing";
        std::vector<std::string> names;
        for (const ObjectSummary& o : objects) names.push_back(o.name);
        EXPECT_EQ(names, std::vector<std::string>(show.objects.begin(), show.objects.end())) << show.file;
        for (const ObjectSummary& o : objects)
            EXPECT_EQ(o.mappingCount, o.vertexCount) << show.file << " " << o.name << ": one mapping pair per vertex";
    }
}

TEST(ObjectFiles, ImportedMeshesAreNonEmptyWithinLimitsIndexedInRangeAndWoundAlike) {
    for (const ShowFile& show : ShowFiles()) {
        for (const char* name : show.objects) {
            TestMesh mesh;
            ImportQuietly(&mesh, DataPath(show.file), name);
            SCOPED_TRACE(std::string(show.file) + " " + name);
            ASSERT_GT(mesh.faceList->count, 0);
            EXPECT_LT(mesh.working->count, 20000);
            EXPECT_LT(mesh.faceList->count, 10000);
            for (const MeshFace& f : mesh.faceList->faces) {
                for (int32_t i : {f.indexA, f.indexB, f.indexC}) {
                    ASSERT_GE(i, 0);
                    ASSERT_LT(i, mesh.working->count);
                }
                EXPECT_FALSE(f.indexA == f.indexB || f.indexB == f.indexC || f.indexA == f.indexC)
                    << "degenerate face";
            }
            // Neighbours wound alike run along a shared edge in opposite directions, so no
            // directed edge may occur twice.
            std::set<std::pair<int, int>> directed;
            int repeated = 0;
            for (const MeshFace& f : mesh.faceList->faces)
                for (auto edge : {std::pair{f.indexA, f.indexB}, std::pair{f.indexB, f.indexC}, std::pair{f.indexC, f.indexA}})
                    repeated += directed.insert(edge).second ? 0 : 1;
            EXPECT_EQ(repeated, 0) << "faces wound against their neighbours";
        }
    }
}

// Closed bodies smoothed by environment mapping: every edge is shared by exactly two faces
// that run along it in opposite directions (consistent winding, no cracks).
TEST(ObjectFiles, SmoothBodiesAreClosedAndConsistentlyWound) {
    const std::pair<const char*, const char*> bodies[] = {{"ball2116.3ds", "Object01"}, {"hjerte~1.3ds", "Shape02"}};
    for (const auto& [file, name] : bodies) {
        TestMesh mesh;
        ImportQuietly(&mesh, DataPath(file), name);
        std::map<std::pair<int, int>, int> directed;
        for (const MeshFace& f : mesh.faceList->faces) {
            ++directed[{f.indexA, f.indexB}];
            ++directed[{f.indexB, f.indexC}];
            ++directed[{f.indexC, f.indexA}];
        }
        int bad = 0;
        for (const auto& [edge, count] : directed) {
            auto reverse = directed.find({edge.second, edge.first});
            if (count != 1 || reverse == directed.end() || reverse->second != 1) ++bad;
        }
        EXPECT_EQ(bad, 0) << file << ": edges not paired with one reversed partner";
    }
}

TEST(ObjectFiles, AssimpReadsTheSameMeshesAndFaces) {
    int status = 0;
    RunCommand("assimp version >/dev/null 2>&1", &status);
    if (status != 0) GTEST_FAIL() << "assimp (Debian's assimp-utils) is not installed (scripts/setup.sh installs it)";
    for (const ShowFile& show : ShowFiles()) {
        std::vector<ObjectSummary> objects;
        ASSERT_TRUE(ListObjects(DataPath(show.file).c_str(), &objects));
        int faces = 0;
        for (const ObjectSummary& o : objects) faces += o.faceCount;
        std::string info = RunCommand("assimp info '" + DataPath(show.file) + "' -r 2>&1", &status);
        EXPECT_EQ(status, 0) << info;
        EXPECT_EQ(InfoValue(info, "Meshes"), static_cast<int>(objects.size())) << show.file << "\n" << info;
        EXPECT_EQ(InfoValue(info, "Faces"), faces) << show.file << "\n" << info;
    }
}

TEST(ObjectFiles, GenerationIsDeterministicAndMatchesTheDataFolder) {
    namespace fs = std::filesystem;
    const fs::path base = fs::temp_directory_path() / ("orangefunk_objects_" + std::to_string(getpid()));
    const fs::path first = base / "a", second = base / "b";
    fs::create_directories(first);
    fs::create_directories(second);
    int status = 0;
    RunCommand(std::string(MAKE_OBJECTS_PATH) + " " + first.string(), &status);
    ASSERT_EQ(status, 0);
    RunCommand(std::string(MAKE_OBJECTS_PATH) + " " + second.string(), &status);
    ASSERT_EQ(status, 0);
    for (const ShowFile& show : ShowFiles()) {
        std::string a = ReadAll((first / show.file).string());
        EXPECT_FALSE(a.empty()) << show.file;
        EXPECT_EQ(a, ReadAll((second / show.file).string())) << show.file << " differs between runs";
        EXPECT_EQ(a, ReadAll(DataPath(show.file))) << show.file << " differs from the data folder";
    }
    fs::remove_all(base);
}

TEST(ObjectFiles, GeneratorFailsCleanlyOnAMissingFont) {
    int status = 0;
    const std::string dir = std::filesystem::temp_directory_path().string();
    std::string out = RunCommand(std::string(MAKE_OBJECTS_PATH) + " " + dir + " /nonexistent/font.ttf 2>&1", &status);
    EXPECT_NE(status, 0);
    EXPECT_NE(out.find("/nonexistent/font.ttf"), std::string::npos) << out;
}

}  // namespace
