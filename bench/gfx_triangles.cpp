// Triangles per second through the OpenGL renderer's immediate-mode paths on a 640x480
// hidden window (llvmpipe under Xvfb): single-textured perspective triangles and
// two-unit affine triangles, depth-tested, each batch finished before the clock stops.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "gfx/gl_renderer.h"
#include "tests/kit/gl_test_context.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;
constexpr int kBatch = 2000;       // triangles per timed batch
constexpr float kEdge = 0.08f;     // triangle leg in normalised units (about 26x19 pixels)

struct Bench {
    GlTestContext gl;
    std::unique_ptr<Renderer> renderer;
    std::vector<ScreenVertex> vertices;  // kBatch triangles, three records each
    std::string error;

    Bench() {
        if (!gl.Open(kWidth, kHeight, &error)) return;
        renderer.reset(CreateGlRenderer());
        if (!renderer) {
            error = "no GL_ARB_multitexture";
            return;
        }
        Image texture(256, 256, kPixelFormat32, 256 * 4);
        std::mt19937 random(7);
        for (uint8_t& byte : texture.pixels) byte = static_cast<uint8_t>(random());
        const TextureId first = renderer->CreateTexture(&texture, kTextureRgba8);
        const TextureId second = renderer->CreateTexture(&texture, kTextureRgb5);
        renderer->SetState(kStateTextureUnits, kBothUnits);
        renderer->BindTexture1(second);
        renderer->BindTexture0(first);
        renderer->SetBlendMode(kBlendOpaque);
        renderer->SetState(kStateDepthTest, kOn);

        std::uniform_real_distribution<float> position(-1.0f, 1.0f - kEdge), depth(2.0f, 50.0f);
        vertices.resize(kBatch * 3);
        for (int t = 0; t < kBatch; ++t) {
            const float x = position(random), y = position(random);
            const float offsets[3][2] = {{0, 0}, {kEdge, 0}, {0, kEdge}};
            for (int k = 0; k < 3; ++k) {
                ScreenVertex& v = vertices[t * 3 + k];
                v = ScreenVertex{};
                v.z = depth(random);
                v.screenX = x + offsets[k][0];
                v.screenY = y + offsets[k][1];
                v.red = v.green = v.blue = 1.0f;
                v.s0 = v.s1 = offsets[k][0] * 4;
                v.t0 = v.t1 = offsets[k][1] * 4;
            }
        }
    }
};

Bench& Shared() {
    static Bench bench;
    return bench;
}

template <void (Renderer::*Draw)(const ScreenVertex*, const ScreenVertex*, const ScreenVertex*)>
void BM_Triangles(benchmark::State& state) {
    Bench& bench = Shared();
    if (!bench.renderer) {
        state.SkipWithError(("no OpenGL context: " + bench.error).c_str());
        return;
    }
    Renderer* renderer = bench.renderer.get();
    const ScreenVertex* v = bench.vertices.data();
    for (auto _ : state) {
        renderer->Clear();
        for (int t = 0; t < kBatch; ++t) (renderer->*Draw)(&v[t * 3], &v[t * 3 + 1], &v[t * 3 + 2]);
        glFinish();
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}

BENCHMARK_TEMPLATE(BM_Triangles, &Renderer::DrawTriangle)->Name("DrawTriangle")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_TEMPLATE(BM_Triangles, &Renderer::DrawTriangleMultitex)
    ->Name("DrawTriangleMultitex")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
