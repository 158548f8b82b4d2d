// A test fixture base for tests that run in the generated data folder, as the show does,
// with the shared assets loaded once by the show's own LoadSharedAssets (into a counting
// renderer, so every shared texture gets a distinct name).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "shell/sequence.h"
#include "shell/show_state.h"
#include "tests/support/recording_renderer.h"
#include "tests/support/test_paths.h"

class ShowDataFolder : public ::testing::Test {
protected:
    // True when every file the shared assets, the parts and the song need is there.
    static bool ShowDataBuilt() {
        for (const char* name : {"spiral.3ds", "ball2116.3ds", "striber.3ds", "toyscene.3ds", "toypush1.3ds",
                                 "purple.3ds", "hjerte~1.3ds", "logoenv.png", "funk.it"})
            if (access((ShowDataDir() + "/" + name).c_str(), R_OK) != 0) return false;
        return true;
    }
    static void SetUpTestSuite() {
        if (!ShowDataBuilt()) return;
        if (getcwd(previousDir, sizeof previousDir) == nullptr || chdir(ShowDataDir().c_str()) != 0) return;
        static CountingRenderer loader;
        renderer = &loader;
        LoadSharedAssets();
        renderer = nullptr;
        ready = true;
    }
    static void TearDownTestSuite() {
        if (ready && chdir(previousDir) != 0) ADD_FAILURE() << "cannot return to " << previousDir;
        ready = false;
    }
    // Call first in a derived SetUp: skips the test when the data is not there.
    void SetUp() override {
        if (!ready) GTEST_SKIP() << "show data not built in " << ShowDataDir();
    }

    static inline bool ready = false;
    static inline char previousDir[PATH_MAX] = {};
};
