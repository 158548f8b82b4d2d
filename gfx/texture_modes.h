// The texture modes' table: what each CreateTexture / UpdateTexture mode reads from the
// image and keeps, read by the OpenGL and WebGL renderers alike and by their tests.
#pragma once

#include "gfx/gfx.h"

// What a texture keeps of each pixel; each renderer names its own format for it.
enum class TexelFormat { Rgba8, Rgb5, Rgba4, Luminance8 };

struct TextureMode {
    int code;          // a kTexture* code of gfx.h
    TexelFormat kept;  // what the texture keeps
    int imageBytes;    // bytes read per image pixel: 4 (red, green, blue, alpha) or 1 (grey)
    int texelBytes;    // bytes per texel as kept: 4, 2 (5 or 4 bits a channel) or 1
};

constexpr TextureMode kTextureModes[] = {
    {kTextureRgba8, TexelFormat::Rgba8, 4, 4},
    {kTextureRgb5, TexelFormat::Rgb5, 4, 2},
    {kTextureRgba4, TexelFormat::Rgba4, 4, 2},
    {kTextureLuminance8, TexelFormat::Luminance8, 1, 1},
};

// The row of `code`; null for a code no mode has (such a call uploads nothing).
constexpr const TextureMode* FindTextureMode(int code) {
    for (const TextureMode& mode : kTextureModes)
        if (mode.code == code) return &mode;
    return nullptr;
}
