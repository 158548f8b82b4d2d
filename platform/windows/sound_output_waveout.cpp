// The music's audio output on Windows: the default waveOut device, fed from a thread of its
// own with kWaveBuffers buffers of kOutputBufferFrames, or, when no device opens, the
// silent clock (silent_clock.cpp).
#include "platform/windows/windows_state.h"

#include <mmsystem.h>

#include <atomic>
#include <cstdio>

#include "platform/openmpt/bass_output.h"

namespace {

constexpr int kWaveBuffers = 4;  // about 46 ms queued at 44.1 kHz

// The one open device (the music has one output): its buffers and the thread refilling
// every one the device has played, woken by the device's event.
struct WaveDevice {
    HWAVEOUT handle = nullptr;
    HANDLE done = nullptr;  // set by the device when a buffer is played
    WAVEHDR headers[kWaveBuffers] = {};
    int16_t samples[kWaveBuffers][kOutputBufferFrames * 2] = {};
    std::thread feeder;
    std::atomic<bool> running{false}, quit{false};
};
WaveDevice wave;

void Feed(AudioOutput* output) {
    while (!wave.quit.load()) {
        if (wave.running.load())
            for (WAVEHDR& header : wave.headers) {
                if (header.dwFlags & WHDR_INQUEUE) continue;
                output->Pull(reinterpret_cast<int16_t*>(header.lpData), kOutputBufferFrames);
                waveOutWrite(wave.handle, &header, sizeof header);
            }
        WaitForSingleObject(wave.done, 20);
    }
}

// Lets the open device play, the feeder woken first to fill every free buffer, or holds it.
void RunDeviceWhile(bool running) {
    wave.running = running;
    if (running) {
        SetEvent(wave.done);
        waveOutRestart(wave.handle);
    } else {
        waveOutPause(wave.handle);
    }
}

}  // namespace

void AudioOutput::Open(int frequency, MixFn mix, void* user) {
    Reopen(frequency, mix, user);

    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = DWORD(frequency);
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = DWORD(frequency) * 4;
    wave.done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    const MMRESULT result = waveOutOpen(&wave.handle, WAVE_MAPPER, &format, DWORD_PTR(wave.done), 0, CALLBACK_EVENT);
    if (result == MMSYSERR_NOERROR) {
        waveOutPause(wave.handle);  // opens paused, as the buffers are first written
        for (int i = 0; i < kWaveBuffers; ++i) {
            WAVEHDR& header = wave.headers[i];
            header = WAVEHDR{};
            header.lpData = reinterpret_cast<LPSTR>(wave.samples[i]);
            header.dwBufferLength = sizeof wave.samples[i];
            waveOutPrepareHeader(wave.handle, &header, sizeof header);
        }
        wave.running = false;
        wave.quit = false;
        device = reinterpret_cast<uintptr_t>(wave.handle);
        wave.feeder = std::thread(Feed, this);
        return;
    }
    CloseHandle(wave.done);
    wave.done = nullptr;
    wave.handle = nullptr;
    char reason[48];
    std::snprintf(reason, sizeof reason, "waveOutOpen: error %u", unsigned(result));
    StartClock(reason);
}

void AudioOutput::Start() {
    if (device != 0) RunDeviceWhile(true);
    else RunClockWhile(true);
}

void AudioOutput::Pause() {
    if (device != 0) RunDeviceWhile(false);
    else RunClockWhile(false);
}

void AudioOutput::Close() {
    if (device != 0) {
        wave.quit = true;
        SetEvent(wave.done);
        wave.feeder.join();
        waveOutReset(wave.handle);  // every buffer comes back done
        for (WAVEHDR& header : wave.headers) waveOutUnprepareHeader(wave.handle, &header, sizeof header);
        waveOutClose(wave.handle);
        CloseHandle(wave.done);
        wave.handle = nullptr;
        wave.done = nullptr;
        device = 0;
    }
    StopClock();
    open = false;
}
