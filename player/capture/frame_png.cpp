// PNG files of captured frames, written with libpng's simplified interface.
#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "player/capture/capture.h"
#include "platform/interface/utf8_paths.h"
#include "player/capture/leftovers.h"

bool WriteFramePng(const char* path, int width, int height, const uint8_t* rgba, std::string* error) {
    // The back buffer's alpha means nothing (the show draws without destination alpha):
    // keep red, green and blue only.
    std::vector<uint8_t> rgb(size_t(width) * height * 3);
    for (size_t i = 0, n = size_t(width) * height; i < n; ++i) {
        rgb[3 * i + 0] = rgba[4 * i + 0];
        rgb[3 * i + 1] = rgba[4 * i + 1];
        rgb[3 * i + 2] = rgba[4 * i + 2];
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGB;
    // A negative stride reads the rows from the last one up: OpenGL's bottom-up order.
    const png_int_32 stride = -png_int_32(width * 3);
    // Written beside and renamed into place: an interrupted run leaves whole frames only.
    const std::string partial = CreateTemporaryBeside(path, error);
    if (partial.empty()) return false;
    // libpng is handed the open file: its own fopen would take the name in the ANSI code page
    // on Windows.
    FILE* file = utf8::OpenFile(partial, "wb");
    std::string reason;
    if (file == nullptr) {
        reason = std::strerror(errno);
    } else {
        if (!png_image_write_to_stdio(&image, file, 0, rgb.data(), stride, nullptr)) reason = image.message;
        // A full disk may show only when the last bytes go out.
        if (std::fclose(file) != 0 && reason.empty()) reason = std::strerror(errno);
    }
    if (!reason.empty()) {
        *error = std::string("cannot write ") + path + ": " + reason;
        png_image_free(&image);
        DropFile(partial);
        return false;
    }
    return FinishFile(partial, path, error);
}
