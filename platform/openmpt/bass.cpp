// Music library stand-in: the BASS calls of the demo sequence over MusicStream (libopenmpt)
// and AudioOutput (SDL audio or a silent clock), with position syncs and a lockstep mode.
#include "platform/interface/bass.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/openmpt/bass_music.h"
#include "platform/openmpt/bass_test.h"
#include "platform/shared/host_state.h"
#include "platform/openmpt/bass_output.h"

namespace {

constexpr int kMaxSyncs = 16;
constexpr int kScratchFrames = 1024;  // lockstep rendering when the caller wants no samples
constexpr DWORD kVersion = 0x02040000;  // the 2.4 interface
constexpr HMUSIC kFirstMusicHandle = 0x10000;

struct Sync {
    DWORD param = 0;  // wanted order in the low 16 bits, row in the high; 0xFFFF = any
    SYNCPROC proc = nullptr;
};

// Everything the output thread touches, guarded by lock. One module at a time: loading a
// second one frees the first.
struct Bass {
    std::mutex lock;
    bool initialised = false;
    bool started = false;  // output running (BASS_Start .. BASS_Stop)
    bool playing = false;  // the module is being rendered (BASS_MusicPlay .. end or stop)
    int frequency = 44100;
    // The host's lockstepMusic as BASS_Init found it: the output thread reads this copy, as
    // the host's description may be given again on the main thread while it runs.
    bool lockstep = false;
    AudioOutput output;
    MusicStream music;
    HMUSIC musicHandle = 0;
    HMUSIC nextMusicHandle = kFirstMusicHandle;
    Sync syncs[kMaxSyncs];
    int syncCount = 0;
    int16_t scratch[kScratchFrames * 2] = {};
    int64_t pulledNanos = 0;  // steady clock when the output took the buffer being mixed
    bool paused = false;      // viewer pause: nothing mixed, no sync fired
    float gain = 1.0f;        // viewer volume, applied to real-time output only
};

// The last row mixed for real-time output and when it is heard, written by the output
// thread under a sequence count (odd while a write is under way) so readers never wait.
struct HeardRow {
    std::atomic<uint32_t> sequence{0};
    std::atomic<int32_t> key{-1};  // order << 16 | row; -1 before the first
    std::atomic<int64_t> heardNanos{0};
};
HeardRow heardRow;

int64_t SteadyNanos() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

Bass& State() {
    static Bass bass;
    return bass;
}

// Calls every position sync whose order and row match; lock is held.
void FireRow(void* user, int order, int row) {
    Bass& bass = *static_cast<Bass*>(user);
    if (!bass.lockstep) {
        // The output plays a buffer after the one it takes: the row is heard that much
        // later than the buffer was taken, plus its place within the buffer.
        const int64_t heard = bass.pulledNanos + (int64_t(kOutputBufferFrames) + bass.music.RowOffset()) *
                                                     1000000000 / bass.frequency;
        heardRow.sequence.fetch_add(1, std::memory_order_acq_rel);
        heardRow.key.store(int32_t(order << 16 | row), std::memory_order_relaxed);
        heardRow.heardNanos.store(heard, std::memory_order_relaxed);
        heardRow.sequence.fetch_add(1, std::memory_order_release);
    }
    const DWORD data = (DWORD(order) & 0xFFFF) | (DWORD(row) << 16);
    for (int i = 0; i < bass.syncCount; ++i) {
        const Sync& sync = bass.syncs[i];
        const DWORD wantOrder = sync.param & 0xFFFF, wantRow = sync.param >> 16;
        if ((wantOrder == 0xFFFF || wantOrder == DWORD(order)) && (wantRow == 0xFFFF || wantRow == DWORD(row)))
            sync.proc(HSYNC(i + 1), bass.musicHandle, data);
    }
}

// Renders frames of the playing module into out (silence where nothing plays) and fires
// the syncs of the rows that start in them; lock is held. Returns the frames of music.
int MixLocked(Bass& bass, int16_t* out, int frames) {
    int rendered = 0;
    if (bass.playing) {
        rendered = bass.music.Render(bass.frequency, out, frames, FireRow, &bass);
        if (bass.music.Ended()) bass.playing = false;  // played once: stop at the end
    }
    if (out != nullptr && rendered < frames)
        std::memset(out + 2 * rendered, 0, sizeof(int16_t) * 2 * (frames - rendered));
    return rendered;
}

// Output-thread entry: one device buffer.
void MixFromOutput(void* user, int16_t* out, int frames) {
    Bass& bass = *static_cast<Bass*>(user);
    std::lock_guard<std::mutex> hold(bass.lock);
    bass.pulledNanos = SteadyNanos();
    if (bass.started && !bass.paused) {
        MixLocked(bass, out, frames);
        if (bass.gain < 1.0f)
            for (int i = 0; i < 2 * frames; ++i) out[i] = int16_t(float(out[i]) * bass.gain);
    } else {
        std::memset(out, 0, sizeof(int16_t) * 2 * frames);
    }
}

}  // namespace

DWORD BASS_GetVersion() { return kVersion; }

