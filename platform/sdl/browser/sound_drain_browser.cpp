// After a sound device closes, in a page: the browser is given time to run what the closed
// device's audio node had queued; SDL drops those events while no device is open.
#include <emscripten.h>

#include "platform/openmpt/bass_output.h"

namespace {
constexpr unsigned kClosedSoundDrainMs = 100;
}  // namespace

void DrainClosedSound() { emscripten_sleep(kClosedSoundDrainMs); }
