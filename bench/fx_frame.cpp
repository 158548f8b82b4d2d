// One frame of a looping part's mesh pipeline on a 2,000-vertex, 4,000-face torus: view
// matrix, transform, projection, smooth environment map, depth keys, sort and drawing
// into a renderer that only counts.
#include <cmath>
#include <vector>

#include <benchmark/benchmark.h>

#include "fx/fx.h"
#include "tests/kit/test_mesh.h"
#include "tests/kit/recording_renderer.h"

namespace {

// 40 x 50 vertices, 4,000 faces.
struct TorusData {
    TorusData() { TorusGeometry(40, 50, 60, 25, &positions, &triangles); }
    std::vector<Vec3> positions;
    std::vector<std::array<int, 3>> triangles;
};

// The torus of the benchmarks with its entries and a part's camera.
struct Frame {
    TorusData data;
    TestMesh torus{data.positions, data.triangles};
    std::vector<FaceRef> refs = std::vector<FaceRef>(torus.faces.count);
    EffectCamera camera = MakeCamera(61, 1.2f);

    // Camera-space vertices, outcodes and screen coordinates for animation time t: the eye
    // orbits close enough that the torus crosses the screen edges.
    void Project(float t) {
        CameraSetPosition(&camera, 150 * std::sin(t), 40, 150 * std::cos(t));
        CameraSetTarget(&camera, 0, 0, 0);
        camera.roll = 10 * t;
        Matrix44 view;
        Matrix44FromCameraFocal(&view, &camera);
        TransformVertices(&torus.working, &view);
        ProjectVertices(&torus.working, &camera);
    }
};

}  // namespace

static void BM_EffectFrame(benchmark::State& state) {
    Frame frame;
    TestMesh& torus = frame.torus;
    std::vector<FaceRef>& refs = frame.refs;
    CountingRenderer renderer;
    float time = 3.14f;
    for (auto _ : state) {
        frame.Project(time);
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

// The painter's sort alone, on the keys of one frame in face order.
static void BM_SortFaceRefs(benchmark::State& state) {
    Frame frame;
    frame.Project(3.14f);
    MeshFace* faces = frame.torus.faces.faces.data();
    for (auto _ : state) {
        FillFaceRefs(frame.refs.data(), faces, frame.torus.faces.count);
        ComputeFaceKeys(frame.refs.data(), faces, frame.torus.faces.count);
        SortFaceRefs(frame.refs.data(), frame.torus.faces.count);
    }
}
BENCHMARK(BM_SortFaceRefs)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
