// Builds 3DS files in memory for tests and benchmarks: nested chunks with patched lengths.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

class ChunkWriter {
public:
    // Opens a chunk; its length is patched by the matching End.
    ChunkWriter& Begin(uint16_t id) {
        U16(id);
        open_.push_back(bytes_.size());
        return U32(0);
    }
    // Closes the innermost chunk; extra is added to the true length (negative: shorter).
    ChunkWriter& End(int32_t extra = 0) {
        const size_t at = open_.back();
        open_.pop_back();
        const uint32_t length = static_cast<uint32_t>(bytes_.size() - at + 2 + extra);
        std::memcpy(&bytes_[at], &length, 4);  // little-endian host
        return *this;
    }
    ChunkWriter& U16(uint16_t v) { return Raw(&v, 2); }
    ChunkWriter& U32(uint32_t v) { return Raw(&v, 4); }
    ChunkWriter& Float(float v) { return Raw(&v, 4); }
    ChunkWriter& String(const std::string& s) { return Raw(s.c_str(), s.size() + 1); }
    ChunkWriter& Raw(const void* p, size_t n) {
        const auto* b = static_cast<const uint8_t*>(p);
        bytes_.insert(bytes_.end(), b, b + n);
        return *this;
    }

    // Vertex list: count, then (x, y, z) as stored in the file.
    ChunkWriter& Vertices(const std::vector<float>& xyz) {
        Begin(0x4110).U16(static_cast<uint16_t>(xyz.size() / 3));
        for (float f : xyz) Float(f);
        return End();
    }
    // Face list: count, then (a, b, c, flags) per face; no sub-chunks (caller may add before End).
    ChunkWriter& FacesBegin(const std::vector<uint16_t>& abc) {
        Begin(0x4120).U16(static_cast<uint16_t>(abc.size() / 3));
        for (size_t i = 0; i < abc.size(); i += 3) U16(abc[i]).U16(abc[i + 1]).U16(abc[i + 2]).U16(7);
        return *this;
    }
    ChunkWriter& Mapping(const std::vector<float>& uv) {
        Begin(0x4140).U16(static_cast<uint16_t>(uv.size() / 2));
        for (float f : uv) Float(f);
        return End();
    }

    const std::vector<uint8_t>& bytes() const { return bytes_; }

    // Writes the bytes to path (whole chunks must be closed by the caller).
    void Save(const std::string& path) const {
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) return;
        std::fwrite(bytes_.data(), 1, bytes_.size(), f);
        std::fclose(f);
    }

private:
    std::vector<uint8_t> bytes_;
    std::vector<size_t> open_;
};
