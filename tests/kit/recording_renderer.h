// Renderers for tests that need no display: RecordingRenderer keeps every call with its
// arguments and vertex values; CountingRenderer only counts (it never allocates, for
// tests and benchmarks of per-frame paths).
#pragma once

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "gfx/gfx.h"

struct RecordedCall {
    std::string op;                      // operation name, e.g. "DrawTriangle"
    std::vector<int> args;               // integer arguments in order
    std::vector<ScreenVertex> vertices;  // vertex records in argument order (copies)
};

class RecordingRenderer : public Renderer {
public:
    std::vector<RecordedCall> calls;
    int textureCounter = 0;  // CreateTexture hands out textureCounter + 1

    void SetState(int state, int value) override { Add("SetState", {state, value}); }
    void UpdateTexture(int name, const Image* image, int mode) override {
        Add("UpdateTexture", {name, image ? image->width : -1, image ? image->height : -1, mode});
    }
    TextureId CreateTexture(const Image* image, int mode) override {
        ++textureCounter;
        Add("CreateTexture", {textureCounter, image ? image->width : -1, image ? image->height : -1, mode});
        return textureCounter;
    }
    void DrawTriangle(const ScreenVertex* a, const ScreenVertex* b, const ScreenVertex* c) override {
        Add("DrawTriangle", {}, {*a, *b, *c});
    }
    void DrawTriangleMultitex(const ScreenVertex* a, const ScreenVertex* b, const ScreenVertex* c) override {
        Add("DrawTriangleMultitex", {}, {*a, *b, *c});
    }
    void ReservedTriangle(const ScreenVertex* a, const ScreenVertex* b, const ScreenVertex* c) override {
        Add("ReservedTriangle", {}, {*a, *b, *c});
    }
    void DrawQuad(const ScreenVertex* a, const ScreenVertex* b, const ScreenVertex* c,
                  const ScreenVertex* d) override {
        Add("DrawQuad", {}, {*a, *b, *c, *d});
    }
    void BindTexture0(TextureId name) override { Add("BindTexture0", {name}); }
    void BindTexture1(TextureId name) override { Add("BindTexture1", {name}); }
    void Reserved1(int value) override { Add("Reserved1", {value}); }
    void Reserved2(int value) override { Add("Reserved2", {value}); }
    void SetIntensity(int level) override { Add("SetIntensity", {level}); }
    void Clear() override { Add("Clear", {}); }
    void Present() override { Add("Present", {}); }
    void SetBlendMode(int mode) override { Add("SetBlendMode", {mode}); }

    // Number of recorded calls of one operation.
    int Count(const std::string& op) const {
        int n = 0;
        for (const RecordedCall& call : calls) n += call.op == op;
        return n;
    }
    // The recorded calls of one operation, in order.
    std::vector<RecordedCall> Of(const std::string& op) const {
        std::vector<RecordedCall> out;
        for (const RecordedCall& call : calls)
            if (call.op == op) out.push_back(call);
        return out;
    }
    // Operation names in call order.
    std::vector<std::string> Ops() const {
        std::vector<std::string> out;
        for (const RecordedCall& call : calls) out.push_back(call.op);
        return out;
    }

private:
    void Add(const char* op, std::vector<int> args, std::vector<ScreenVertex> vertices = {}) {
        calls.push_back(RecordedCall{op, std::move(args), std::move(vertices)});
    }
};

class CountingRenderer : public Renderer {
public:
    long triangles = 0, multitexTriangles = 0, quads = 0, presents = 0, clears = 0, other = 0;
    int textureCounter = 0;

    void SetState(int, int) override { ++other; }
    void UpdateTexture(int, const Image*, int) override { ++other; }
    TextureId CreateTexture(const Image*, int) override { return ++textureCounter; }
    void DrawTriangle(const ScreenVertex*, const ScreenVertex*, const ScreenVertex*) override { ++triangles; }
    void DrawTriangleMultitex(const ScreenVertex*, const ScreenVertex*, const ScreenVertex*) override {
        ++multitexTriangles;
    }
    void ReservedTriangle(const ScreenVertex*, const ScreenVertex*, const ScreenVertex*) override { ++other; }
    void DrawQuad(const ScreenVertex*, const ScreenVertex*, const ScreenVertex*, const ScreenVertex*) override {
        ++quads;
    }
    void BindTexture0(TextureId) override { ++other; }
    void BindTexture1(TextureId) override { ++other; }
    void Reserved1(int) override { ++other; }
    void Reserved2(int) override { ++other; }
    void SetIntensity(int) override { ++other; }
    void Clear() override { ++clears; }
    void Present() override { ++presents; }
    void SetBlendMode(int) override { ++other; }
};

// Counts, and also counts the corners whose fields the OpenGL renderer reads are not all
// finite (position, depth, colour, the texture coordinates of the call's units, a quad's
// alpha). Branching on every such value also lets a memory checker report drawn values
// that were never initialised. It never allocates.
class FiniteCheckingRenderer : public CountingRenderer {
public:
    long nonFiniteCorners = 0;

    void DrawTriangle(const ScreenVertex* a, const ScreenVertex* b, const ScreenVertex* c) override {
        CountingRenderer::DrawTriangle(a, b, c);
        for (const ScreenVertex* v : {a, b, c}) Check(*v, false, false);
    }
    void DrawTriangleMultitex(const ScreenVertex* a, const ScreenVertex* b, const ScreenVertex* c) override {
        CountingRenderer::DrawTriangleMultitex(a, b, c);
        for (const ScreenVertex* v : {a, b, c}) Check(*v, true, false);
    }
    void DrawQuad(const ScreenVertex* a, const ScreenVertex* b, const ScreenVertex* c,
                  const ScreenVertex* d) override {
        CountingRenderer::DrawQuad(a, b, c, d);
        for (const ScreenVertex* v : {a, b, c, d}) Check(*v, false, true);
    }

private:
    void Check(const ScreenVertex& v, bool unit1, bool alpha) {
        bool finite = std::isfinite(v.screenX) && std::isfinite(v.screenY) && std::isfinite(v.z) &&
                      std::isfinite(v.red) && std::isfinite(v.green) && std::isfinite(v.blue) &&
                      std::isfinite(v.s0) && std::isfinite(v.t0);
        if (unit1) finite = finite && std::isfinite(v.s1) && std::isfinite(v.t1);
        if (alpha) finite = finite && std::isfinite(v.alpha);
        if (!finite) ++nonFiniteCorners;
    }
};

// Calls a hook after every Present with the number of Presents so far, so a test can move
// the song position as frames are shown.
template <typename Base>
class HookedRenderer : public Base {
public:
    std::function<void(int presents)> onPresent;
    int presents = 0;
    void Present() override {
        Base::Present();
        ++presents;
        if (onPresent) onPresent(presents);
    }
};
