// Counts heap allocations, for tests that check a per-frame path allocates nothing.
// Linking of_alloccounter replaces the global operator new of the test program.
#pragma once

// Number of calls of operator new (all forms) since the program started.
long AllocationCount();
