// The composition of "funk.it": a funk piece in E dorian at 112 beats per minute, one row per
// sixteenth note, 16 rows per bar. Every order has its own pattern, built from a per-order plan
// of chords (one per bar) and layers (drum grooves, bass riffs, comping, stabs, pad, lead).
#include "assets/music/music.h"

#include <algorithm>
#include <cstring>

namespace music {

namespace {

constexpr int kBar = 16;        // rows per bar
constexpr int kSpeed = 6;       // ticks per row
constexpr int kTempo = 112;     // beats per minute: a row lasts 6 * 2.5 / 112 s = 0.134 s
constexpr int kSwingTicks = 1;  // off-beat sixteenths come one tick late

// Channel layout; chord instruments take one channel per voice.
enum Channel {
    kChKick, kChSnare, kChHat, kChOpenHat, kChClap, kChCrash, kChTom, kChBass,
    kChPiano,                 // 4 voices
    kChClav = kChPiano + 4,
    kChBrass,                 // 3 voices
    kChPad = kChBrass + 3,    // 3 voices
    kChLead = kChPad + 3,
    kChEcho,                  // the lead again, later and softer: a tape echo
    kChannelCount
};

// A chord: its bass root (MIDI, E1 to D#2), third and seventh above the root (semitones) for
// the bass riffs, and four voices for the keyboards (MIDI, G3 to F#4 region).
struct Chord {
    int root, third, seventh;
    int voices[4];
};
constexpr Chord kEm9{28, 3, 10, {55, 59, 62, 66}};
constexpr Chord kA13{33, 4, 10, {55, 61, 64, 66}};
constexpr Chord kCmaj9{36, 4, 11, {55, 59, 62, 64}};
constexpr Chord kBm11{35, 3, 10, {57, 62, 64, 66}};
constexpr Chord kAm9{33, 3, 10, {55, 59, 60, 64}};
constexpr Chord kD9{38, 4, 10, {54, 57, 60, 64}};
constexpr Chord kB7s9{35, 4, 10, {51, 57, 62, 66}};
constexpr Chord kGmaj9{31, 4, 11, {57, 59, 62, 66}};
constexpr Chord kFsm7{30, 3, 10, {57, 61, 64, 66}};

// Degrees a bass riff names, resolved against the chord of the bar.
enum Degree { kRoot, kThird, kFourth, kFifth, kSeventh, kOctave };
int Interval(const Chord& c, Degree d) {
    switch (d) {
        case kRoot: return 0;
        case kThird: return c.third;
        case kFourth: return 5;
        case kFifth: return 7;
        case kSeventh: return c.seventh;
        case kOctave: return 12;
    }
    return 0;
}

struct BassNote { int step; Degree degree; int length; int volume; };
struct LeadNote { int step; int pitch; int length; int volume; };
using BassRiff = std::vector<BassNote>;  // one bar
using Motif = std::vector<LeadNote>;     // one bar, pitches in MIDI

const BassRiff kBassGroove = {{0, kRoot, 2, 64},    {3, kOctave, 1, 42}, {6, kRoot, 1, 56},
                              {8, kSeventh, 1, 48}, {10, kOctave, 1, 60}, {11, kRoot, 2, 54},
                              {13, kThird, 1, 44},  {14, kFourth, 1, 48}, {15, kFifth, 1, 50}};
const BassRiff kBassGroove2 = {{0, kRoot, 1, 64},   {2, kRoot, 1, 36},    {3, kOctave, 1, 52},
                               {5, kRoot, 1, 40},   {6, kFifth, 1, 52},   {7, kSeventh, 1, 48},
                               {8, kOctave, 2, 60}, {11, kRoot, 1, 56},   {12, kOctave, 1, 44},
                               {14, kSeventh, 1, 50}, {15, kFifth, 1, 46}};
const BassRiff kBassIntro = {{0, kRoot, 3, 60}, {3, kRoot, 1, 36}, {6, kOctave, 1, 44},
                             {8, kRoot, 4, 56}, {14, kFifth, 2, 44}};
const BassRiff kBassSolo = {{0, kRoot, 1, 64},   {1, kOctave, 1, 44},  {3, kOctave, 1, 56},
                            {4, kRoot, 1, 60},   {6, kSeventh, 1, 50}, {7, kOctave, 1, 58},
                            {9, kThird, 1, 50},  {10, kFourth, 1, 54}, {11, kFifth, 1, 60},
                            {12, kOctave, 1, 44}, {13, kSeventh, 1, 50}, {14, kFifth, 1, 56},
                            {15, kFourth, 1, 44}};
const BassRiff kBassSmooth = {{0, kRoot, 3, 60},   {3, kFifth, 1, 44},   {6, kOctave, 2, 52},
                              {8, kRoot, 2, 56},   {10, kFifth, 2, 46},  {12, kSeventh, 2, 48},
                              {14, kOctave, 2, 50}};
const BassRiff kBassBuild = {{0, kRoot, 1, 60},   {2, kRoot, 1, 48}, {4, kOctave, 1, 56},
                             {6, kRoot, 1, 48},   {8, kRoot, 1, 60}, {10, kRoot, 1, 48},
                             {12, kOctave, 1, 56}, {14, kFifth, 1, 52}};

// Lead phrases, one bar each, named after the chord they sit on.
const Motif kHookA1 = {{2, 71, 2, 50}, {4, 74, 2, 54}, {6, 76, 4, 60}, {10, 74, 1, 48},
                       {11, 76, 1, 52}, {12, 79, 2, 58}, {14, 78, 2, 54}};
const Motif kHookA2 = {{0, 76, 3, 58}, {3, 73, 2, 50}, {5, 71, 2, 50}, {7, 69, 3, 54},
                       {10, 71, 6, 58}};
const Motif kHookB1 = {{0, 76, 2, 56}, {2, 79, 2, 56}, {4, 81, 3, 62}, {7, 79, 1, 50},
                       {8, 76, 3, 56}, {11, 74, 1, 48}, {12, 76, 4, 58}};
const Motif kHookB2 = {{2, 73, 2, 50}, {4, 74, 2, 52}, {6, 76, 1, 54}, {7, 78, 1, 56},
                       {8, 76, 8, 60}};
const Motif kMelC = {{0, 76, 3, 56}, {3, 74, 1, 48}, {4, 71, 4, 54}, {8, 67, 2, 50},
                     {10, 69, 2, 50}, {12, 71, 4, 54}};
const Motif kMelBm = {{0, 74, 3, 56}, {3, 76, 1, 48}, {4, 78, 6, 58}, {10, 76, 2, 50},
                      {12, 74, 4, 54}};
const Motif kMelAm = {{0, 72, 3, 56}, {3, 71, 1, 48}, {4, 69, 4, 54}, {8, 76, 2, 52},
                      {10, 74, 2, 50}, {12, 72, 4, 54}};
const Motif kMelD = {{0, 69, 3, 54}, {3, 71, 1, 48}, {4, 72, 2, 52}, {6, 74, 2, 54},
                     {8, 78, 8, 60}};
const Motif kMelB7 = {{0, 75, 4, 56}, {4, 78, 4, 58}, {8, 75, 8, 60}};
const Motif kMelG = {{0, 78, 6, 56}, {6, 76, 2, 50}, {8, 74, 4, 54}, {12, 71, 4, 52}};
const Motif kMelFs = {{0, 73, 6, 56}, {6, 76, 2, 50}, {8, 69, 8, 54}};
const Motif kMelEm = {{0, 71, 6, 56}, {6, 74, 2, 50}, {8, 78, 4, 56}, {12, 76, 4, 54}};
const Motif kMelA = {{0, 73, 4, 54}, {4, 76, 4, 56}, {8, 78, 8, 60}};

// Layers an order can switch on.
enum Layer : uint32_t {
    kKickGroove = 1u << 0, kKickFour = 1u << 1, kKickHalf = 1u << 2, kKickIntro = 1u << 3,
    kSnareGroove = 1u << 4, kSnareLight = 1u << 5, kClapBeat = 1u << 6, kRoll = 1u << 7,
    kHats = 1u << 8, kHatsLight = 1u << 9, kHatsOffbeat = 1u << 10, kOpenHats = 1u << 11,
    kBassGrooveA = 1u << 12, kBassGrooveB = 1u << 13, kBassIntroLine = 1u << 14,
    kBassSoloLine = 1u << 15, kBassSmoothLine = 1u << 16, kBassBuildLine = 1u << 17,
    kPianoComp = 1u << 18, kPianoLong = 1u << 19, kClavChops = 1u << 20, kBrassStabs = 1u << 21,
    kPadChords = 1u << 22, kPadSwell = 1u << 23, kFill = 1u << 24, kCrashIn = 1u << 25,
    kStops = 1u << 26, kWordHits = 1u << 27, kFinalChord = 1u << 28, kPianoChorus = 1u << 29,
};

// The plan of one order: its length, a chord per bar and the layers that play.
struct OrderPlan {
    int rows;
    std::vector<const Chord*> bars;
    uint32_t layers;
    std::vector<const Motif*> lead;  // a phrase per bar, nullptr for rest; empty for none
};

constexpr uint32_t kGroove = kKickGroove | kSnareGroove | kHats | kOpenHats;
constexpr uint32_t kSmooth = kKickHalf | kSnareLight | kHats | kBassSmoothLine | kPianoLong | kPadChords;

std::vector<OrderPlan> Plan() {
    const Chord *E = &kEm9, *A = &kA13, *C = &kCmaj9, *Bm = &kBm11, *Am = &kAm9, *D = &kD9,
                *B7 = &kB7s9, *G = &kGmaj9, *Fs = &kFsm7;
    const std::vector<const Chord*> vamp = {E, A, E, A};
    const std::vector<const Chord*> vamp8 = {E, A, E, A, E, A, E, A};
    const std::vector<const Motif*> hookA = {&kHookA1, &kHookA2, &kHookA1, &kHookA2};
    const std::vector<const Motif*> hookB = {&kHookB1, &kHookB2, &kHookB1, &kHookB2};
    const std::vector<const Motif*> hookAB = {&kHookA1, &kHookA2, &kHookB1, &kHookB2};
    return {
        // 0-2: intro under the title; the word hits of orders 1 and 2.
        {64, vamp, kPianoLong | kPadChords | kPadSwell | kHatsLight, {}},
        {128, vamp8, kKickIntro | kHatsLight | kBassIntroLine | kPadChords | kWordHits, {}},
        {128, vamp8, kKickGroove | kSnareLight | kHats | kBassGrooveA | kPadChords | kWordHits | kFill, {}},
        // 3-8: the main groove, building up.
        {64, vamp, kGroove | kBassGrooveA | kClavChops | kCrashIn, {}},
        {64, vamp, kGroove | kBassGrooveA | kClavChops | kPianoComp, {}},
        {64, vamp, kGroove | kBassGrooveA | kClavChops | kPianoComp, hookA},
        {64, vamp, kGroove | kBassGrooveA | kClavChops | kPianoComp, hookAB},
        {64, vamp, kGroove | kBassGrooveB | kClavChops | kPianoComp | kBrassStabs, {}},
        {64, vamp, kGroove | kBassGrooveB | kPianoComp | kBrassStabs | kFill, hookB},
        // 9-14: the chorus on a new progression.
        {32, {C, Bm}, kGroove | kBassGrooveB | kPianoChorus | kBrassStabs | kPadChords | kCrashIn, {}},
        {32, {Am, D}, kGroove | kBassGrooveB | kPianoChorus | kBrassStabs | kPadChords, {}},
        {32, {C, Bm}, kGroove | kBassGrooveB | kPianoChorus | kPadChords, {&kMelC, &kMelBm}},
        {32, {Am, D}, kGroove | kBassGrooveB | kPianoChorus | kPadChords, {&kMelAm, &kMelD}},
        {32, {C, Bm}, kGroove | kBassGrooveB | kPianoChorus | kBrassStabs, {&kMelC, &kMelBm}},
        {32, {Am, B7}, kGroove | kBassGrooveB | kPianoChorus | kBrassStabs | kFill, {&kMelAm, &kMelB7}},
        // 15-17: breakdown on one chord, slap bass in front, then the build.
        {64, {E, E, E, E}, kKickHalf | kClapBeat | kHatsLight | kBassSoloLine | kPadChords | kCrashIn, {}},
        {64, {E, E, E, E}, kKickHalf | kClapBeat | kHats | kBassSoloLine | kPadChords | kClavChops, {}},
        {64, {E, E, A, B7}, kKickFour | kRoll | kHats | kBassBuildLine | kPadChords, {}},
        // 18-22: back in the groove; 20, 21 and 22 each bring something new.
        {64, vamp, kGroove | kBassGrooveA | kClavChops | kPianoComp | kCrashIn, {}},
        {64, vamp, kGroove | kBassGrooveA | kClavChops | kPianoComp | kBrassStabs, {}},
        {32, {C, D}, kGroove | kBassGrooveB | kPianoChorus | kBrassStabs | kPadChords | kCrashIn, {}},
        {32, {Bm, E}, kKickGroove | kSnareGroove | kHatsOffbeat | kBassGrooveA | kClavChops | kCrashIn,
         {&kMelBm, &kMelEm}},
        {32, {Am, B7}, kStops | kHatsLight | kFill | kCrashIn, {}},
        // 23-25: the smooth section.
        {64, {G, Fs, E, A}, kSmooth | kCrashIn, {&kMelG, &kMelFs, &kMelEm, &kMelA}},
        {32, {G, Fs}, kSmooth, {&kMelG, &kMelFs}},
        {32, {E, A}, kSmooth | kFill, {&kMelEm, &kMelA}},
        // 26-27: the build to the finale.
        {32, {C, D}, kKickFour | kRoll | kHatsLight | kBassBuildLine | kPadChords | kCrashIn, {}},
        {32, {Am, B7}, kKickFour | kRoll | kHats | kBassBuildLine | kPadChords | kBrassStabs, {}},
        // 28-32: the finale; 32 is the last full section.
        {64, vamp, kGroove | kBassGrooveA | kClavChops | kPianoComp | kBrassStabs | kCrashIn, {}},
        {64, vamp, kGroove | kBassGrooveA | kClavChops | kPianoComp | kBrassStabs, hookA},
        {64, vamp, kGroove | kBassGrooveB | kClavChops | kPianoComp | kBrassStabs, hookB},
        {64, vamp, kGroove | kBassGrooveA | kClavChops | kPianoComp | kBrassStabs | kFill, hookAB},
        {128, {E, A, E, A, C, D, B7, E},
         kGroove | kBassGrooveA | kClavChops | kPianoComp | kBrassStabs | kFill | kFinalChord | kCrashIn,
         {&kHookA1, &kHookA2, &kHookB1, &kHookB2, &kMelC, &kMelD, &kMelB7, nullptr}},
    };
}

// Volume of a step character: accent, normal, ghost; -1 for anything else.
int StepVolume(char c) {
    switch (c) {
        case 'X': return 64;
        case 'x': return 46;
        case 'g': return 16;
        default: return -1;
    }
}

int Scale(int volume, double gain) { return std::clamp(int(volume * gain + 0.5), 0, 64); }

// Writes pattern cells; rows outside the pattern are ignored.
class Writer {
public:
    explicit Writer(Pattern& p) : p_(p) {}
    int Rows() const { return p_.rows; }

