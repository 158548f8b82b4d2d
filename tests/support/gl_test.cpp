// The OpenGL test fixture's set-up.
#include "tests/support/gl_test.h"

#include <string>

void GlTest::SetUp() {
    std::string error;
    if (!gl.Open(kSize, kSize, &error)) GTEST_FAIL() << "no OpenGL context: " << error;
}
