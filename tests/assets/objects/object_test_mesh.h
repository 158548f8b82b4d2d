// Meshes for the object tests: imported quietly, and freed when the test ends (the show
// keeps its meshes for the whole run).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "import/import.h"

struct TestMesh : Mesh {
    TestMesh() = default;
    TestMesh(const TestMesh&) = delete;
    ~TestMesh() {
        delete working;
        delete faceList;
        delete base;
    }
};

// ImportObject without the reader's chunk trace on the test log.
inline void ImportQuietly(Mesh* mesh, const std::string& path, const char* object) {
    testing::internal::CaptureStdout();
    ImportObject(mesh, path.c_str(), object);
    testing::internal::GetCapturedStdout();
}
