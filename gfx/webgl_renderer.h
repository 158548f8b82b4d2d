// The WebGL renderer (OpenGL ES 2 calls, on WebGL 1 or 2; internal to gfx/): the OpenGL renderer's
// numbered states, blend presets, two modulating texture units and perspective-correct
// triangles and quads, drawn from batches through one shader program.
#pragma once

#include <cstdint>
#include <vector>

#include "gfx/gfx.h"

class WebGlRenderer : public Renderer {
public:
    // Needs a current ES 2 context and the linked program with its locations (made by
    // CreateWebGlRenderer). Clears colour and depth and sets the fixed state up.
    WebGlRenderer(unsigned program, int positionLoc, int colourLoc, int coord0Loc, int coord1Loc);
    ~WebGlRenderer() override;

    void SetState(int state, int value) override;
    void UpdateTexture(int name, const Image* image, int mode) override;
    TextureId CreateTexture(const Image* image, int mode) override;
    void DrawTriangle(const ScreenVertex* a, const ScreenVertex* b, const ScreenVertex* c) override;
    void DrawTriangleMultitex(const ScreenVertex* a, const ScreenVertex* b, const ScreenVertex* c) override;
    void ReservedTriangle(const ScreenVertex* a, const ScreenVertex* b, const ScreenVertex* c) override;
    void DrawQuad(const ScreenVertex* a, const ScreenVertex* b, const ScreenVertex* c,
                  const ScreenVertex* d) override;
    void BindTexture0(TextureId name) override;
    void BindTexture1(TextureId name) override;
    void Reserved1(int value) override;
    void Reserved2(int value) override;
    void SetIntensity(int level) override;
    void Clear() override;
    void Present() override;
    void SetBlendMode(int mode) override;
    void DrawOverlay(const ScreenVertex* corners, int quadCount) override;
    void KeepDrawingState() override;
    void RestoreDrawingState() override;

    // Vertices one batch holds: a batch is drawn when full, when the state it was drawn
    // under changes, and before clears, uploads and presents.
    static constexpr int kBatchVertices = 3 * 4096;

private:
    // One batched corner: clip position (screen x, y and depth 1/z; w = 1), clamped
    // colour, unit 0's projective coordinates (s*q, t*q, q) and unit 1's (s, t).
    struct Vertex {
        float x, y, depth;
        float red, green, blue, alpha;
        float s0, t0, q0;
        float s1, t1;
    };

    // The fixed-function state a draw depends on, as the OpenGL renderer leaves it.
    struct DrawState {
        bool depthTest;
        bool blend;
        unsigned blendSource, blendDestination;
        bool texturing[2];  // GL_TEXTURE_2D enabled on unit 0 and 1
        int bound[2];       // our texture name bound on unit 0 and 1 (0: none)
        bool operator==(const DrawState&) const = default;
    };

    void Upload(int name, const Image* image, int mode);
    void Emit(const ScreenVertex* v, float alpha);  // projective unit 0, current unit 1
    void Flush();                                   // draws the batch under its state
    void Reserve(int vertices);                     // room for them under the wanted state
    void Apply(const DrawState& state);             // sets the GL state for a batch
    unsigned GlName(int name);                      // the GL texture of our name, made on first use
    bool Samples(int unit, const DrawState& state) const;

    DrawState wanted{};   // state for the next draw
    DrawState batched{};  // state of the vertices in the batch
    DrawState applied{};  // state last given to GL
    bool appliedValid = false;
    int activeUnit = 0;
    float currentS1 = 0.0f, currentT1 = 0.0f;  // unit 1's current coordinates
    // What KeepDrawingState kept of the three above.
    DrawState keptWanted{};
    int keptActiveUnit = 0;
    float keptS1 = 0.0f, keptT1 = 0.0f;

    unsigned program;
    unsigned buffer = 0;
    int samplingLoc[2];
    Vertex batch[kBatchVertices];
    int batchCount = 0;

    int textureCounter = 0;           // last name handed out; the first texture is 1
    std::vector<unsigned> glNames;    // GL texture per name, 0 until first used
    std::vector<uint8_t> complete;    // 1 when the name holds an image (texturing applies)
    std::vector<uint8_t> scratch;     // rows repacked for upload
};

// A renderer for the current ES 2 context, or null when its shaders cannot be built:
// then the desktop mode is restored and a "FATAL ERROR" box gives the compiler's log.
Renderer* CreateWebGlRenderer();
