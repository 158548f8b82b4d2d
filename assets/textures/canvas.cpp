// The drawing canvas of one texture and the conversion of its pixels to stored bytes.
#include "assets/textures/textures.h"

#include <cstdio>

namespace textures {

Canvas NewCanvas() {
    Canvas canvas;
    canvas.surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kTextureSize, kTextureSize);
    canvas.cr = cairo_create(canvas.surface);
    cairo_set_antialias(canvas.cr, CAIRO_ANTIALIAS_GOOD);
    return canvas;
}

void FreeCanvas(Canvas& canvas) {
    cairo_destroy(canvas.cr);
    cairo_surface_destroy(canvas.surface);
    canvas = Canvas{};
}

std::vector<uint8_t> StoredPixels(const Canvas& canvas, Storage storage, uint8_t multiplyAlpha) {
    cairo_surface_flush(canvas.surface);
    const uint8_t* data = cairo_image_surface_get_data(canvas.surface);
    const int stride = cairo_image_surface_get_stride(canvas.surface);
    std::vector<uint8_t> rgba(static_cast<size_t>(kTextureSize) * kTextureSize * 4);
    for (int y = 0; y < kTextureSize; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < kTextureSize; ++x) {
            // cairo keeps premultiplied colour in native-endian 0xAARRGGBB words.
            const uint32_t argb = row[x];
            const uint32_t a = argb >> 24;
            uint32_t c[3] = {(argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF};
            if (storage != Storage::Premultiplied && a != 255)
                for (uint32_t& v : c) v = a ? (v * 255 + a / 2) / a : 0;
            uint8_t* out = &rgba[(static_cast<size_t>(y) * kTextureSize + x) * 4];
            out[0] = static_cast<uint8_t>(c[0]);
            out[1] = static_cast<uint8_t>(c[1]);
            out[2] = static_cast<uint8_t>(c[2]);
            out[3] = storage == Storage::Multiply ? multiplyAlpha : static_cast<uint8_t>(a);
        }
    }
    return rgba;
}

bool SaveTexture(const Canvas& canvas, const std::string& dir, const char* name, Storage storage,
                 uint8_t multiplyAlpha) {
    if (cairo_status(canvas.cr) != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "make_textures: drawing \"%s\" failed: %s\n", name,
                     cairo_status_to_string(cairo_status(canvas.cr)));
        return false;
    }
    const int channels = storage == Storage::Opaque ? 3 : 4;
    return WritePng(dir + "/" + name, StoredPixels(canvas, storage, multiplyAlpha), kTextureSize, kTextureSize,
                    channels);
}

}  // namespace textures
