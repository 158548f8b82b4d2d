// ALSA's own error lines, silenced: SDL's ALSA output would otherwise write several to
// standard error on a machine without a sound card before it fails.
#include <dlfcn.h>

#include "platform/openmpt/bass_output.h"

namespace {

// Says nothing, in place of ALSA's error writer.
void SayNothing(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

// The library is opened as SDL opens it (the same copy in the process) and stays loaded, so
// the handler set here is the one SDL's output meets. Without ALSA there is nothing to do.
void QuietenSoundLibrary() {
    static bool done = false;
    if (done) return;
    done = true;
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
    if (alsa == nullptr) return;
    using SetHandler = int (*)(void (*)(const char*, int, const char*, int, const char*, ...));
    if (auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler"))) set(SayNothing);
}
