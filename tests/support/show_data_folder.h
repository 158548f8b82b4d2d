// A test fixture base for tests that run in the generated data folder, as the show does,
// with the shared assets loaded once by the show's own LoadSharedAssets (into a counting
// renderer, so every shared texture gets a distinct name).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "shell/sequence.h"
#include "show/show_state.h"
#include "tests/kit/recording_renderer.h"
#include "tests/support/test_paths.h"

class ShowDataFolder : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!MissingShowData().empty()) return;
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
    // Call first in a derived SetUp, returning when HasFatalFailure(): fails the test when
    // the data is not there.
    void SetUp() override {
        if (ready) return;
        const std::string missing = MissingShowData();
        GTEST_FAIL() << (missing.empty() ? "cannot load the shared assets in " + ShowDataDir() : missing);
    }

    static inline bool ready = false;
    static inline char previousDir[PATH_MAX] = {};
};
