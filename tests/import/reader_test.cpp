// Tests of the 3DS chunk reader: axes, trace, name matching, contradictory input, and
// declared sizes it refuses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import/import.h"
#include "tests/kit/chunk_writer.h"

namespace {

std::string TempPath(const char* name) { return testing::TempDir() + name; }

// Loads objectName from the bytes of w (saved under name) and returns the trace printed.
std::string Load(const ChunkWriter& w, const char* name, const char* objectName, ObjectData* out) {
    const std::string path = TempPath(name);
    w.Save(path);
    testing::internal::CaptureStdout();
    LoadObject(out, path.c_str(), objectName);
    return testing::internal::GetCapturedStdout();
}

// root { scene { object name { mesh { vertices, faces, mapping } } } }
ChunkWriter SmallObject(const char* name, uint16_t rootId = 0x4D4D) {
    ChunkWriter w;
    w.Begin(rootId).Begin(0x3D3D).Begin(0x4000).String(name).Begin(0x4100);
    w.Vertices({1, 2, 3, 4, 5, 6, 7, 8, 9});
    w.FacesBegin({0, 1, 2});
    w.Begin(0x4130).String("Material").U16(1).U16(0).End();
    w.End();
    w.Mapping({0.25f, 0.75f, 1, 0, 0, 1});
    w.End().End().End().End();
    return w;
}

TEST(Reader, ReadsAxesMappingAndFaces) {
    ObjectData data;
    Load(SmallObject("Object01"), "axes.3ds", "Object01", &data);
    ASSERT_EQ(data.vertexCount, 3);
    ASSERT_EQ(data.vertices.size(), 3u);
    EXPECT_EQ(data.vertices[0].x, 1.0f);
    EXPECT_EQ(data.vertices[0].y, 3.0f);
    EXPECT_EQ(data.vertices[0].z, 2.0f);
    EXPECT_EQ(data.mapping[0].u, 0.25f);
    EXPECT_EQ(data.mapping[0].v, -0.75f);
    EXPECT_EQ(data.mapping[2].v, -1.0f);
    ASSERT_EQ(data.faceCount, 1);
    EXPECT_EQ(data.faces[0].a, 0);
    EXPECT_EQ(data.faces[0].b, 1);
    EXPECT_EQ(data.faces[0].c, 2);
    EXPECT_EQ(data.faces[0].material, 0);  // despite the 0x4130 group
}

TEST(Reader, TracesEveryHeaderWithLevelIndent) {
    ObjectData data;
    const std::string trace = Load(SmallObject("Object01"), "trace.3ds", "Object01", &data);
    const std::string expected =
        "CHUNK: id:4d4d length:144 endpos:144\n"
        " CHUNK: id:3d3d length:138 endpos:144\n"
        "  CHUNK: id:4000 length:132 endpos:144\n"
        "Object01\n"
        "   CHUNK: id:4100 length:117 endpos:144\n"
        "    CHUNK: id:4110 length:44 endpos:77\n"   // 6 + 2 + 3 * 12
        "    CHUNK: id:4120 length:35 endpos:112\n"  // 6 + 2 + 8 + the 0x4130 below
        "     CHUNK: id:4130 length:19 endpos:112\n" // 6 + "Material" + 2 + 2
        "    CHUNK: id:4140 length:32 endpos:144\n"; // 6 + 2 + 3 * 8
    EXPECT_EQ(trace, expected);
}

TEST(Reader, RootLengthGivesEndPositionAndAnyRootIdWalks) {
    ChunkWriter w = SmallObject("Object01", 0x1234);
    ChunkWriter padded;
    padded.Raw(w.bytes().data(), w.bytes().size());
    std::vector<uint8_t> fill(1000 - w.bytes().size(), 0);
    padded.Raw(fill.data(), fill.size());
    std::vector<uint8_t> bytes = padded.bytes();
    const uint32_t length = 1000;
    std::memcpy(&bytes[2], &length, 4);
    ChunkWriter file;
    file.Raw(bytes.data(), bytes.size());

    ObjectData data;
    const std::string trace = Load(file, "root.3ds", "Object01", &data);
    EXPECT_EQ(trace.substr(0, trace.find('\n')), "CHUNK: id:1234 length:1000 endpos:1000");
    EXPECT_EQ(data.vertexCount, 3);
    EXPECT_EQ(data.faceCount, 1);
}

TEST(Reader, NameMatchIsExactAndMissingObjectGivesEmptyLists) {
    for (const char* request : {"object01", "Object0", "Object011", ""}) {
        ObjectData data;
        const std::string trace = Load(SmallObject("Object01"), "name.3ds", request, &data);
        EXPECT_EQ(data.vertexCount, 0) << request;
        EXPECT_EQ(data.faceCount, 0) << request;
        EXPECT_TRUE(data.vertices.empty() && data.faces.empty() && data.mapping.empty());
        EXPECT_NE(trace.find("Object01\n"), std::string::npos);
        EXPECT_EQ(trace.find("id:4110"), std::string::npos) << "walked into an unrequested object";
    }
}

TEST(Reader, ChildReachingPastParentEndsParentLoop) {
    // The first scene's object claims 6 bytes more than the scene holds: its skip swallows
    // the filler chunk after the scene, the scene's loop ends, and the root goes on to the
    // second scene.
    ChunkWriter w;
    w.Begin(0x4D4D);
    w.Begin(0x3D3D).Begin(0x4000).String("Other").End(6).End();
    w.Begin(0x0002).End();
    w.Begin(0x3D3D).Begin(0x4000).String("Wanted").Begin(0x4100).Vertices({1, 2, 3}).End().End().End();
    w.End();
    ObjectData data;
    const std::string trace = Load(w, "overlong.3ds", "Wanted", &data);
    EXPECT_EQ(data.vertexCount, 1);
    EXPECT_EQ(trace.find("id:2 "), std::string::npos) << trace;
}

TEST(Reader, LaterListsReplaceEarlierOnes) {
    ChunkWriter w;
    w.Begin(0x4D4D).Begin(0x3D3D).Begin(0x4000).String("A").Begin(0x4100);
    w.Vertices({1, 1, 1, 2, 2, 2});
    w.Mapping({0.5f, 0.5f, 0.5f, 0.5f});
    w.FacesBegin({0, 1, 0}).End();
    w.Vertices({9, 9, 9, 8, 8, 8, 7, 7, 7});  // resets every mapping pair
    w.Mapping({0.1f, 0.2f});                  // overwrites pair 0 only
    w.End().End().End().End();
    ObjectData data;
    Load(w, "replace.3ds", "A", &data);
    ASSERT_EQ(data.vertexCount, 3);
    EXPECT_EQ(data.vertices[0].x, 9.0f);
    EXPECT_EQ(data.mapping[0].u, 0.1f);
    EXPECT_EQ(data.mapping[0].v, -0.2f);
    EXPECT_EQ(data.mapping[1].u, 0.0f);
    EXPECT_EQ(data.mapping[1].v, 0.0f);
    EXPECT_EQ(data.faceCount, 1);
}

TEST(Reader, ContradictoryListsStayInsideTheirArrays) {
    ChunkWriter w;
    w.Begin(0x4D4D).Begin(0x3D3D).Begin(0x4000).String("A").Begin(0x4100);
    w.Mapping({0.5f, 0.5f});                        // before any vertex list: dropped
    w.Vertices({1, 2, 3, 4, 5, 6});
    w.Mapping({0.1f, 0.1f, 0.2f, 0.2f, 0.3f, 0.3f});  // one pair too many: the extra dropped
    w.FacesBegin({0, 1, 1, 0, 2, 1, 5, 0, 1, 1, 0, 0}).End();  // faces 2 and 3 name missing vertices
    w.Vertices({});                                 // an empty list after: nothing in range
    w.End().End();
    w.Begin(0x4000).String("B").Begin(0x4100).Vertices({7, 8, 9}).End().End();
    w.End().End();

    ObjectData a;
    Load(w, "contradict.3ds", "A", &a);
    EXPECT_EQ(a.vertexCount, 0);
    EXPECT_EQ(a.faceCount, 0);
    EXPECT_TRUE(a.faces.empty());

    // Without the trailing empty list, two faces are in range and the walk stays aligned.
    ChunkWriter v;
    v.Begin(0x4D4D).Begin(0x3D3D).Begin(0x4000).String("A").Begin(0x4100);
    v.Mapping({0.5f, 0.5f});
    v.Vertices({1, 2, 3, 4, 5, 6});
    v.Mapping({0.1f, 0.1f, 0.2f, 0.2f, 0.3f, 0.3f});
    v.FacesBegin({0, 1, 1, 1, 0, 0, 5, 0, 1, 1, 2, 0}).End();
    v.End().End().Begin(0x4000).String("B").Begin(0x4100).Vertices({7, 8, 9}).End().End();
    v.End().End();
    ObjectData b;
    const std::string trace = Load(v, "contradict2.3ds", "A", &b);
    ASSERT_EQ(b.vertexCount, 2);
    EXPECT_EQ(b.mapping[0].u, 0.1f);
    EXPECT_EQ(b.mapping[1].v, -0.2f);
    ASSERT_EQ(b.faceCount, 2);
    EXPECT_EQ(b.faces[1].a, 1);
    EXPECT_NE(trace.find("B\n"), std::string::npos);
}

TEST(Reader, LongNamesAreCutAndConsumed) {
    const std::string longName(40, 'n');
    const std::string longMaterial(30, 'm');
    ChunkWriter w;
    w.Begin(0x4D4D).Begin(0x3D3D).Begin(0x4000).String(longName).Begin(0x4100);
    w.Vertices({1, 2, 3, 4, 5, 6, 7, 8, 9});
    w.FacesBegin({0, 1, 2});
    w.Begin(0x4130).String(longMaterial).U16(1).U16(0).End();
    w.End().End().End();
    w.Begin(0x4000).String("Next").End();
    w.End().End();

    ObjectData data;
    const std::string trace = Load(w, "longname.3ds", longName.substr(0, 31).c_str(), &data);
    EXPECT_NE(trace.find(longName.substr(0, 31) + "\n"), std::string::npos);
    EXPECT_EQ(trace.find(longName.substr(0, 32)), std::string::npos);
    EXPECT_NE(trace.find("Next\n"), std::string::npos) << "name tail not consumed";
    EXPECT_EQ(data.vertexCount, 3);
    EXPECT_EQ(data.faceCount, 1);

    std::vector<ObjectSummary> objects;
    ASSERT_TRUE(ListObjects(TempPath("longname.3ds").c_str(), &objects));
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(std::string(objects[0].name), longName.substr(0, 31));
    EXPECT_EQ(std::string(objects[1].name), "Next");
}

TEST(Reader, DeclaredSizesBeyondTheFileOrTheBudgetRefuseTheWholeFile) {
    // Each file holds a good object "A", then the damage; A is refused with the file.
    const struct {
        const char* what;
        void (*damage)(ChunkWriter& w);
        std::string reason;
    } cases[] = {
        {"vertices over the budget", [](ChunkWriter& w) { w.Begin(0x4110).U16(20001).End(); },
         "object \"B\" declares 20001 vertices (at most 20000 are read)"},
        {"faces past their chunk", [](ChunkWriter& w) { w.Begin(0x4120).U16(1000).U16(0).U16(1).U16(2).U16(0).End(); },
         "object \"B\" declares 1000 faces, more than its chunk of 16 bytes holds"},
        {"mapping past its chunk", [](ChunkWriter& w) { w.Begin(0x4140).U16(3).Float(0).Float(0).End(); },
         "object \"B\" declares 3 mapping pairs, more than its chunk of 16 bytes holds"},
        {"a material group past its chunk",
         [](ChunkWriter& w) { w.Begin(0x4120).U16(0).Begin(0x4130).String("M").U16(50).End().End(); },
         "object \"B\" declares 50 faces in a material group, more than its chunk of 10 bytes holds"},
        {"a length past the end of the file", [](ChunkWriter& w) { w.U16(0x4110).U32(0xFFFFFFFF).U16(0); },
         "declares 4294967295 bytes, past the end of the file"},
        {"65 objects", [](ChunkWriter& w) { for (int i = 0; i < 63; ++i) w.End().End().Begin(0x4000).String("C").Begin(0x4100); },
         "it holds more than 64 objects"},
    };
    for (const auto& c : cases) {
        ChunkWriter w;
        w.Begin(0x4D4D).Begin(0x3D3D).Begin(0x4000).String("A").Begin(0x4100).Vertices({1, 2, 3}).End().End();
        w.Begin(0x4000).String("B").Begin(0x4100);
        c.damage(w);
        w.End().End().End().End();
        const std::string path = TempPath("refused.3ds");
        w.Save(path);
        ObjectData data;
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        LoadObject(&data, path.c_str(), "A");
        const std::string message = testing::internal::GetCapturedStderr();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << c.what << ": walked before the refusal";
        EXPECT_EQ(data.vertexCount, 0) << c.what;
        EXPECT_TRUE(data.vertices.empty() && data.mapping.empty() && data.faces.empty()) << c.what;
        EXPECT_NE(message.find("LoadObject: \"" + path + "\": "), std::string::npos) << c.what << ": " << message;
        EXPECT_NE(message.find(c.reason), std::string::npos) << c.what << ": " << message;
        EXPECT_TRUE(message.ends_with("; the file is refused\n")) << c.what << ": " << message;
        std::vector<ObjectSummary> objects;
        std::string error;
        EXPECT_FALSE(ListObjects(path.c_str(), &objects, &error)) << c.what;
        EXPECT_TRUE(objects.empty()) << c.what;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.what << ": " << error;
    }
}

TEST(ReaderDeathTest, MissingFileFailsTheOpenAssertion) {
    ObjectData data;
    EXPECT_DEATH(LoadObject(&data, "/nonexistent/missing.3ds", "Object01"),
                 "3dsload.*f=fopen\\(filename,\"rb\"\\)");
}

}  // namespace
