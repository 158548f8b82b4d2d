// What every build's audio output shares whatever its sound device: opening, the pull of a
// buffer, and the silent clock, which with no device pulls the output buffers on a
// real-time schedule and throws the samples away (no sound card: CI, servers).
#include <chrono>
#include <cstdio>

#include "platform/openmpt/bass_output.h"

void AudioOutput::Pull(int16_t* out, int frames) { mix(user, out, frames); }

void AudioOutput::Reopen(int frequency, MixFn mix, void* user) {
    Close();
    this->frequency = frequency;
    this->mix = mix;
    this->user = user;
    open = true;
}

void AudioOutput::StartClock(const char* reason) {
    std::fprintf(stderr, "orangefunk: no sound device (%s): the show plays without sound\n", reason);
    clockRunning = false;
    clockQuit = false;
    clockThread = std::thread(&AudioOutput::RunClock, this);
}

void AudioOutput::RunClockWhile(bool running) {
    if (!clockThread.joinable()) return;
    std::lock_guard<std::mutex> hold(clockLock);
    clockRunning = running;
    clockWake.notify_all();
}

void AudioOutput::StopClock() {
    if (!clockThread.joinable()) return;
    {
        std::lock_guard<std::mutex> hold(clockLock);
        clockQuit = true;
        clockWake.notify_all();
    }
    clockThread.join();
}

// Buffer k of a run is pulled at start + k * (kOutputBufferFrames / frequency) seconds,
// as a device pulls the next buffer when the previous one starts to play; deadlines come
// from the frame count, so the clock does not drift.
void AudioOutput::RunClock() {
    using Clock = std::chrono::steady_clock;
    std::unique_lock<std::mutex> hold(clockLock);
    while (!clockQuit) {
        clockWake.wait(hold, [this] { return clockRunning || clockQuit; });
        const Clock::time_point start = Clock::now();
        long long pulled = 0;
        while (clockRunning && !clockQuit) {
            hold.unlock();
            mix(user, clockBuffer, kOutputBufferFrames);
            pulled += kOutputBufferFrames;
            const auto due = start + std::chrono::duration_cast<Clock::duration>(
                                         std::chrono::duration<double>(double(pulled) / frequency));
            hold.lock();
            clockWake.wait_until(hold, due, [this] { return !clockRunning || clockQuit; });
        }
    }
}
