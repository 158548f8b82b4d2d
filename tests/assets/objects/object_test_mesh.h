// Meshes for the object tests: imported quietly, and freed when the test ends.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "import/import.h"
#include "tools/part_view.h"

using TestMesh = OwnedMesh;

// ImportObject without the reader's chunk trace on the test log.
inline void ImportQuietly(Mesh* mesh, const std::string& path, const char* object) {
    testing::internal::CaptureStdout();
    ImportObject(mesh, path.c_str(), object);
    testing::internal::GetCapturedStdout();
}
