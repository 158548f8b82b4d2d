// Writes 8-bit RGB or RGBA PNG files with libpng from caller-owned RGBA pixels. No time or
// text chunks are written, so the same pixels always give the same bytes.
#include "assets/textures/textures.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>

namespace textures {

namespace {

// libpng error callback: names the file and jumps back to WritePng's recovery point.
void OnWriteError(png_structp png, png_const_charp message) {
    std::fprintf(stderr, "make_textures: writing \"%s\": %s\n", static_cast<const char*>(png_get_error_ptr(png)),
                 message);
    png_longjmp(png, 1);
}

// Encodes rows (already in the file's channel layout) into the open file; false on error.
bool Encode(png_structp png, png_infop info, FILE* file, png_bytep* rows, int width, int height, int channels) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, channels == 3 ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 6);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}

}  // namespace

bool WritePng(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height, int channels) {
    // Pack into the file's layout first: RGB files drop every fourth byte.
    std::vector<uint8_t> packed;
    packed.reserve(static_cast<size_t>(width) * height * channels);
    for (size_t i = 0; i < rgba.size(); i += 4)
        packed.insert(packed.end(), rgba.begin() + i, rgba.begin() + i + channels);
    std::vector<png_bytep> rows(height);
    for (int y = 0; y < height; ++y) rows[y] = packed.data() + static_cast<size_t>(y) * width * channels;

    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::perror(("make_textures: cannot create \"" + path + "\"").c_str());
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, const_cast<char*>(path.c_str()),
                                              OnWriteError, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = info && Encode(png, info, file, rows.data(), width, height, channels);
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    ok = std::fclose(file) == 0 && ok;
    if (!ok) std::fprintf(stderr, "make_textures: \"%s\" was not written\n", path.c_str());
    return ok;
}

}  // namespace textures
