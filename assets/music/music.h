// The soundtrack generator: an Impulse Tracker (.it) writer, the synthesised sample set and
// the composed song "funk.it". Build-time code only; the show never links it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace music {

constexpr int kSampleRate = 44100;   // rate every sample is synthesised at, Hz
constexpr int kMaxChannels = 64;     // channels an IT pattern can address
constexpr int kMaxRows = 200;        // rows an IT pattern can hold
constexpr int kNoteCut = 254;        // IT note value "^^^": silence the channel at once
constexpr int kNoteOff = 255;        // IT note value "===": release

// IT effect numbers (effect column letter A = 1 ... Z = 26).
enum Effect : uint8_t {
    kFxNone = 0,
    kFxVolumeSlide = 4,    // D
    kFxVibrato = 8,        // H: high nibble speed, low nibble depth
    kFxSpecial = 19,       // S: 0xDx = note delay of x ticks
};

// One pattern cell. Empty fields are not written to the file.
struct Cell {
    int16_t note = -1;     // -1 none; 0-119 pitch (60 = C-5, same numbering as MIDI); 254 cut; 255 off
    uint8_t sample = 0;    // 1-based sample number; 0 none
    int8_t volume = -1;    // -1 none; 0-64 volume column
    uint8_t effect = 0;    // kFx*; 0 none
    uint8_t param = 0;     // effect parameter
    bool Empty() const { return note < 0 && sample == 0 && volume < 0 && effect == 0; }
};

// A pattern of rows x kMaxChannels cells, row-major.
struct Pattern {
    int rows = 64;         // 1 to kMaxRows; more once cells is resized to rows x kMaxChannels
    std::vector<Cell> cells = std::vector<Cell>(kMaxRows * kMaxChannels);
    Cell& At(int row, int channel) { return cells[row * kMaxChannels + channel]; }
    const Cell& At(int row, int channel) const { return cells[row * kMaxChannels + channel]; }
};

// A 16-bit signed mono sample.
struct Sample {
    std::string name;              // up to 25 characters
    std::vector<int16_t> pcm;
    uint32_t c5Speed = kSampleRate; // playback rate of note C-5 (60), Hz
    bool loop = false;             // forward loop over [loopStart, loopEnd), in sample frames
    uint32_t loopStart = 0;
    uint32_t loopEnd = 0;
    uint8_t globalVolume = 64;     // 0-64
    uint8_t defaultVolume = 64;    // 0-64
};

struct Module {
    std::string name;                    // up to 25 characters
    uint8_t initialSpeed = 6;            // ticks per row
    uint8_t initialTempo = 125;          // beats per minute; a row lasts speed * 2.5 / tempo s
    uint8_t globalVolume = 128;          // 0-128
    uint8_t mixVolume = 48;              // 0-128
    std::array<uint8_t, kMaxChannels> channelPan{};     // 0 (left) - 64 (right); +128 disables
    std::array<uint8_t, kMaxChannels> channelVolume{};  // 0-64
    std::vector<uint8_t> orders;         // pattern numbers in play order, without the end marker
    std::vector<Sample> samples;         // sample 1 is samples[0]
    std::vector<Pattern> patterns;
};

// Appends the IT packed row stream of `pattern` (no 8-byte pattern header) to `out`: per
// non-empty cell a channel marker, a mask when it changed, and only the fields that differ
// from the channel's previous values in this pattern; a 0 byte ends each row.
void PackPattern(const Pattern& pattern, std::vector<uint8_t>& out);

// Serialises `module` as an Impulse Tracker file in sample mode (stereo, linear slides).
std::vector<uint8_t> WriteModule(const Module& module);

// --- Synthesis helpers (deterministic: plain double arithmetic, no libm) ---

// sin(2 pi turns), accurate to about 1e-12.
double Sine(double turns);
// 2^x.
double Exp2(double x);
// Frequency of MIDI pitch `note` (69 = A 440 Hz), Hz.
double NoteHz(double note);
// Smooth saturation, odd, |result| < 1.
double SoftClip(double x);

// xorshift32 noise with a fixed seed: the same sequence on every run.
struct Noise {
    uint32_t state;
    explicit Noise(uint32_t seed) : state(seed ? seed : 1u) {}
    double Next();  // uniform in [-1, 1)
};

// Converts doubles in [-1, 1] to 16-bit PCM after scaling the peak to `peak` (0-1).
std::vector<int16_t> ToPcm(const std::vector<double>& signal, double peak);

// The song's sample set, numbered from 1 in the order of the SampleId enum.
enum SampleId : uint8_t {
    kKick = 1, kSnare, kClosedHat, kOpenHat, kClap, kCrash, kTom,
    kBass, kPiano, kClav, kBrass, kLead, kPad
};
std::vector<Sample> MakeSamples();

// The whole song "funk.it": 34 orders, 112 beats per minute, one row per sixteenth note.
Module ComposeSong();

}  // namespace music
