// PNG decoding over libpng: every colour type comes out as 4 bytes per pixel (red, green,
// blue, then the inverted alpha or a filler byte), rows tightly packed, top row first.
#include "gfx/gfx.h"

#include <png.h>

#include <cerrno>
#include <cstdint>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "platform/interface/utf8_paths.h"

namespace {

// Largest picture accepted; larger headers are refused, as a corrupt file is, before any
// allocation. A side of 2048 is a texture size every renderer the show runs on takes
// (OpenGL 3 and WebGL devices promise at least that much). The pixel count keeps the
// show's memory bounded: at most 1 Mi pixels (4 MiB decoded, and as much again for the
// texture made from it), so its 17 pictures stay within 136 MiB whatever the data folder
// holds; the show's own are 256 x 256.
constexpr png_uint_32 kMaxPngSide = 2048;
constexpr png_uint_32 kMaxPngPixels = png_uint_32(1) << 20;
constexpr png_uint_32 kLibpngSideLimit = 1 << 20;

// Everything the error path has to release. It lives in LoadPngImage's frame, outside the
// function that sets the recovery point, so its fields survive the long jump intact.
struct PngLoad {
    const char* fileName = nullptr;
    FILE* file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_infop endInfo = nullptr;
    Image* image = nullptr;
    png_bytep* rows = nullptr;
    bool signatureOk = false;
};

// libpng error callback: names the file on standard error and jumps to the recovery point.
void OnPngError(png_structp png, png_const_charp message) {
    const auto* load = static_cast<const PngLoad*>(png_get_error_ptr(png));
    std::fprintf(stderr, "LoadPng: \"%s\": %s\n", load->fileName, message);
    png_longjmp(png, 1);
}

// libpng warning callback: warnings (unknown chunks, gamma notes) are ignored.
void OnPngWarning(png_structp, png_const_charp) {}

// libpng read callback over the open file; a short read is a decoding error.
void ReadFromFile(png_structp png, png_bytep data, size_t length) {
    FILE* file = static_cast<FILE*>(png_get_io_ptr(png));
    if (std::fread(data, 1, length, file) != length) png_error(png, "unexpected end of file");
}

// Requests the transformations that bring any colour type to 8-bit RGBA, reads the image
// into load->image and returns true; returns false after a libpng error (the long jump
// lands here) or when the decoded rows would not be 4 bytes per pixel.
bool DecodePng(PngLoad* load) {
    png_structp png = load->png;
    png_infop info = load->info;
    if (setjmp(png_jmpbuf(png))) return false;

    // libpng trusts the consumed signature bytes, so a damaged signature is refused here.
    if (!load->signatureOk) png_error(png, "Not a PNG file");
    png_set_invert_alpha(png);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (width > kMaxPngSide || height > kMaxPngSide || uint64_t(width) * height > kMaxPngPixels) {
        char reason[128];
        std::snprintf(reason, sizeof reason, "a picture of %ux%u pixels is larger than the show takes (sides up to %u, %u pixels in all)",
                      unsigned(width), unsigned(height), unsigned(kMaxPngSide), unsigned(kMaxPngPixels));
        png_error(png, reason);
    }
    const bool grey = (png_get_color_type(png, info) & PNG_COLOR_MASK_COLOR) == 0;
    int colourType = png_get_color_type(png, info);
    int bitDepth = png_get_bit_depth(png, info);

    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_set_expand(png);
        colourType = PNG_COLOR_TYPE_RGB;
        bitDepth = 8;
    }
    if (png_get_valid(png, info, PNG_INFO_tRNS)) {
        png_set_expand(png);
        colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    }
    // Grey files, with or without an alpha channel or a transparency key, become RGB(A);
    // libpng also widens grey samples below 8 bits to 8 bits on this path.
    if (grey) {
        png_set_gray_to_rgb(png);
        colourType = (colourType & PNG_COLOR_MASK_ALPHA) ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
    }
    if (bitDepth == 16) {
        png_set_strip_16(png);
        bitDepth = 8;
    }
    if (bitDepth < 8) {
        png_set_packing(png);
        bitDepth = 8;
    }
    if (bitDepth == 8 && colourType == PNG_COLOR_TYPE_RGB) png_set_filler(png, 0, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const size_t pitch = static_cast<size_t>(width) * 4;
    if (png_get_rowbytes(png, info) != pitch) {
        std::fprintf(stderr, "LoadPng: \"%s\": decoded rows are %zu bytes, expected %zu; not loaded\n",
                     load->fileName, static_cast<size_t>(png_get_rowbytes(png, info)), pitch);
        return false;
    }

    load->image = new Image(static_cast<int>(width), static_cast<int>(height), kPixelFormat32,
                            static_cast<int>(pitch));
    load->rows = new png_bytep[height];
    for (png_uint_32 y = 0; y < height; ++y) load->rows[y] = load->image->Pixels() + y * pitch;
    png_read_image(png, load->rows);
    return true;
}

}  // namespace

Image* LoadPng(const char* fileName) { return LoadPngImage(fileName, 32); }

Image* LoadPngImage(const char* fileName, int bitsPerPixel) {
    if (bitsPerPixel != 32) {
        std::fprintf(stderr, "LoadPng: \"%s\": only 32 bits per pixel is supported, not %d\n", fileName,
                     bitsPerPixel);
        return nullptr;
    }
    PngLoad load;
    load.fileName = fileName;
    load.file = utf8::OpenFile(fileName, "rb");
    if (!load.file) {
        std::fprintf(stderr, "LoadPng: cannot open \"%s\": %s\n", fileName, std::strerror(errno));
        return nullptr;
    }
    // The signature is consumed here and checked once the recovery point is set.
    png_byte signature[8] = {};
    const size_t signatureBytes = std::fread(signature, 1, sizeof signature, load.file);
    load.signatureOk = signatureBytes == sizeof signature && png_sig_cmp(signature, 0, sizeof signature) == 0;

    load.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &load, OnPngError, OnPngWarning);
    if (load.png) load.info = png_create_info_struct(load.png);
    if (load.info) load.endInfo = png_create_info_struct(load.png);
    bool decoded = false;
    if (load.endInfo) {
        // libpng's own limit only bounds what its header check takes; DecodePng says why a
        // picture is too large.
        png_set_user_limits(load.png, kLibpngSideLimit, kLibpngSideLimit);
        png_set_sig_bytes(load.png, 8);
        png_set_read_fn(load.png, load.file, ReadFromFile);
        decoded = DecodePng(&load);
    } else {
        std::fprintf(stderr, "LoadPng: \"%s\": libpng could not create its decoder\n", fileName);
    }

    delete[] load.rows;
    png_destroy_read_struct(load.png ? &load.png : nullptr, load.info ? &load.info : nullptr,
                            load.endInfo ? &load.endInfo : nullptr);
    std::fclose(load.file);
    if (decoded) return load.image;
    delete load.image;
    return nullptr;
}
