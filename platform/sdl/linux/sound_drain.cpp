// After a sound device closes, natively: SDL's audio thread has ended with the device, and
// nothing it queued is left to drop.
#include "platform/openmpt/bass_output.h"

void DrainClosedSound() {}
