// The wait before a frame is presented: until a deadline on the steady clock, waking within
// tens of microseconds of it whatever the system's timer tick.
#pragma once

#include <chrono>

using PacingClock = std::chrono::steady_clock;

// Blocks the calling thread until deadline: a coarse sleep to shortly before it, then spins
// until the clock reaches it. Returns at once for a deadline already passed.
void WaitUntil(PacingClock::time_point deadline);

// The coarse sleep WaitUntil uses here, named for reports ("high-resolution waitable timer").
const char* CoarseSleepName();
