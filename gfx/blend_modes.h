// The blend modes' table: what each SetBlendMode code sets, read by the OpenGL and WebGL
// renderers alike and by their tests.
#pragma once

#include "gfx/gfx.h"

// Blend factors, valued as OpenGL's and WebGL's enums for them (the same in both; each
// renderer checks its own header's values against these).
enum class BlendFactor : unsigned {
    Zero = 0,
    One = 1,
    SourceColour = 0x0300,         // GL_SRC_COLOR
    SourceAlpha = 0x0302,          // GL_SRC_ALPHA
    OneMinusSourceAlpha = 0x0303,  // GL_ONE_MINUS_SRC_ALPHA
    FrameAlpha = 0x0304,           // GL_DST_ALPHA
};

// True when a renderer's enums, in the order of BlendFactor, are the factors' values.
constexpr bool FactorsAre(unsigned zero, unsigned one, unsigned sourceColour, unsigned sourceAlpha,
                          unsigned oneMinusSourceAlpha, unsigned frameAlpha) {
    return zero == unsigned(BlendFactor::Zero) && one == unsigned(BlendFactor::One) &&
           sourceColour == unsigned(BlendFactor::SourceColour) && sourceAlpha == unsigned(BlendFactor::SourceAlpha) &&
           oneMinusSourceAlpha == unsigned(BlendFactor::OneMinusSourceAlpha) &&
           frameAlpha == unsigned(BlendFactor::FrameAlpha);
}

struct BlendMode {
    int code;                  // a kBlend* code of gfx.h
    bool selectUnit0;          // texture unit 0 is selected first
    bool textured;             // texturing on the selected unit: on, or off
    bool blend;                // blending on with the factors below, or off
    BlendFactor source, frame; // factors of the drawn colour and of the frame's
    bool resetTextureMatrix;   // the selected unit's texture matrix back to identity
    bool depthTestOff;         // the depth test switched off
};

constexpr BlendMode kBlendModes[] = {
    {kBlendOpaque, false, true, false, BlendFactor::One, BlendFactor::Zero, false, false},
    {kBlendBlack, false, true, true, BlendFactor::Zero, BlendFactor::Zero, false, false},
    {kBlendFilter, false, true, true, BlendFactor::OneMinusSourceAlpha, BlendFactor::SourceColour, false, false},
    {kBlendFilterReset, false, true, true, BlendFactor::OneMinusSourceAlpha, BlendFactor::SourceColour, true, false},
    {kBlendFlat, false, false, false, BlendFactor::One, BlendFactor::Zero, false, true},
    {kBlendAdd, false, true, true, BlendFactor::One, BlendFactor::One, false, false},
    {kBlendAlphaMix, false, true, true, BlendFactor::FrameAlpha, BlendFactor::SourceAlpha, false, false},
    {kBlendUnit0FilterReset, true, true, true, BlendFactor::OneMinusSourceAlpha, BlendFactor::SourceColour, true,
     false},
};

// The row of `code`; null for a code no mode has (such a call changes nothing).
constexpr const BlendMode* FindBlendMode(int code) {
    for (const BlendMode& mode : kBlendModes)
        if (mode.code == code) return &mode;
    return nullptr;
}
