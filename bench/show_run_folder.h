// Set-up shared by the benchmarks that run the built program on the generated show data.
#pragma once

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "platform/sdl/win32_test.h"

// The generated data folder the program plays from.
inline const std::string kShowData = ORANGEFUNK_DATA_DIR;

// A new temporary folder for one run's output; empty, with the benchmark skipped and the
// reason given, when the show data is not generated or no folder can be made.
inline std::string ShowRunFolder(benchmark::State& state) {
    if (access((kShowData + "/funk.it").c_str(), R_OK) != 0) {
        state.SkipWithError("show data not generated (build the data target)");
        return "";
    }
    char pattern[] = "/tmp/orangefunk-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        state.SkipWithError("no temporary folder");
        return "";
    }
    return pattern;
}

// Enters the show data folder for a run on the screen; false, with the benchmark skipped
// and the reason given, when the data is not generated or there is no display.
inline bool EnterShowDataOnScreen(benchmark::State& state) {
    if (chdir(kShowData.c_str()) != 0 || access("funk.it", R_OK) != 0) {
        state.SkipWithError("show data not generated (build the data target)");
        return false;
    }
    if (!win32test::HasScreen()) {
        state.SkipWithError("no display: run under scripts/helpers/with-display.sh");
        return false;
    }
    return true;
}
