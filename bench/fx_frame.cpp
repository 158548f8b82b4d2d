// One frame of a looping part's mesh pipeline on a 2,000-vertex, 4,000-face torus: view
// matrix, transform, projection, smooth environment map, depth keys, sort and drawing
// into a renderer that only counts.
#include <cmath>
#include <vector>

#include <benchmark/benchmark.h>

#include "fx/fx.h"
#include "tests/fx/test_mesh.h"
#include "tests/support/recording_renderer.h"

static void BM_EffectFrame(benchmark::State& state) {
    std::vector<Vec3> positions;
    std::vector<std::array<int, 3>> triangles;
    TorusGeometry(40, 50, 60, 25, &positions, &triangles);
    TestMesh torus(positions, triangles);
    std::vector<FaceRef> refs(torus.faces.count);
    CountingRenderer renderer;

    EffectCamera camera = MakeCamera(61, 1.2f);
    const Vec3 focal = {camera.focalX, camera.focalY, 1};

    float time = 3.14f;
    for (auto _ : state) {
        // The eye orbits close enough that the torus crosses the screen edges.
        CameraSetPosition(&camera, 150 * std::sin(time), 40, 150 * std::cos(time));
        CameraSetTarget(&camera, 0, 0, 0);
        camera.roll = 10 * time;
        Matrix44 view;
        Matrix44FromCamera(&view, &camera);
        Matrix44Scale(&view, &focal);
        TransformVertices(&torus.working, &view);
        ProjectVertices(&torus.working, &camera);
        SmoothEnvMap(torus.working.vertices.data(), torus.faces.faces.data(), torus.working.count,
                     torus.faces.count);
        FillFaceRefs(refs.data(), torus.faces.faces.data(), torus.faces.count);
        ComputeFaceKeys(refs.data(), torus.faces.faces.data(), torus.faces.count);
        SortFaceRefs(refs.data(), torus.faces.count);
        DrawFaceRefsMultitex(&renderer, refs.data(), torus.faces.count);
        time += 0.01f;
    }
    benchmark::DoNotOptimize(renderer.multitexTriangles);
    state.counters["triangles/frame"] =
        benchmark::Counter(static_cast<double>(renderer.multitexTriangles) / state.iterations());
}
BENCHMARK(BM_EffectFrame)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
