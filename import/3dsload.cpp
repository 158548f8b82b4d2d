// 3DS chunk reader: walks a 3DS file's chunk tree and takes out one named object's mesh lists.
//
// The walk descends root -> 0x3D3D (scene) -> 0x4000 (named object) -> 0x4100 (mesh) ->
// 0x4110 vertices / 0x4120 faces (with 0x4130 material groups) / 0x4140 mapping, and skips
// every other chunk by reading through it. All loops compare one shared byte position with
// their own chunk's end, so a child that claims to reach past its parent still ends the
// parent's loop. Reading never seeks; the end of the file stops every loop.
//
// Every file is walked twice: a first walk checks what each chunk and list declares against
// the file's length, its chunk and the budget of import.h, allocating nothing, and refuses
// the whole file at the first declared size beyond them; only then does the second walk
// read the lists.
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "import/import.h"
#include "platform/interface/utf8_paths.h"

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
        FILE* f = utf8::OpenFile(filename, "rb");
        if (!f) return false;
        Attach(f);
        return true;
    }

    // As TryOpen, but a file that cannot be opened fails the assertion naming the open, in
    // every build type (the check does not depend on NDEBUG), and the program aborts.
    void Open(const char* filename) {
        FILE* f = nullptr;
        if (!(f = utf8::OpenFile(filename, "rb"))) {
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

    // The file's length in bytes, or INT64_MAX when it is not a regular file.
    int64_t Size() const { return size_; }

    // Ends every chunk loop, as the end of the file does.
    void Stop() { atEnd = true; }

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
    int64_t start = 0;        // position of the header
    int64_t end = 0;          // start + length, without wrapping
    ChunkFile* file = nullptr;

    // Reads id and length from file; false when the header is cut off by the end of the file.
    bool ReadHeader(ChunkFile* from) {
        file = from;
        start = from->position;
        id = static_cast<int32_t>(from->ReadU16());
        const uint32_t raw = from->ReadU32();
        length = static_cast<int32_t>(raw);
        endPosition = static_cast<int32_t>(static_cast<uint32_t>(from->position) + raw - 6u);
        end = start + raw;
        return !from->atEnd;
    }

    bool HasMore() const { return !file->atEnd && file->position < end; }

    // Bytes from the current position to the chunk's end (negative once past it).
    int64_t Left() const { return end - file->position; }

    // Reads and discards up to n bytes of the chunk (to its end at most).
    void SkipBytes(int64_t n) const {
        uint8_t scratch[kSkipBlock];
        for (int64_t left = std::min(n, Left()); left > 0 && !file->atEnd;) {
            const size_t got = file->ReadBytes(scratch, static_cast<size_t>(std::min<int64_t>(left, kSkipBlock)));
            left -= static_cast<int64_t>(got);
        }
    }

    // Reads and discards the rest of the chunk; nothing if the position is already past it.
    void Skip() const { SkipBytes(Left()); }

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

// The walk of one file. Checking (no name, no listing) visits every object and stores
// nothing; with a requested name it fills one ObjectData; listing reads every object into
// its own ObjectData and records its counts. Every walk refuses what the check refuses.
class ObjectWalker {
public:
    ObjectWalker(ChunkFile* file, FILE* trace) : file_(file), trace_(trace) {}

    // Walks the whole file from its root chunk: fills result with the object named wanted,
    // or (wanted null) appends every object's counts to listing when it is given. Returns
    // false with the reason when a declared size is refused (the walk stops there).
    bool Walk(const char* wanted, ObjectData* result, std::vector<ObjectSummary>* listing, std::string* refusal) {
        wanted_ = wanted;
        result_ = result;
        listing_ = listing;
        Chunk root;
        if (Header(&root, 0)) {
            while (root.HasMore()) {
                Chunk child;
                if (!Header(&child, 1)) break;
                if (child.id == static_cast<int32_t>(kChunkScene)) WalkScene(child);
                child.Skip();
            }
            root.Skip();
        }
        if (refusal_.empty()) return true;
        *refusal = refusal_;
        return false;
    }

private:
    // Records the first refusal and ends every loop of the walk.
    void Refuse(const std::string& reason) {
        if (refusal_.empty()) refusal_ = reason;
        file_->Stop();
    }

    // False (the file refused) when count entries of entryBytes each do not fit in what is
    // left of list, or count is beyond limit; what names the entries in the reason.
    bool CountFits(const Chunk& list, uint32_t count, int entryBytes, uint32_t limit, const char* what) {
        const bool overBudget = count > limit;
        if (!overBudget && int64_t(count) * entryBytes <= list.Left()) return true;
        const std::string object = "object \"" + std::string(objectName_) + "\" declares " + std::to_string(count) + " " + what;
        Refuse(overBudget ? object + " (at most " + std::to_string(limit) + " are read)"
                          : object + ", more than its chunk of " + std::to_string(list.length) + " bytes holds");
        return false;
    }

    // Reads a header at the given nesting level and traces it; false at end of file, or
    // when its length reaches past the end of the file (a length shorter than the header
    // ends the chunk at once).
    bool Header(Chunk* chunk, int level) {
        if (!chunk->ReadHeader(file_)) return false;
        if (chunk->end > file_->Size()) {
            char where[96];
            std::snprintf(where, sizeof where, "chunk %04x at byte %lld declares %u bytes",
                          static_cast<unsigned>(chunk->id), static_cast<long long>(chunk->start),
                          static_cast<unsigned>(chunk->length));
            Refuse(std::string(where) + ", past the end of the file (" + std::to_string(file_->Size()) + " bytes)");
            return false;
        }
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
                if (++objectCount_ > kMaxReadObjects) {
                    Refuse("it holds more than " + std::to_string(kMaxReadObjects) + " objects");
                    break;
                }
                char name[kObjectNameRoom];
                file_->ReadString(name, kObjectNameRoom);
                objectName_ = name;
                if (trace_) std::fprintf(trace_, "%s\n", name);
                if (listing_) {
                    ListObject(child, name);
                } else if (!wanted_) {
                    WalkObject(child, nullptr);
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

    // Walks one object's mesh chunks into data; data null checks the lists without reading them.
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
                case kChunkVertices: ReadVertices(child, data); break;
                case kChunkFaces: ReadFaces(child, data); break;
                case kChunkMapping: ReadMapping(child, data); break;
                default: break;
            }
            child.Skip();
        }
    }

    // Decodes every entry of list from entryBytes of the file each; stops at the end of the file.
    template <int entryBytes, typename Entry, typename Decode>
    void ReadEntries(std::vector<Entry>* list, Decode decode) {
        for (Entry& entry : *list) {
            uint8_t b[entryBytes];
            if (file_->ReadBytes(b, sizeof b) < sizeof b) break;
            decode(b, &entry);
        }
    }

    // Vertex list: replaces the vertices and resets every mapping pair to (0, 0). The file
    // stores x, z, y.
    void ReadVertices(const Chunk& list, ObjectData* data) {
        const uint32_t count = file_->ReadU16();
        if (!CountFits(list, count, kVertexBytes, kMaxReadVertices, "vertices") || !data) return;
        data->vertexCount = static_cast<int32_t>(count);
        data->vertices.assign(count, Vec3{0, 0, 0});
        data->mapping.assign(count, MapCoord{0, 0});
        ReadEntries<kVertexBytes>(&data->vertices, [](const uint8_t* b, Vec3* v) {
            v->x = DecodeFloat(b);
            v->z = DecodeFloat(b + 4);
            v->y = DecodeFloat(b + 8);
        });
    }

    // Face list: replaces the faces; the flags word is dropped. Material groups (0x4130)
    // that follow the entries are read through and change nothing.
    void ReadFaces(const Chunk& list, ObjectData* data) {
        const uint32_t count = file_->ReadU16();
        if (!CountFits(list, count, kFaceBytes, kMaxReadFaces, "faces")) return;
        if (data) {
            data->faceCount = static_cast<int32_t>(count);
            data->faces.assign(count, ObjectFace{0, 0, 0, 0});
            ReadEntries<kFaceBytes>(&data->faces, [](const uint8_t* b, ObjectFace* f) {
                f->a = DecodeU16(b);
                f->b = DecodeU16(b + 2);
                f->c = DecodeU16(b + 4);
            });
        } else {
            list.SkipBytes(int64_t(count) * kFaceBytes);
        }
        while (list.HasMore()) {
            Chunk child;
            if (!Header(&child, 5)) break;
            if (child.id == static_cast<int32_t>(kChunkFaceMaterial)) {
                char material[kMaterialNameRoom];
                file_->ReadString(material, kMaterialNameRoom);
                const uint32_t n = file_->ReadU16();
                if (!CountFits(child, n, 2, kMaxReadFaces, "faces in a material group")) break;
                child.SkipBytes(int64_t(n) * 2);
            }
            child.Skip();
        }
    }

    // Mapping list: pair i becomes (u, -v) of vertex i. Pairs beyond the current vertex
    // list (or met before any) are read and dropped.
    void ReadMapping(const Chunk& list, ObjectData* data) {
        const uint32_t count = file_->ReadU16();
        if (!CountFits(list, count, 2 * 4, kMaxReadVertices, "mapping pairs") || !data) return;
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
    int32_t objectCount_ = 0;
    const char* objectName_ = "";  // the object being walked
    std::string refusal_;
};

// Checks the whole of an open file as the walks will read it; false with the reason when
// it is refused. Leaves the file closed.
bool CheckFile(ChunkFile* file, std::string* refusal) {
    const bool fits = ObjectWalker(file, nullptr).Walk(nullptr, nullptr, nullptr, refusal);
    file->Close();
    return fits;
}

}  // namespace

void LoadObject(ObjectData* result, const char* fileName, const char* objectName) {
    ChunkFile file;
    file.Open(fileName);
    std::string refusal;
    if (!CheckFile(&file, &refusal)) {
        std::fprintf(stderr, "LoadObject: \"%s\": %s; the file is refused\n", fileName, refusal.c_str());
        *result = ObjectData{};
        return;
    }
    file.Open(fileName);
    ObjectWalker(&file, stdout).Walk(objectName, result, nullptr, &refusal);
    file.Close();
    DropFacesOutOfRange(result);
}

bool ListObjects(const char* fileName, std::vector<ObjectSummary>* objects, std::string* error) {
    ChunkFile file;
    std::string refusal = "cannot be opened";
    if (!file.TryOpen(fileName) || !CheckFile(&file, &refusal) || !file.TryOpen(fileName)) {
        if (error) *error = refusal;
        return false;
    }
    ObjectWalker(&file, nullptr).Walk(nullptr, nullptr, objects, &refusal);
    return true;
}
