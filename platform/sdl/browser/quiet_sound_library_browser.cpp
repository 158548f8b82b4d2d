// The sound library's own error lines in a page: there is no ALSA to keep quiet.
#include "platform/openmpt/bass_output.h"

void QuietenSoundLibrary() {}
