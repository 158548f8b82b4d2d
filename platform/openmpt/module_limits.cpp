// Declared sizes of an Impulse Tracker module, checked against the file's length and a
// budget before libopenmpt allocates anything for them. The budget: at most 256 orders,
// instruments, samples and patterns each, patterns of at most 1024 rows, and at most
// 64 MiB of sample data once decoded (compressed samples declare their decoded length).
#include "platform/openmpt/module_limits.h"

#include <cstdint>

namespace {

constexpr size_t kHeaderBytes = 0xC0;  // the tables follow the fixed header
constexpr size_t kOrderCountAt = 0x20, kInstrumentCountAt = 0x22, kSampleCountAt = 0x24, kPatternCountAt = 0x26;
constexpr uint32_t kMaxTableEntries = 256;
constexpr uint32_t kMaxPatternRows = 1024;
constexpr uint64_t kMaxDecodedSampleBytes = uint64_t(64) << 20;
constexpr size_t kSampleHeaderBytes = 0x50;
constexpr size_t kSampleFlagsAt = 0x12, kSampleLengthAt = 0x30, kSampleDataAt = 0x48;
constexpr uint8_t kSampleHasData = 0x01, kSample16Bit = 0x02, kSampleStereo = 0x04, kSampleCompressed = 0x08;
constexpr size_t kPatternHeaderBytes = 8;  // packed length, rows, 4 reserved

uint32_t U16(const std::vector<char>& b, size_t at) { return uint8_t(b[at]) | uint32_t(uint8_t(b[at + 1])) << 8; }
uint32_t U32(const std::vector<char>& b, size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

// True when [at, at + bytes) lies inside the file.
bool Inside(const std::vector<char>& b, uint64_t at, uint64_t bytes) { return at <= b.size() && bytes <= b.size() - at; }

}  // namespace

bool CheckModuleSizes(const std::vector<char>& bytes, std::string* error) {
    if (bytes.size() < kHeaderBytes || bytes[0] != 'I' || bytes[1] != 'M' || bytes[2] != 'P' || bytes[3] != 'M')
        return true;
    const uint32_t orders = U16(bytes, kOrderCountAt), instruments = U16(bytes, kInstrumentCountAt);
    const uint32_t samples = U16(bytes, kSampleCountAt), patterns = U16(bytes, kPatternCountAt);
    if (orders > kMaxTableEntries || instruments > kMaxTableEntries || samples > kMaxTableEntries ||
        patterns > kMaxTableEntries) {
        *error = "declares " + std::to_string(orders) + " orders, " + std::to_string(instruments) + " instruments, " +
                 std::to_string(samples) + " samples and " + std::to_string(patterns) + " patterns (at most " +
                 std::to_string(kMaxTableEntries) + " of each are read)";
        return false;
    }
    const size_t sampleTable = kHeaderBytes + orders + 4 * size_t(instruments);
    const size_t patternTable = sampleTable + 4 * size_t(samples);
    if (!Inside(bytes, 0, patternTable + 4 * size_t(patterns))) {
        *error = "its tables of orders, instruments, samples and patterns run past the end of the file";
        return false;
    }
    uint64_t decodedSampleBytes = 0;
    for (uint32_t i = 0; i < samples; ++i) {
        const size_t at = U32(bytes, sampleTable + 4 * i);
        if (!Inside(bytes, at, kSampleHeaderBytes)) {
            *error = "sample " + std::to_string(i + 1) + "'s header lies past the end of the file";
            return false;
        }
        const uint8_t flags = uint8_t(bytes[at + kSampleFlagsAt]);
        if ((flags & kSampleHasData) == 0) continue;
        const uint64_t length = uint64_t(U32(bytes, at + kSampleLengthAt)) * ((flags & kSample16Bit) ? 2 : 1) *
                                ((flags & kSampleStereo) ? 2 : 1);
        decodedSampleBytes += length;
        // Compressed data is shorter than what it decodes to: only its start is checked.
        if (!Inside(bytes, U32(bytes, at + kSampleDataAt), (flags & kSampleCompressed) ? 0 : length)) {
            *error = "sample " + std::to_string(i + 1) + " declares " + std::to_string(length) +
                     " bytes of data that run past the end of the file";
            return false;
        }
    }
    if (decodedSampleBytes > kMaxDecodedSampleBytes) {
        *error = "its samples declare " + std::to_string(decodedSampleBytes) + " bytes (at most " +
                 std::to_string(kMaxDecodedSampleBytes) + " are read)";
        return false;
    }
    for (uint32_t i = 0; i < patterns; ++i) {
        const size_t at = U32(bytes, patternTable + 4 * i);
        if (at == 0) continue;  // an empty pattern of 64 rows
        if (!Inside(bytes, at, kPatternHeaderBytes) || !Inside(bytes, at + kPatternHeaderBytes, U16(bytes, at))) {
            *error = "pattern " + std::to_string(i) + " runs past the end of the file";
            return false;
        }
        if (U16(bytes, at + 2) > kMaxPatternRows) {
            *error = "pattern " + std::to_string(i) + " declares " + std::to_string(U16(bytes, at + 2)) +
                     " rows (at most " + std::to_string(kMaxPatternRows) + ")";
            return false;
        }
    }
    return true;
}
