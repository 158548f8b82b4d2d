// Audio output for the music stand-in: the default sound device (SDL audio; in the Windows
// build, waveOut), or, when no device can be opened, a silent clock thread that consumes
// samples in real time.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

// Frames handed out per output buffer; a row start is reported at most this early.
constexpr int kOutputBufferFrames = 512;

class AudioOutput {
public:
    // Fills out with frames interleaved 16-bit stereo frames; runs on the output thread.
    using MixFn = void (*)(void* user, int16_t* out, int frames);

    // Opens the output paused at frequency Hz. Falls back to the silent clock (and says so
    // on standard error) when no sound device can be opened. Always succeeds.
    void Open(int frequency, MixFn mix, void* user);
    // Starts or resumes calling mix.
    void Start();
    // Stops calling mix; on the clock, a call under way may still finish after this returns.
    void Pause();
    // Stops and releases the device or clock thread; no mix call after it returns.
    void Close();
    bool IsOpen() const { return open; }
    bool IsSilent() const { return clockThread.joinable(); }
    // One buffer for the device: calls mix (used by the device's callback or thread).
    void Pull(int16_t* out, int frames);

private:
    // Closes what is open and takes the new output's rate and mix (silent_clock.cpp).
    void Reopen(int frequency, MixFn mix, void* user);
    // The silent clock (silent_clock.cpp): started in place of a device, run or held as
    // the output is, ended with it (a no-op when it is not running).
    void StartClock(const char* reason);
    void RunClockWhile(bool running);
    void StopClock();
    void RunClock();

    bool open = false;
    int frequency = 0;
    MixFn mix = nullptr;
    void* user = nullptr;
    uintptr_t device = 0;  // SDL audio device id, or the waveOut handle; 0 when the clock runs instead
    std::thread clockThread;
    std::mutex clockLock;  // guards the two flags below
    std::condition_variable clockWake;
    bool clockRunning = false;  // between Start and Pause
    bool clockQuit = false;     // set by Close
    int16_t clockBuffer[kOutputBufferFrames * 2] = {};
};

// Runs once a device is closed, before another can open: in a page the closed device's
// audio node may still hold events, which the browser is let drop now (they would reach the
// next device's state otherwise); natively nothing.
void DrainClosedSound();

// Runs before SDL opens an output: natively ALSA's library is kept from writing its own
// error lines (several on a machine without a sound card; Open says once what failed); in a
// page there is no such library.
void QuietenSoundLibrary();