    void Note(int row, int ch, int sample, int note, int volume) {
        if (row < 0 || row >= p_.rows) return;
        Cell& c = p_.At(row, ch);
        c.note = int16_t(note);
        c.sample = uint8_t(sample);
        c.volume = int8_t(volume);
    }
    // Silences the channel at `row` unless a note already starts there.
    void Cut(int row, int ch) {
        if (row < 0 || row >= p_.rows || p_.At(row, ch).note >= 0) return;
        p_.At(row, ch).note = kNoteCut;
    }
    void Clear(int row, int ch) {
        if (row >= 0 && row < p_.rows) p_.At(row, ch) = Cell{};
    }
    void Volume(int row, int ch, int volume) {
        if (row >= 0 && row < p_.rows) p_.At(row, ch).volume = int8_t(volume);
    }
    void Effect(int row, int ch, uint8_t effect, uint8_t param) {
        if (row < 0 || row >= p_.rows) return;
        p_.At(row, ch).effect = effect;
        p_.At(row, ch).param = param;
    }
    bool NoteAt(int row, int ch) const { return row < p_.rows && p_.At(row, ch).note >= 0; }

    // One-shot hits from a step string repeated from row `from` (its length sets the cycle)
    // up to row `to`.
    void Steps(int ch, int sample, int note, const char* steps, double gain, int from, int to) {
        const int n = int(std::strlen(steps));
        for (int row = from; row < std::min(to, p_.rows); ++row) {
            const int v = StepVolume(steps[(row - from) % n]);
            if (v >= 0) Note(row, ch, sample, note, Scale(v, gain));
        }
    }