BOOL BASS_Init(int device, DWORD frequency, DWORD flags, HWND window) {
    (void)device;
    (void)flags;
    (void)window;
    Bass& bass = State();
    {
        std::lock_guard<std::mutex> hold(bass.lock);
        if (bass.initialised) return 0;
        bass.initialised = true;
        bass.frequency = frequency > 0 ? int(frequency) : 44100;
        bass.lockstep = HostDesc().lockstepMusic;
        if (bass.lockstep) return 1;
    }
    bass.output.Open(bass.frequency, MixFromOutput, &bass);  // opens paused
    return 1;
}

HMUSIC BASS_MusicLoad(const char* fileName, DWORD offset, DWORD flags) {
    (void)offset;
    (void)flags;
    Bass& bass = State();
    std::lock_guard<std::mutex> hold(bass.lock);
    if (!bass.initialised) {
        std::fprintf(stderr, "BASS_MusicLoad: cannot load %s: BASS_Init has not been called\n", fileName);
        return 0;
    }
    bass.playing = false;
    bass.musicHandle = 0;
    std::string error;
    if (!bass.music.Load(fileName, &error)) {
        std::fprintf(stderr, "BASS_MusicLoad: cannot load %s: %s\n", fileName, error.c_str());
        return 0;
    }
    bass.musicHandle = bass.nextMusicHandle++;
    return bass.musicHandle;
}

// The output is started and paused outside the lock: SDL holds its device lock while it
// calls MixFromOutput, which takes ours.
BOOL BASS_Start() {
    Bass& bass = State();
    {
        std::lock_guard<std::mutex> hold(bass.lock);
        if (!bass.initialised) return 0;
        bass.started = true;
    }
    if (bass.output.IsOpen()) bass.output.Start();
    return 1;
}

HSYNC BASS_ChannelSetSync(DWORD handle, DWORD type, DWORD param, SYNCPROC proc) {
    Bass& bass = State();
    std::lock_guard<std::mutex> hold(bass.lock);
    if (handle == 0 || handle != bass.musicHandle || type != BASS_SYNC_POS || proc == nullptr ||
        bass.syncCount == kMaxSyncs)
        return 0;
    bass.syncs[bass.syncCount] = Sync{param, proc};
    return HSYNC(++bass.syncCount);
}

BOOL BASS_MusicPlay(HMUSIC handle) {
    Bass& bass = State();
    std::lock_guard<std::mutex> hold(bass.lock);
    if (handle == 0 || handle != bass.musicHandle) return 0;
    bass.music.Restart(HostDesc().startOrder);
    bass.playing = true;
    heardRow.key.store(-1, std::memory_order_relaxed);
    return 1;
}

BOOL BASS_Stop() {
    Bass& bass = State();
    {
        // Under the lock: once this returns no sync fires until the next BASS_Start.
        std::lock_guard<std::mutex> hold(bass.lock);
        if (!bass.initialised) return 0;
        bass.started = false;
        bass.playing = false;
    }
    if (bass.output.IsOpen()) bass.output.Pause();
    return 1;
}

BOOL BASS_Free() {
    Bass& bass = State();
    {
        std::lock_guard<std::mutex> hold(bass.lock);
        if (!bass.initialised) return 0;
        bass.started = false;
        bass.playing = false;
    }
    // Outside the lock: closing waits for the output thread, which may be waiting for it.
    bass.output.Close();
    std::lock_guard<std::mutex> hold(bass.lock);
    bass.music.Unload();
    bass.musicHandle = 0;
    bass.syncCount = 0;
    bass.initialised = false;
    return 1;
}

int host::AdvanceMusic(int frames, int16_t* out) {
    Bass& bass = State();
    std::lock_guard<std::mutex> hold(bass.lock);
    if (!HostDesc().lockstepMusic || !bass.started || bass.paused) {
        if (out != nullptr) std::memset(out, 0, sizeof(int16_t) * 2 * frames);
        return 0;
    }
    if (out != nullptr) return MixLocked(bass, out, frames);
    int rendered = 0;
    for (int done = 0; done < frames; done += kScratchFrames)
        rendered += MixLocked(bass, bass.scratch, std::min(kScratchFrames, frames - done));
    return rendered;
}

bool host::MusicPlaying() {
    Bass& bass = State();
    std::lock_guard<std::mutex> hold(bass.lock);
    return bass.playing;
}

bool host::LastRowHeard(int* order, int* row, int64_t* heardNanos) {
    for (;;) {
        const uint32_t before = heardRow.sequence.load(std::memory_order_acquire);
        const int32_t key = heardRow.key.load(std::memory_order_relaxed);
        const int64_t heard = heardRow.heardNanos.load(std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_acquire);
        if ((before & 1) != 0 || heardRow.sequence.load(std::memory_order_relaxed) != before) continue;
        if (key < 0) return false;
        *order = key >> 16;
        *row = key & 0xFFFF;
        *heardNanos = heard;
        return true;
    }
}

void PauseMusicMix(bool paused) {
    Bass& bass = State();
    std::lock_guard<std::mutex> hold(bass.lock);
    bass.paused = paused;
}

void SetMusicGain(float gain) {
    Bass& bass = State();
    std::lock_guard<std::mutex> hold(bass.lock);
    bass.gain = std::clamp(gain, 0.0f, 1.0f);
}

namespace basstest {

Status CurrentStatus() {
    Bass& bass = State();
    std::lock_guard<std::mutex> hold(bass.lock);
    return Status{bass.initialised, bass.started, bass.playing, bass.output.IsSilent(), bass.syncCount};
}

}  // namespace basstest
