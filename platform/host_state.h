// The host's description as the stand-ins read it (platform-internal).
#pragma once

#include "platform/host.h"

// The description given to host::Setup; the defaults before that.
const host::Desc& HostDesc();