    // Chords from a step string: a volume character strikes the bar's chord on `voices`
    // channels from `firstCh`, '-' holds it, '.' silences it.
    void Chords(int firstCh, int voices, int firstVoice, int sample, int transpose,
                const std::vector<const Chord*>& bars, const char* steps, double gain, int from, int to) {
        const int n = int(std::strlen(steps));
        bool sounding = false;
        for (int row = from; row < std::min(to, p_.rows); ++row) {
            const char c = steps[(row - from) % n];
            const int v = StepVolume(c);
            const Chord& chord = *bars[row / kBar];
            for (int k = 0; k < voices; ++k) {
                const int note = chord.voices[firstVoice + k] + transpose;
                if (v >= 0) Note(row, firstCh + k, sample, note, Scale(v, gain));
                else if (c == '.' && sounding) Cut(row, firstCh + k);
            }
            if (v >= 0) sounding = true;
            if (c == '.') sounding = false;
        }
    }

private:
    Pattern& p_;
};

struct Event { int row; int pitch; int length; int volume; };

// A monophonic line of notes on one channel (events in row order), each silenced after its
// length unless the next note starts first; anything past the pattern end is dropped.
void Line(Writer& w, int ch, int sample, const std::vector<Event>& events) {
    for (size_t i = 0; i < events.size(); ++i) {
        const auto& e = events[i];
        w.Note(e.row, ch, sample, e.pitch, e.volume);
        const int end = e.row + e.length;
        const bool nextStartsFirst = i + 1 < events.size() && events[i + 1].row <= end;
        if (!nextStartsFirst) w.Cut(end, ch);
    }
}

void Bass(Writer& w, const OrderPlan& plan, const BassRiff& riff) {
    std::vector<Event> line;
    for (int bar = 0; bar * kBar < w.Rows(); ++bar) {
        const Chord& c = *plan.bars[bar];
        for (const BassNote& n : riff) {
            line.push_back({bar * kBar + n.step, c.root + Interval(c, n.degree), n.length, n.volume});
        }
    }
    Line(w, kChBass, kBass, line);
}

// The lead and its echo three rows later; long notes get vibrato after they settle.
void Lead(Writer& w, const OrderPlan& plan) {
    std::vector<Event> line, echo;
    for (size_t bar = 0; bar < plan.lead.size(); ++bar) {
        if (!plan.lead[bar]) continue;
        for (const LeadNote& n : *plan.lead[bar]) {
            const int row = int(bar) * kBar + n.step;
            line.push_back({row, n.pitch, n.length, n.volume});
            echo.push_back({row + 3, n.pitch, n.length, Scale(n.volume, 0.45)});
            for (int r = row + 2; n.length >= 4 && r < row + n.length; ++r) {
                w.Effect(r, kChLead, kFxVibrato, 0x54);
                w.Effect(r + 3, kChEcho, kFxVibrato, 0x54);
            }
        }
    }
    Line(w, kChLead, kLead, line);
    Line(w, kChEcho, kLead, echo);
}

// Drum fill over the bar from row `from`: snare run and falling toms.
void Fill(Writer& w, int from) {
    const int to = from + kBar;
    for (int ch : {kChKick, kChSnare, kChHat, kChOpenHat}) {
        for (int row = from; row < to; ++row) w.Clear(row, ch);
    }
    w.Steps(kChKick, kKick, 60, "X.....x.X.......", 1.0, from, to);
    w.Steps(kChSnare, kSnare, 60, "....X..g.gx.x.xX", 0.9, from, to);
    w.Steps(kChHat, kClosedHat, 60, "x.x.x.x.", 0.8, from, from + 8);
    const int toms[4][2] = {{8, 67}, {10, 64}, {12, 60}, {14, 55}};
    for (const auto& t : toms) w.Note(from + t[0], kChTom, kTom, t[1], 52);
}

// Tutti hits on a stop-time figure: bass, kick, brass and piano together.
void Stops(Writer& w, const OrderPlan& plan) {
    const char* figure = "X-....x-..X-.X--X-....x-..X-....";
    w.Steps(kChKick, kKick, 60, figure, 1.0, 0, w.Rows());
    w.Chords(kChBrass, 3, 1, kBrass, 12, plan.bars, figure, 1.0, 0, w.Rows());
    w.Chords(kChPiano, 4, 0, kPiano, 0, plan.bars, figure, 0.9, 0, w.Rows());
    std::vector<Event> bass;
    for (int row = 0; row < w.Rows(); ++row) {
        const int v = StepVolume(figure[row % 32]);
        if (v >= 0) bass.push_back({row, plan.bars[row / kBar]->root, 2, v});
    }
    Line(w, kChBass, kBass, bass);
}

// One tutti hit on `chord` at `row`: kick, crash, bass root, piano and brass.
void Tutti(Writer& w, int row, const Chord& chord) {
    const std::vector<const Chord*> bars(size_t(w.Rows() / kBar + 1), &chord);
    w.Note(row, kChKick, kKick, 60, 64);
    w.Note(row, kChCrash, kCrash, 60, 60);
    w.Note(row, kChBass, kBass, chord.root, 64);
    w.Chords(kChPiano, 4, 0, kPiano, 0, bars, "X", 1.0, row, row + 1);
    w.Chords(kChBrass, 3, 1, kBrass, 12, bars, "X", 1.0, row, row + 1);
}

// The last bar of the finale: everything else stops for one held chord, pad swelling under
// it and the lead holding the tonic with vibrato.
void FinalChord(Writer& w, const OrderPlan& plan) {
    const int from = w.Rows() - kBar;
    for (int ch = 0; ch < kChannelCount; ++ch) {
        for (int row = from; row < w.Rows(); ++row) w.Clear(row, ch);
    }
    const Chord& chord = *plan.bars.back();
    Tutti(w, from, chord);
    for (int k = 0; k < 3; ++k) w.Note(from, kChPad + k, kPad, chord.voices[k + 1], 36);
    w.Note(from, kChLead, kLead, chord.root + 48, 56);
    w.Cut(from, kChEcho);
    for (int row = from + 2; row < w.Rows(); ++row) w.Effect(row, kChLead, kFxVibrato, 0x54);
}

// Writes every layer of `plan` into the order's pattern. `previousLayers` are those of the
// order before, whose looped pad has to be ended when this order has none.
void WriteOrder(Writer& w, const OrderPlan& plan, uint32_t previousLayers) {
    const uint32_t L = plan.layers;
    const int n = w.Rows();
    // Drums.
    if (L & kKickGroove) w.Steps(kChKick, kKick, 60, "X..x..x.X.....x.X.....x.X.x..x..", 1.0, 0, n);
    if (L & kKickFour) w.Steps(kChKick, kKick, 60, "X...X...X...X...", 1.0, 0, n);
    if (L & kKickHalf) w.Steps(kChKick, kKick, 60, "X.........x.....X.....x...x.....", 0.95, 0, n);
    if (L & kKickIntro) w.Steps(kChKick, kKick, 60, "X.......X.......X.....x.X.......", 0.9, 0, n);
    if (L & kSnareGroove) w.Steps(kChSnare, kSnare, 60, "....X..g.g..X..g....X..g.g..X.g.", 1.0, 0, n);
    if (L & kSnareLight) w.Steps(kChSnare, kSnare, 60, "....x.......x...", 0.9, 0, n);
    if (L & kClapBeat) w.Steps(kChClap, kClap, 60, "....X.......X...", 0.9, 0, n);
    if (L & kRoll) {
        // Snare on eighths, then sixteenths in the last bar, rising in volume.
        for (int row = 0; row < n; ++row) {
            const bool hit = row >= n - kBar || row % 2 == 0;
            if (hit) w.Note(row, kChSnare, kSnare, 60, 16 + 44 * row / n);
        }
    }
    if (L & kHats) w.Steps(kChHat, kClosedHat, 60, "xgxgxgxgxgxgxg.g", 1.0, 0, n);
    if (L & kHatsLight) w.Steps(kChHat, kClosedHat, 60, "x.g.x.g.x.g.x.g.", 0.8, 0, n);
    if (L & kHatsOffbeat) {
        w.Steps(kChHat, kClosedHat, 60, "x.g.x.g.x.g.x.g.", 1.0, 0, n);
        w.Steps(kChOpenHat, kOpenHat, 60, "..x...x...x...x.", 1.0, 0, n);
    }
    if (L & kOpenHats) w.Steps(kChOpenHat, kOpenHat, 60, "..............x.", 1.0, 0, n);
    // Bass.
    if (L & kBassGrooveA) Bass(w, plan, kBassGroove);
    if (L & kBassGrooveB) Bass(w, plan, kBassGroove2);
    if (L & kBassIntroLine) Bass(w, plan, kBassIntro);
    if (L & kBassSoloLine) Bass(w, plan, kBassSolo);
    if (L & kBassSmoothLine) Bass(w, plan, kBassSmooth);
    if (L & kBassBuildLine) Bass(w, plan, kBassBuild);
    // Keys, stabs and pad.
    if (L & kPianoComp) w.Chords(kChPiano, 4, 0, kPiano, 0, plan.bars, "..X-.x-...X--.x-", 0.9, 0, n);
    if (L & kPianoChorus) w.Chords(kChPiano, 4, 0, kPiano, 0, plan.bars, "X-----..x-..X---", 0.9, 0, n);
    if (L & kPianoLong) w.Chords(kChPiano, 4, 0, kPiano, 0, plan.bars, "X-------x-------", 0.8, 0, n);
    if (L & kClavChops) {
        // Sixteenth chops alternating the top voice and a ghosted inner voice, an octave up,
        // each damped on the next row.
        std::vector<Event> chops;
        for (int row = 0; row < n; ++row) {
            const char c = "x.gx.gx.g.x.gxg."[row % kBar];
            const Chord& chord = *plan.bars[row / kBar];
            const int v = StepVolume(c);
            const int note = (c == 'g' ? chord.voices[1] : chord.voices[3]) + 12;
            if (v >= 0) chops.push_back({row, note, 1, Scale(v, 0.9)});
        }
        Line(w, kChClav, kClav, chops);
    }
    if (L & kBrassStabs) {
        w.Chords(kChBrass, 3, 1, kBrass, 12, plan.bars, "X-....x-......X-......x-..X-.X-.", 0.9, 0, n);
    }
    if (L & kPadChords) {
        // Pad voices change only where the chord does.
        for (int bar = 0; bar * kBar < n; ++bar) {
            if (bar > 0 && plan.bars[bar] == plan.bars[bar - 1]) continue;
            for (int k = 0; k < 3; ++k) {
                w.Note(bar * kBar, kChPad + k, kPad, plan.bars[bar]->voices[k + 1], (L & kPadSwell) ? 8 : 30);
            }
        }
        if (L & kPadSwell) {
            for (int row = 4; row < n; row += 4) {
                for (int k = 0; k < 3; ++k) w.Volume(row, kChPad + k, 8 + 32 * row / n);
            }
        }
    } else if (previousLayers & kPadChords) {
        for (int k = 0; k < 3; ++k) w.Cut(0, kChPad + k);  // the loop would otherwise ring on
    }
    if (L & kStops) Stops(w, plan);
    if (!plan.lead.empty()) Lead(w, plan);
    // The lead's loop rings on until cut: end any note the last pattern left open.
    w.Cut(0, kChLead);
    w.Cut(0, kChEcho);
    if (L & kFill) Fill(w, (L & kFinalChord) ? n - 2 * kBar : n - kBar);
    if (L & kFinalChord) FinalChord(w, plan);
    if (L & kCrashIn) {
        w.Note(0, kChCrash, kCrash, 60, 56);
        if (!w.NoteAt(0, kChKick)) w.Note(0, kChKick, kKick, 60, 64);
    }
}

// The title's words appear every 32 rows from row 21 (over the first half when the order
// ends in a fill): a brass stab, clap, open hat and kick on each. Written after the swing,
// so they sit on the beat grid and land with the picture.
void WordHits(Writer& w, const OrderPlan& plan) {
    const int last = (plan.layers & kFill) ? 64 : w.Rows();
    for (int row = 21; row < last; row += 32) {
        for (int k = 0; k < 3; ++k) w.Clear(row, kChBrass + k);
        for (int ch : {kChClap, kChOpenHat, kChKick}) w.Clear(row, ch);
        w.Chords(kChBrass, 3, 1, kBrass, 12, plan.bars, "X--.", 1.0, row, row + 4);
        w.Note(row, kChClap, kClap, 60, 60);
        w.Note(row, kChOpenHat, kOpenHat, 60, 40);
        w.Note(row, kChKick, kKick, 60, 56);
    }
}

// The last order: a short final button on the tonic, then its ring and silence.
void WriteEnding(Writer& w) {
    Tutti(w, 0, kEm9);
    w.Note(0, kChClap, kClap, 60, 56);
    for (int ch : {int(kChPad), kChPad + 1, kChPad + 2, int(kChLead), int(kChEcho)}) w.Cut(0, ch);
}

// Off-beat sixteenths come a tick late: a light swing on every note that has no effect.
void Swing(Pattern& p) {
    for (int row = 1; row < p.rows; row += 2) {
        for (int ch = 0; ch < kChannelCount; ++ch) {
            Cell& c = p.At(row, ch);
            if (c.note >= 0 && c.effect == kFxNone) {
                c.effect = kFxSpecial;
                c.param = 0xD0 | kSwingTicks;
            }
        }
    }
}

}  // namespace

Module ComposeSong() {
    Module m;
    m.name = "orangefunk";
    m.initialSpeed = kSpeed;
    m.initialTempo = kTempo;
    m.globalVolume = 128;
    m.mixVolume = 48;
    m.samples = MakeSamples();
    // Pan 0-64 and volume 0-64 per channel; unused channels are disabled (+128).
    const uint8_t pan[kChannelCount] = {32, 30, 40, 24, 34, 28, 36, 32, 20, 28, 36, 44,
                                        44, 22, 32, 42, 16, 32, 48, 26, 40};
    const uint8_t volume[kChannelCount] = {52, 64, 64, 52, 56, 44, 56, 40, 34, 34, 34, 34,
                                           60, 52, 52, 52, 44, 44, 44, 44, 44};
    for (int ch = 0; ch < kMaxChannels; ++ch) {
        m.channelPan[ch] = ch < kChannelCount ? pan[ch] : 32 + 128;
        m.channelVolume[ch] = ch < kChannelCount ? volume[ch] : 64;
    }
    const std::vector<OrderPlan> plan = Plan();
    uint32_t previous = 0;
    for (const OrderPlan& order : plan) {
        Pattern& p = m.patterns.emplace_back();
        p.rows = order.rows;
        Writer w(p);
        WriteOrder(w, order, previous);
        Swing(p);
        if (order.layers & kWordHits) WordHits(w, order);
        previous = order.layers;
    }
    Pattern& ending = m.patterns.emplace_back();
    ending.rows = kBar;
    Writer w(ending);
    WriteEnding(w);
    for (size_t i = 0; i < m.patterns.size(); ++i) m.orders.push_back(uint8_t(i));
    return m;
}

}  // namespace music
