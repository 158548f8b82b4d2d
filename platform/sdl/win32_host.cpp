// The host's description, kept for the Win32 and BASS stand-ins to read.
#include "platform/shared/host_state.h"

#include "platform/sdl/win32_state.h"

namespace {
host::Desc desc;
}  // namespace

const host::Desc& HostDesc() { return desc; }

void host::Setup(const Desc& given) {
    desc = given;
    Win32State& state = Win32();
    state.nextPresentTicks = 0;  // pacing starts afresh
    if (state.current) SDL_GL_SetSwapInterval(desc.framePacing ? 1 : 0);
}
