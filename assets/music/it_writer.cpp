// Impulse Tracker file writer: header, order list, parapointers, sample headers, packed
// patterns and raw 16-bit sample data, all little-endian.
#include "assets/music/music.h"

namespace music {

namespace {

constexpr uint16_t kTrackerVersion = 0x0214;  // Cwt/v and Cmwt: the 2.14 format
constexpr uint16_t kFlagStereo = 0x01;
constexpr uint16_t kFlagLinearSlides = 0x08;
constexpr uint8_t kOrderEnd = 255;
constexpr uint8_t kSampleHasData = 0x01;
constexpr uint8_t kSample16Bit = 0x02;
constexpr uint8_t kSampleLoop = 0x10;
constexpr uint8_t kConvertSigned = 0x01;

// Mask bits of a packed cell: a field read from the stream, or the channel's last value reused.
constexpr uint8_t kReadNote = 0x01, kReadSample = 0x02, kReadVolume = 0x04, kReadEffect = 0x08;
constexpr uint8_t kLastNote = 0x10, kLastSample = 0x20, kLastVolume = 0x40, kLastEffect = 0x80;

void Put8(std::vector<uint8_t>& out, unsigned v) { out.push_back(uint8_t(v)); }
void Put16(std::vector<uint8_t>& out, unsigned v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
void Patch32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = uint8_t(v >> (8 * i));
}
void PutTag(std::vector<uint8_t>& out, const char (&tag)[5]) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(tag[i]));
}
// A fixed-size text field, zero-padded; the last byte is always 0.
void PutText(std::vector<uint8_t>& out, const std::string& text, size_t size) {
    for (size_t i = 0; i < size; ++i) out.push_back(i + 1 < size && i < text.size() ? uint8_t(text[i]) : 0);
}

// Last values a channel's cells left in the packed stream; -1 means nothing yet.
struct ChannelMemory {
    int mask = -1, note = -1, sample = -1, volume = -1, effect = -1, param = -1;
};

}  // namespace

void PackPattern(const Pattern& pattern, std::vector<uint8_t>& out) {
    std::array<ChannelMemory, kMaxChannels> memory{};
    for (int row = 0; row < pattern.rows; ++row) {
        for (int ch = 0; ch < kMaxChannels; ++ch) {
            const Cell& cell = pattern.At(row, ch);
            if (cell.Empty()) continue;
            ChannelMemory& last = memory[ch];
            uint8_t mask = 0;
            if (cell.note >= 0) mask |= cell.note == last.note ? kLastNote : kReadNote;
            if (cell.sample > 0) mask |= cell.sample == last.sample ? kLastSample : kReadSample;
            if (cell.volume >= 0) mask |= cell.volume == last.volume ? kLastVolume : kReadVolume;
            if (cell.effect > 0) {
                const bool same = cell.effect == last.effect && cell.param == last.param;
                mask |= same ? kLastEffect : kReadEffect;
            }
            if (mask == last.mask) {
                Put8(out, ch + 1);
            } else {
                Put8(out, (ch + 1) | 0x80);
                Put8(out, mask);
                last.mask = mask;
            }
            if (mask & kReadNote) Put8(out, last.note = cell.note);
            if (mask & kReadSample) Put8(out, last.sample = cell.sample);
            if (mask & kReadVolume) Put8(out, last.volume = cell.volume);
            if (mask & kReadEffect) {
                Put8(out, last.effect = cell.effect);
                Put8(out, last.param = cell.param);
            }
        }
        Put8(out, 0);
    }
}

std::vector<uint8_t> WriteModule(const Module& module) {
    std::vector<uint8_t> out;
    const size_t orderCount = module.orders.size() + 1;  // with the end marker
    PutTag(out, "IMPM");
    PutText(out, module.name, 26);
    Put8(out, 4);   // row highlight: rows per beat
    Put8(out, 16);  // rows per measure
    Put16(out, unsigned(orderCount));
    Put16(out, 0);  // instruments: sample mode
    Put16(out, unsigned(module.samples.size()));
    Put16(out, unsigned(module.patterns.size()));
    Put16(out, kTrackerVersion);
    Put16(out, kTrackerVersion);
    Put16(out, kFlagStereo | kFlagLinearSlides);
    Put16(out, 0);  // special: no message, no edit history
    Put8(out, module.globalVolume);
    Put8(out, module.mixVolume);
    Put8(out, module.initialSpeed);
    Put8(out, module.initialTempo);
    Put8(out, 128);  // full stereo separation
    Put8(out, 0);    // pitch wheel depth
    Put16(out, 0);   // message length
    Put32(out, 0);   // message offset
    Put32(out, 0);   // reserved
    out.insert(out.end(), module.channelPan.begin(), module.channelPan.end());
    out.insert(out.end(), module.channelVolume.begin(), module.channelVolume.end());
    for (uint8_t order : module.orders) Put8(out, order);
    Put8(out, kOrderEnd);

    // Parapointers: file offsets of each sample header and pattern, patched once known.
    const size_t samplePointers = out.size();
    out.resize(out.size() + 4 * (module.samples.size() + module.patterns.size()));
    const size_t patternPointers = samplePointers + 4 * module.samples.size();

    std::vector<size_t> dataPointerAt(module.samples.size());
    for (size_t i = 0; i < module.samples.size(); ++i) {
        const Sample& s = module.samples[i];
        Patch32(out, samplePointers + 4 * i, uint32_t(out.size()));
        PutTag(out, "IMPS");
        PutText(out, "", 12);  // DOS file name
        Put8(out, 0);
        Put8(out, s.globalVolume);
        Put8(out, kSampleHasData | kSample16Bit | (s.loop ? kSampleLoop : 0));
        Put8(out, s.defaultVolume);
        PutText(out, s.name, 26);
        Put8(out, kConvertSigned);
        Put8(out, 32);  // default pan, not enabled (bit 7 clear)
        Put32(out, uint32_t(s.pcm.size()));
        Put32(out, s.loop ? s.loopStart : 0);
        Put32(out, s.loop ? s.loopEnd : 0);
        Put32(out, s.c5Speed);
        Put32(out, 0);  // sustain loop start
        Put32(out, 0);  // sustain loop end
        dataPointerAt[i] = out.size();
        Put32(out, 0);  // sample data offset, patched below
        Put32(out, 0);  // vibrato speed, depth, rate, waveform
    }
    for (size_t i = 0; i < module.patterns.size(); ++i) {
        const Pattern& p = module.patterns[i];
        Patch32(out, patternPointers + 4 * i, uint32_t(out.size()));
        std::vector<uint8_t> packed;
        PackPattern(p, packed);
        Put16(out, unsigned(packed.size()));
        Put16(out, unsigned(p.rows));
        Put32(out, 0);
        out.insert(out.end(), packed.begin(), packed.end());
    }
    for (size_t i = 0; i < module.samples.size(); ++i) {
        Patch32(out, dataPointerAt[i], uint32_t(out.size()));
        for (int16_t v : module.samples[i].pcm) Put16(out, uint16_t(v));
    }
    return out;
}

}  // namespace music
