// 3DS encoder: lays out a SceneFile as the chunk tree that modelling programs write.
#include <cstring>

#include "assets/objects/objects.h"

namespace {

// Chunk identifiers written here.
constexpr uint16_t kMain = 0x4D4D, kVersion = 0x0002, kEditor = 0x3D3D, kMeshVersion = 0x3D3E;
constexpr uint16_t kMasterScale = 0x0100;
constexpr uint16_t kMaterial = 0xAFFF, kMaterialName = 0xA000, kAmbient = 0xA010,
                   kDiffuse = 0xA020, kColour24 = 0x0011;
constexpr uint16_t kObject = 0x4000, kTriMesh = 0x4100, kVertexList = 0x4110,
                   kFaceList = 0x4120, kFaceMaterial = 0x4130, kMappingList = 0x4140,
                   kLocalMatrix = 0x4160;
constexpr uint16_t kKeyframer = 0xB000, kKeyHeader = 0xB00A, kKeyFrames = 0xB008,
                   kKeyCurrent = 0xB009, kObjectNode = 0xB002, kNodeHeader = 0xB010,
                   kPivot = 0xB013, kPositionTrack = 0xB020, kRotationTrack = 0xB021,
                   kScaleTrack = 0xB022, kNodeId = 0xB030;
constexpr uint16_t kEdgesVisible = 0x0007;  // face flags: edges AB, BC, CA visible
constexpr uint32_t kAnimationFrames = 100;

// Little-endian byte sink with nested chunks whose lengths are patched on close.
class ChunkSink {
public:
    void U8(uint8_t v) { bytes_.push_back(v); }
    void U16(uint16_t v) {
        U8(v & 0xFF);
        U8(v >> 8);
    }
    void U32(uint32_t v) {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    void F32(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        U32(bits);
    }
    // Zero-terminated, cut to kMaxNameBytes so every reader's name buffer holds it.
    void Name(const std::string& s) {
        size_t n = s.size() < kMaxNameBytes ? s.size() : kMaxNameBytes;
        bytes_.insert(bytes_.end(), s.begin(), s.begin() + n);
        U8(0);
    }
    // Opens a chunk; returns its start for Close.
    size_t Open(uint16_t id) {
        size_t start = bytes_.size();
        U16(id);
        U32(0);
        return start;
    }
    // Writes the chunk length (header included) now that its contents are complete.
    void Close(size_t start) {
        uint32_t length = static_cast<uint32_t>(bytes_.size() - start);
        for (int i = 0; i < 4; ++i) bytes_[start + 2 + i] = (length >> (8 * i)) & 0xFF;
    }
    std::vector<uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<uint8_t> bytes_;
};

void WriteMaterial(ChunkSink* out, const Material& material) {
    size_t block = out->Open(kMaterial);
    size_t name = out->Open(kMaterialName);
    out->Name(material.name);
    out->Close(name);
    for (uint16_t id : {kAmbient, kDiffuse}) {
        size_t colour = out->Open(id);
        size_t rgb = out->Open(kColour24);
        out->U8(material.red);
        out->U8(material.green);
        out->U8(material.blue);
        out->Close(rgb);
        out->Close(colour);
    }
    out->Close(block);
}

// Object block: vertex list, mapping, local matrix (identity), face list with its
// material assignment. Coordinates converted from mesh space, see objects.h.
void WriteObject(ChunkSink* out, const ObjectMesh& mesh) {
    size_t object = out->Open(kObject);
    out->Name(mesh.name);
    size_t triMesh = out->Open(kTriMesh);

    size_t vertices = out->Open(kVertexList);
    out->U16(static_cast<uint16_t>(mesh.positions.size()));
    for (const Vec3& p : mesh.positions) {
        out->F32(-p.x);
        out->F32(p.z);
        out->F32(p.y);
    }
    out->Close(vertices);

    size_t mapping = out->Open(kMappingList);
    out->U16(static_cast<uint16_t>(mesh.mapping.size()));
    for (const MapPair& uv : mesh.mapping) {
        out->F32(uv.s);
        out->F32(-uv.t);
    }
    out->Close(mapping);

    size_t matrix = out->Open(kLocalMatrix);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 3; ++col) out->F32(row == col ? 1.0f : 0.0f);
    out->Close(matrix);

