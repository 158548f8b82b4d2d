// The GoogleTest fixture of the renderer and frame tests: an open 64x64 OpenGL context.
#pragma once

#include <gtest/gtest.h>

#include "tests/kit/gl_test_context.h"

// Test fixture with an open 64x64 context; the test fails, naming the step, when no
// display or context can be had.
class GlTest : public ::testing::Test {
protected:
    static constexpr int kSize = 64;
    void SetUp() override;
    void TearDown() override { gl.Close(); }
    GlTestContext gl;
};
