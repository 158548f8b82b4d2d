// 3DS chunk reader: walks a 3DS file's chunk tree and takes out one named object's mesh lists.
//
// The walk descends root -> 0x3D3D (scene) -> 0x4000 (named object) -> 0x4100 (mesh) ->
// 0x4110 vertices / 0x4120 faces (with 0x4130 material groups) / 0x4140 mapping, and skips
// every other chunk by reading through it. All loops compare one shared byte position with
// their own chunk's end, so a child that claims to reach past its parent still ends the
// parent's loop. Reading never seeks; the end of the file stops every loop.
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "import/import.h"

// glibc's assertion report (declared by <assert.h> only when NDEBUG is off); the failed open
// is reported through it in every build type.
extern "C" void __assert_fail(const char* assertion, const char* file, unsigned int line,
                              const char* function) noexcept __attribute__((__noreturn__));

namespace {

// Room for names, terminator included; longer names are cut and the rest consumed.
constexpr int kObjectNameRoom = 32;
constexpr int kMaterialNameRoom = 20;
static_assert(sizeof(ObjectSummary::name) == kObjectNameRoom);
constexpr int kSkipBlock = 4096;

constexpr uint32_t kChunkScene = 0x3D3D;
constexpr uint32_t kChunkObject = 0x4000;
constexpr uint32_t kChunkMesh = 0x4100;
constexpr uint32_t kChunkVertices = 0x4110;
constexpr uint32_t kChunkFaces = 0x4120;
constexpr uint32_t kChunkFaceMaterial = 0x4130;
constexpr uint32_t kChunkMapping = 0x4140;

// Trace indents by nesting level 1 to 5; the root (level 0) is printed without one.
constexpr const char* kIndent[] = {"", " ", "  ", "   ", "    ", "     "};

constexpr int kVertexBytes = 12;  // three floats
constexpr int kFaceBytes = 8;     // a, b, c, flags as u16

uint16_t DecodeU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t DecodeU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

float DecodeFloat(const uint8_t* p) {
    const uint32_t bits = DecodeU32(p);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// An open 3DS file and the count of bytes consumed from it. A read that comes up short
// (end of file, or 2^31 - 1 bytes consumed) sets atEnd, which ends every chunk loop.
class ChunkFile {
public:
    ChunkFile() = default;
    ChunkFile(const ChunkFile&) = delete;
    ChunkFile& operator=(const ChunkFile&) = delete;
    ~ChunkFile() { Close(); }

    // Opens filename for binary reading; returns false when it cannot be opened.
    bool TryOpen(const char* filename) {
        FILE* f = std::fopen(filename, "rb");
        if (!f) return false;
        Attach(f);
        return true;
    }

    // As TryOpen, but a file that cannot be opened fails the assertion naming the open, in
    // every build type (the check does not depend on NDEBUG), and the program aborts.
    void Open(const char* filename) {
        FILE* f = nullptr;
        if (!(f = std::fopen(filename, "rb"))) {
            std::fflush(stdout);
            __assert_fail("f=fopen(filename,\"rb\")", "import/3dsload.cpp", __LINE__,
                          __PRETTY_FUNCTION__);
        }
        Attach(f);
    }

    void Close() {
        if (f_) std::fclose(f_);
        f_ = nullptr;
    }

    // Reads up to n bytes into dst; returns the count read. Advances position by that count.
    size_t ReadBytes(uint8_t* dst, size_t n) {
        const size_t room = static_cast<size_t>(INT32_MAX - position);
        const size_t want = std::min(n, room);
        const size_t got = want ? std::fread(dst, 1, want, f_) : 0;
        position += static_cast<int32_t>(got);
        if (got < n) atEnd = true;
        return got;
    }

    uint32_t ReadByte() {
        uint8_t b[1] = {0};
        ReadBytes(b, 1);
        return b[0];
    }
    uint32_t ReadU16() {
        uint8_t b[2] = {0, 0};
        ReadBytes(b, 2);
        return DecodeU16(b);
    }
    uint32_t ReadU32() {
        uint8_t b[4] = {0, 0, 0, 0};
        ReadBytes(b, 4);
        return DecodeU32(b);
    }
    float ReadFloat() {
        uint8_t b[4] = {0, 0, 0, 0};
        ReadBytes(b, 4);
        return DecodeFloat(b);
    }

    // Reads a zero-terminated string into buf (capacity bytes, terminator included). The
    // bytes beyond the room are consumed up to and including the zero, or to end of file.
    void ReadString(char* buf, int capacity) {
        int n = 0;
        for (;;) {
            uint8_t c = 0;
            if (ReadBytes(&c, 1) == 0 || c == 0) break;
            if (n < capacity - 1) buf[n++] = static_cast<char>(c);
        }
        buf[n] = '\0';
    }

    // How many whole entries of entryBytes each the rest of the file can still hold; counts
    // read from the file are bounded by this before anything is allocated.
    int32_t EntriesLeft(int entryBytes) const {
        const int64_t left = std::max<int64_t>(0, size_ - position);
        return static_cast<int32_t>(std::min<int64_t>(left / entryBytes, INT32_MAX));
    }

    int32_t position = 0;  // bytes consumed since opening
    bool atEnd = false;

private:
    void Attach(FILE* f) {
        f_ = f;
        position = 0;
        atEnd = false;
        struct stat info;
        if (fstat(fileno(f_), &info) == 0 && S_ISREG(info.st_mode)) size_ = info.st_size;
    }

    FILE* f_ = nullptr;
    int64_t size_ = INT64_MAX;  // file size when known (regular files)
};

// One chunk header and where the chunk ends, in bytes from the start of the file.
struct Chunk {
    int32_t id = 0;
    int32_t length = 0;       // whole chunk, header included, as stored (u32 shown signed)
    int32_t endPosition = 0;  // position after the header + length - 6, wrapping at 32 bits
    ChunkFile* file = nullptr;

    // Reads id and length from file; false when the header is cut off by the end of the file.
    bool ReadHeader(ChunkFile* from) {
        file = from;
        id = static_cast<int32_t>(from->ReadU16());
        const uint32_t raw = from->ReadU32();
        length = static_cast<int32_t>(raw);
        endPosition = static_cast<int32_t>(static_cast<uint32_t>(from->position) + raw - 6u);
        return !from->atEnd;
    }

    bool HasMore() const { return !file->atEnd && file->position < endPosition; }

    // Reads and discards the rest of the chunk; nothing if the position is already past it.
    void Skip() {
        uint8_t scratch[kSkipBlock];
        while (HasMore()) {
            const int32_t left = endPosition - file->position;
            file->ReadBytes(scratch, static_cast<size_t>(std::min(left, kSkipBlock)));
        }
    }

    void PrintHeader(FILE* out) const { PrintHeader(out, ""); }
    void PrintHeader(FILE* out, const char* indent) const {
        std::fprintf(out, "%sCHUNK: id:%x length:%i endpos:%i\n", indent,
                     static_cast<unsigned>(id), length, endPosition);
    }
};

// Drops faces that name a vertex at or beyond vertexCount, so every face stays in range.
void DropFacesOutOfRange(ObjectData* data) {
    const int32_t n = data->vertexCount;
    std::erase_if(data->faces,
                  [n](const ObjectFace& f) { return f.a >= n || f.b >= n || f.c >= n; });
    data->faceCount = static_cast<int32_t>(data->faces.size());
}

// The walk of one file. With a requested name it fills one ObjectData; without one
// (listing) it reads every object into its own ObjectData and records its counts.
class ObjectWalker {
public:
    ObjectWalker(ChunkFile* file, FILE* trace) : file_(file), trace_(trace) {}

    // Walks the whole file from its root chunk: fills result with the object named wanted,
    // or (wanted null) appends every object's counts to listing.
    void Walk(const char* wanted, ObjectData* result, std::vector<ObjectSummary>* listing) {
        wanted_ = wanted;
        result_ = result;
        listing_ = listing;
        Chunk root;
        if (!Header(&root, 0)) return;
        while (root.HasMore()) {
            Chunk child;
            if (!Header(&child, 1)) break;
            if (child.id == static_cast<int32_t>(kChunkScene)) WalkScene(child);
            child.Skip();
        }
        root.Skip();
    }

private:
    // Reads a header at the given nesting level and traces it; false at end of file.
    bool Header(Chunk* chunk, int level) {
        if (!chunk->ReadHeader(file_)) return false;
        if (!trace_) return true;
        if (level == 0) {
            chunk->PrintHeader(trace_);
        } else {
            chunk->PrintHeader(trace_, kIndent[level]);
        }
        return true;
    }

    void WalkScene(const Chunk& scene) {
        while (scene.HasMore()) {
            Chunk child;
            if (!Header(&child, 2)) break;
            if (child.id == static_cast<int32_t>(kChunkObject)) {
                char name[kObjectNameRoom];
                file_->ReadString(name, kObjectNameRoom);
                if (trace_) std::fprintf(trace_, "%s\n", name);
                if (listing_) {
                    ListObject(child, name);
                } else if (std::strcmp(name, wanted_) == 0) {
                    WalkObject(child, result_);
                }
            }
            child.Skip();
        }
    }

    void ListObject(const Chunk& object, const char* name) {
        ObjectData data;
        mappingCount_ = 0;
        WalkObject(object, &data);
        DropFacesOutOfRange(&data);
        ObjectSummary summary{};
        std::memcpy(summary.name, name, std::strlen(name) + 1);  // both kObjectNameRoom
        summary.vertexCount = data.vertexCount;
        summary.faceCount = data.faceCount;
        summary.mappingCount = mappingCount_;
        listing_->push_back(summary);
    }

    void WalkObject(const Chunk& object, ObjectData* data) {
        while (object.HasMore()) {
            Chunk child;
            if (!Header(&child, 3)) break;
            if (child.id == static_cast<int32_t>(kChunkMesh)) WalkMesh(child, data);
            child.Skip();
        }
    }

    void WalkMesh(const Chunk& mesh, ObjectData* data) {
        while (mesh.HasMore()) {
            Chunk child;
            if (!Header(&child, 4)) break;
            switch (static_cast<uint32_t>(child.id)) {
                case kChunkVertices: ReadVertices(data); break;
                case kChunkFaces: ReadFaces(child, data); break;
                case kChunkMapping: ReadMapping(data); break;
                default: break;
            }
            child.Skip();
        }
    }

    // Vertex list: replaces the vertices and resets every mapping pair to (0, 0). The file
    // stores x, z, y. A count larger than the rest of the file can hold is cut to fit.
    void ReadVertices(ObjectData* data) {
        const int32_t count =
            std::min(static_cast<int32_t>(file_->ReadU16()), file_->EntriesLeft(kVertexBytes));
        data->vertexCount = count;
        data->vertices.assign(static_cast<size_t>(count), Vec3{0, 0, 0});
        data->mapping.assign(static_cast<size_t>(count), MapCoord{0, 0});
        for (Vec3& v : data->vertices) {
            uint8_t b[kVertexBytes];
            if (file_->ReadBytes(b, sizeof b) < sizeof b) break;
            v.x = DecodeFloat(b);
            v.z = DecodeFloat(b + 4);
            v.y = DecodeFloat(b + 8);
        }
    }

    // Face list: replaces the faces; the flags word is dropped. Material groups (0x4130)
    // that follow the entries are read through and change nothing.
    void ReadFaces(const Chunk& list, ObjectData* data) {
        const int32_t count =
            std::min(static_cast<int32_t>(file_->ReadU16()), file_->EntriesLeft(kFaceBytes));
        data->faceCount = count;
        data->faces.assign(static_cast<size_t>(count), ObjectFace{0, 0, 0, 0});
        for (ObjectFace& f : data->faces) {
            uint8_t b[kFaceBytes];
            if (file_->ReadBytes(b, sizeof b) < sizeof b) break;
            f.a = DecodeU16(b);
            f.b = DecodeU16(b + 2);
            f.c = DecodeU16(b + 4);
        }
        while (list.HasMore()) {
            Chunk child;
            if (!Header(&child, 5)) break;
            if (child.id == static_cast<int32_t>(kChunkFaceMaterial)) {
                char material[kMaterialNameRoom];
                file_->ReadString(material, kMaterialNameRoom);
                const uint32_t n = file_->ReadU16();
                for (uint32_t i = 0; i < n && !file_->atEnd; ++i) file_->ReadU16();
            }
            child.Skip();
        }
    }

    // Mapping list: pair i becomes (u, -v) of vertex i. Pairs beyond the current vertex
    // list (or met before any) are read and dropped.
    void ReadMapping(ObjectData* data) {
        const uint32_t count = file_->ReadU16();
        mappingCount_ = static_cast<int32_t>(count);
        for (uint32_t i = 0; i < count && !file_->atEnd; ++i) {
            const float u = file_->ReadFloat();
            const float v = file_->ReadFloat();
            if (i < data->mapping.size() && !file_->atEnd) data->mapping[i] = MapCoord{u, -v};
        }
    }

    ChunkFile* file_;
    FILE* trace_;
    const char* wanted_ = nullptr;
    ObjectData* result_ = nullptr;
    std::vector<ObjectSummary>* listing_ = nullptr;
    int32_t mappingCount_ = 0;
};

}  // namespace

void LoadObject(ObjectData* result, const char* fileName, const char* objectName) {
    ChunkFile file;
    file.Open(fileName);
    ObjectWalker(&file, stdout).Walk(objectName, result, nullptr);
    file.Close();
    DropFacesOutOfRange(result);
}

bool ListObjects(const char* fileName, std::vector<ObjectSummary>* objects) {
    ChunkFile file;
    if (!file.TryOpen(fileName)) return false;
    ObjectWalker(&file, nullptr).Walk(nullptr, nullptr, objects);
    return true;
}
