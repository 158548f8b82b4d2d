// The per-frame operations allocate nothing: global operator new is replaced by a
// counting version (of_alloccounter) and a whole frame of a looping part is run between two readings.
#include <vector>

#include <gtest/gtest.h>

#include "fx/fx.h"
#include "tests/kit/test_mesh.h"
#include "tests/support/allocation_counter.h"
#include "tests/kit/recording_renderer.h"


TEST(NoAllocation, AFrameOfTheEffectPipelineAllocatesNothing) {
    std::vector<Vec3> positions;
    std::vector<std::array<int, 3>> triangles;
    TorusGeometry(20, 12, 40, 15, &positions, &triangles);
    TestMesh torus(positions, triangles);
    std::vector<FaceRef> refs(torus.faces.count);
    std::vector<float> factors(torus.working.count, 1.1f);
    CountingRenderer renderer;

    EffectCamera camera = MakeCamera(91, 1.2f);
    // The eye sits inside the torus's ring, so faces cross every side plane and the eye.
    CameraSetPosition(&camera, 40, 0, 0);
    CameraSetTarget(&camera, 0, 10, 60);
    camera.roll = 20;

    const long before = AllocationCount();
    ScaleVertices(&torus.mesh, factors.data());
    ScaleVerticesXZ(&torus.mesh, factors.data());
    Matrix44 view;
    Matrix44FromCameraFocal(&view, &camera);
    TransformVertices(&torus.working, &view);
    ProjectVertices(&torus.working, &camera);
    SmoothEnvMap(torus.working.vertices.data(), torus.faces.faces.data(), torus.working.count,
                 torus.faces.count);
    GridEnvMap(torus.working.vertices.data(), 12, 20);
    ClearTexCoordsSetColour(torus.working.vertices.data(), torus.working.count, 1, 1, 1);
    FillFaceRefs(refs.data(), torus.faces.faces.data(), torus.faces.count);
    ComputeFaceKeys(refs.data(), torus.faces.faces.data(), torus.faces.count);
    SortFaceRefs(refs.data(), torus.faces.count);
    DrawFaceRefs(&renderer, refs.data(), torus.faces.count);
    DrawFaceRefsMultitex(&renderer, refs.data(), torus.faces.count);
    const long after = AllocationCount();

    EXPECT_EQ(after - before, 0);
    int flagged = 0;  // some faces went through the clipper
    for (const ScreenVertex& v : torus.working.vertices) flagged += v.clipFlags != 0;
    EXPECT_GT(flagged, 0);
    EXPECT_GT(renderer.triangles, 0);
    ::operator delete(::operator new(4));  // the counting replacement is in effect
    EXPECT_GT(AllocationCount(), after);
}
