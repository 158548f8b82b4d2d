// Audio output for the music stand-in: an SDL audio device pulling buffers of
// kOutputBufferFrames, or, with none, the silent clock (silent_clock.cpp).
#include "platform/openmpt/bass_output.h"

#include <SDL.h>


namespace {


void DeviceCallback(void* self, Uint8* stream, int bytes) {
    static_cast<AudioOutput*>(self)->Pull(reinterpret_cast<int16_t*>(stream), bytes / 4);
}

}  // namespace

void AudioOutput::Open(int frequency, MixFn mix, void* user) {
    Reopen(frequency, mix, user);

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
    StartClock(reason);
}

void AudioOutput::Start() {
    if (device != 0) {
        SDL_PauseAudioDevice(device, 0);
    } else {
        RunClockWhile(true);
    }
}

void AudioOutput::Pause() {
    if (device != 0) {
        SDL_PauseAudioDevice(device, 1);
    } else {
        RunClockWhile(false);
    }
}

void AudioOutput::Close() {
    if (device != 0) {
        SDL_CloseAudioDevice(device);  // waits for the audio thread to finish
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        device = 0;
        DrainClosedSound();
    }
    StopClock();
    open = false;
}
