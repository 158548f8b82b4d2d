// Audio output for the music stand-in: an SDL audio device pulling buffers of
// kOutputBufferFrames, or a clock thread that pulls the same buffers on a real-time
// schedule and throws the samples away (no sound card: CI, servers).
#include "platform/bass/bass_output.h"

#include <SDL.h>

#include <chrono>
#include <cstdio>

namespace {


void DeviceCallback(void* self, Uint8* stream, int bytes) {
    static_cast<AudioOutput*>(self)->Pull(reinterpret_cast<int16_t*>(stream), bytes / 4);
}

}  // namespace

void AudioOutput::Pull(int16_t* out, int frames) { mix(user, out, frames); }

void AudioOutput::Open(int frequency, MixFn mix, void* user) {
    Close();
    this->frequency = frequency;
    this->mix = mix;
    this->user = user;
    open = true;

    const char* reason = nullptr;
    QuietenSoundLibrary();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        reason = SDL_GetError();
    } else {
        SDL_AudioSpec want{};
        want.freq = frequency;
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = kOutputBufferFrames;
        want.callback = DeviceCallback;
        want.userdata = this;
        // No changes allowed: SDL converts to whatever the device really plays.
        device = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
        if (device != 0) return;
        reason = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    std::fprintf(stderr, "orangefunk: no sound device (%s): the show plays without sound\n", reason);
    clockRunning = false;
    clockQuit = false;
    clockThread = std::thread(&AudioOutput::RunClock, this);
}

void AudioOutput::Start() {
    if (device != 0) {
        SDL_PauseAudioDevice(device, 0);
    } else if (clockThread.joinable()) {
        std::lock_guard<std::mutex> hold(clockLock);
        clockRunning = true;
        clockWake.notify_all();
    }
}

void AudioOutput::Pause() {
    if (device != 0) {
        SDL_PauseAudioDevice(device, 1);
    } else if (clockThread.joinable()) {
        std::lock_guard<std::mutex> hold(clockLock);
        clockRunning = false;
    }
}

void AudioOutput::Close() {
    if (device != 0) {
        SDL_CloseAudioDevice(device);  // waits for the audio thread to finish
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        device = 0;
        DrainClosedSound();
    }
    if (clockThread.joinable()) {
        {
            std::lock_guard<std::mutex> hold(clockLock);
            clockQuit = true;
            clockWake.notify_all();
        }
        clockThread.join();
    }
    open = false;
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
