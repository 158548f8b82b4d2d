// Screen-space drawing: full-screen flat fill, textured rectangles clipped to the screen,
// and sprites cut from a 256x256 texture. Coordinates are normalised screen units, y up.
#include "fx/fx.h"

namespace {

// Depth of every rectangle corner. Equal depths at all four corners keep the texture
// mapping affine; z = 1 sends 1/z = 1, the nearest depth the renderer keeps, so an
// overlay covers the scene even where the caller has left the depth test on.
constexpr float kOverlayDepth = 1.0f;

// Writes one rectangle corner: position, both units' texture coordinates, white, alpha.
void SetCorner(ScreenVertex* v, float x, float y, float s, float t, float alpha) {
    v->z = kOverlayDepth;
    v->screenX = x;
    v->screenY = y;
    v->red = v->green = v->blue = 1.0f;
    v->s0 = v->s1 = s;
    v->t0 = v->t1 = t;
    v->alpha = alpha;
}

}  // namespace

void FillScreen(Renderer* renderer, float r, float g, float b) {
    static constexpr float kCorners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    ScreenVertex c[4] = {};
    for (int i = 0; i < 4; ++i) {
        c[i].z = -1.0f;  // window depth 0: behind anything drawn afterwards
        c[i].screenX = kCorners[i][0];
        c[i].screenY = kCorners[i][1];
        c[i].red = r;
        c[i].green = g;
        c[i].blue = b;
    }
    renderer->BindTexture0(0);
    renderer->DrawTriangle(&c[0], &c[1], &c[2]);
    renderer->DrawTriangle(&c[0], &c[2], &c[3]);
}

// Each clipping step moves one edge onto the screen border and moves that edge's texture
// coordinate by the same fraction of the span, using the values the earlier steps left.
void DrawScreenQuad(Renderer* renderer, ScreenVertex quad[4], float x0, float y0, float x1,
                    float y1, float s0, float t0, float s1, float t1, float alpha) {
    if (x0 > 1.0f || y0 > 1.0f || x1 < -1.0f || y1 < -1.0f) return;
    if (x0 < -1.0f) {
        s0 = s0 + (s1 - s0) * ((x1 - x0) - (x1 + 1.0f)) / (x1 - x0);
        x0 = -1.0f;
    }
    if (y0 < -1.0f) {
        t0 = t0 + (t1 - t0) * ((y1 - y0) - (y1 + 1.0f)) / (y1 - y0);
        y0 = -1.0f;
    }
    if (x1 > 1.0f) {
        s1 = s1 - (s1 - s0) * ((x1 - x0) - (1.0f - x0)) / (x1 - x0);
        x1 = 1.0f;
    }
    if (y1 > 1.0f) {
        t1 = t1 - (t1 - t0) * ((y1 - y0) - (1.0f - y0)) / (y1 - y0);
        y1 = 1.0f;
    }
    SetCorner(&quad[0], x0, y0, s0, t0, alpha);
    SetCorner(&quad[1], x1, y0, s1, t0, alpha);
    SetCorner(&quad[2], x1, y1, s1, t1, alpha);
    SetCorner(&quad[3], x0, y1, s0, t1, alpha);
    renderer->DrawQuad(&quad[0], &quad[1], &quad[2], &quad[3]);
}

// At scale 1 a texel spans 1/512 of the screen's extent of 2, so 256 texels cover half of it.
void DrawSprite(Renderer* renderer, ScreenVertex quad[4], float tx0, float ty0, float tx1,
                float ty1, float x, float y, float scaleX, float scaleY, float alpha) {
    const float width = (tx1 - tx0) * scaleX / 512.0f;
    const float height = (ty1 - ty0) * scaleY / 512.0f;
    DrawScreenQuad(renderer, quad, x, y, x + width, y - height, tx0 / 256.0f, ty0 / 256.0f,
                   tx1 / 256.0f, ty1 / 256.0f, alpha);
}
