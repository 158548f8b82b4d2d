// Meshes for the object tests: imported quietly, and freed when the test ends.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "import/import.h"
#include "tools/part_view.h"

using TestMesh = OwnedMesh;

// ImportObject without the reader's chunk trace on the test log.
inline void ImportQuietly(Mesh* mesh, const std::string& path, const char* object) {
    // The reader asserts that its file opens; a missing file is named first.
    if (access(path.c_str(), R_OK) != 0) {
        std::fprintf(stderr, "show data missing: %s (build the data target)\n", path.c_str());
        std::abort();
    }
    testing::internal::CaptureStdout();
    ImportObject(mesh, path.c_str(), object);
    testing::internal::GetCapturedStdout();
}