    size_t faces = out->Open(kFaceList);
    out->U16(static_cast<uint16_t>(mesh.faces.size()));
    for (const Triangle& f : mesh.faces) {
        out->U16(f.a);
        out->U16(f.b);
        out->U16(f.c);
        out->U16(kEdgesVisible);
    }
    size_t assignment = out->Open(kFaceMaterial);
    out->Name(mesh.material);
    out->U16(static_cast<uint16_t>(mesh.faces.size()));
    for (size_t i = 0; i < mesh.faces.size(); ++i) out->U16(static_cast<uint16_t>(i));
    out->Close(assignment);
    out->Close(faces);

    out->Close(triMesh);
    out->Close(object);
}

// Track header: flags, eight reserved bytes, key count; each key: frame and spline flags.
void OpenTrackWithOneKey(ChunkSink* out) {
    out->U16(0);
    out->U32(0);
    out->U32(0);
    out->U32(1);
    out->U32(0);
    out->U16(0);
}

// One node per object, at rest: no pivot offset, no motion, unit scale.
void WriteNode(ChunkSink* out, const ObjectMesh& mesh, uint16_t id) {
    size_t node = out->Open(kObjectNode);
    size_t nodeId = out->Open(kNodeId);
    out->U16(id);
    out->Close(nodeId);
    size_t header = out->Open(kNodeHeader);
    out->Name(mesh.name);
    out->U16(0);
    out->U16(0);
    out->U16(0xFFFF);  // no parent
    out->Close(header);
    size_t pivot = out->Open(kPivot);
    for (int i = 0; i < 3; ++i) out->F32(0.0f);
    out->Close(pivot);

    size_t position = out->Open(kPositionTrack);
    OpenTrackWithOneKey(out);
    for (int i = 0; i < 3; ++i) out->F32(0.0f);
    out->Close(position);
    size_t rotation = out->Open(kRotationTrack);
    OpenTrackWithOneKey(out);
    out->F32(0.0f);  // angle, then axis
    out->F32(0.0f);
    out->F32(0.0f);
    out->F32(1.0f);
    out->Close(rotation);
    size_t scale = out->Open(kScaleTrack);
    OpenTrackWithOneKey(out);
    for (int i = 0; i < 3; ++i) out->F32(1.0f);
    out->Close(scale);
    out->Close(node);
}

}  // namespace

std::vector<uint8_t> Encode3ds(const SceneFile& scene) {
    ChunkSink out;
    size_t root = out.Open(kMain);
    size_t version = out.Open(kVersion);
    out.U32(3);
    out.Close(version);

    size_t editor = out.Open(kEditor);
    size_t meshVersion = out.Open(kMeshVersion);
    out.U32(3);
    out.Close(meshVersion);
    for (const Material& m : scene.materials) WriteMaterial(&out, m);
    size_t masterScale = out.Open(kMasterScale);
    out.F32(1.0f);
    out.Close(masterScale);
    for (const ObjectMesh& mesh : scene.objects) WriteObject(&out, mesh);
    out.Close(editor);

    size_t keyframer = out.Open(kKeyframer);
    size_t header = out.Open(kKeyHeader);
    out.U16(5);
    out.Name("MAXSCENE");
    out.U32(kAnimationFrames);
    out.Close(header);
    size_t frames = out.Open(kKeyFrames);
    out.U32(0);
    out.U32(kAnimationFrames);
    out.Close(frames);
    size_t current = out.Open(kKeyCurrent);
    out.U32(0);
    out.Close(current);
    for (size_t i = 0; i < scene.objects.size(); ++i)
        WriteNode(&out, scene.objects[i], static_cast<uint16_t>(i));
    out.Close(keyframer);

    out.Close(root);
    return out.Take();
}
