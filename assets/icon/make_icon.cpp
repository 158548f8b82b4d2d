// make_icon: draws the program's icon, a glossy orange with a leaf on the show's violet,
// and writes it as DIR/SIZExSIZE/apps/orangefunk.png for each size given, or with --ico as
// one Windows icon file holding a PNG image of each size. The same sizes always give the
// same bytes.
#include <cairo.h>
#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

constexpr int kMaxSize = 1024;
constexpr int kMaxIcoSize = 256;  // an icon file's directory holds sizes up to 256 (as 0)
// The icon file's layout: a 6-byte header (reserved 0, type 1 for icons, image count), a
// 16-byte directory entry per image, then the images.
constexpr uint16_t kIcoTypeIcon = 1;
constexpr size_t kIcoHeaderBytes = 6, kIcoEntryBytes = 16;

struct Stop {
    double offset, r, g, b;
};

// Fills the current path with gradient through the given colour stops, then frees it.
void FillWith(cairo_t* cr, cairo_pattern_t* gradient, std::initializer_list<Stop> stops) {
    for (const Stop& stop : stops) cairo_pattern_add_color_stop_rgb(gradient, stop.offset, stop.r, stop.g, stop.b);
    cairo_set_source(cr, gradient);
    cairo_fill(cr);
    cairo_pattern_destroy(gradient);
}

// Draws the icon into the unit square (0,0)-(1,1), y down.
void DrawIcon(cairo_t* cr) {
    // Rounded tile: violet at the top deepening to plum.
    const double r = 0.18;
    cairo_new_path(cr);
    cairo_arc(cr, 1 - r, r, r, -M_PI / 2, 0);
    cairo_arc(cr, 1 - r, 1 - r, r, 0, M_PI / 2);
    cairo_arc(cr, r, 1 - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, r, r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
    FillWith(cr, cairo_pattern_create_linear(0, 0, 0, 1), {{0, 0.42, 0.16, 0.62}, {1, 0.16, 0.04, 0.16}});

    // Rings spreading from the fruit, like sound.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < 2; ++i) {
        const double radius = 0.40 + 0.07 * i;
        cairo_set_line_width(cr, 0.035);
        cairo_set_source_rgba(cr, 0.96, 0.74, 0.04, 0.55 - 0.2 * i);
        cairo_arc(cr, 0.5, 0.57, radius, -0.45 * M_PI / 2, 0.45 * M_PI / 2);
        cairo_stroke(cr);
        cairo_arc(cr, 0.5, 0.57, radius, M_PI - 0.45 * M_PI / 2, M_PI + 0.45 * M_PI / 2);
        cairo_stroke(cr);
    }

    // The orange: lit from the upper left.
    cairo_arc(cr, 0.5, 0.57, 0.30, 0, 2 * M_PI);
    FillWith(cr, cairo_pattern_create_radial(0.40, 0.45, 0.02, 0.5, 0.57, 0.32),
             {{0, 1.0, 0.88, 0.45}, {0.45, 0.98, 0.58, 0.06}, {1, 0.72, 0.28, 0.02}});
    // Gloss.
    cairo_save(cr);
    cairo_translate(cr, 0.39, 0.44);
    cairo_rotate(cr, -0.6);
    cairo_scale(cr, 0.09, 0.05);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.55);
    cairo_fill(cr);

    // Stem and leaf.
    cairo_set_source_rgb(cr, 0.32, 0.2, 0.08);
    cairo_set_line_width(cr, 0.03);
    cairo_move_to(cr, 0.5, 0.29);
    cairo_curve_to(cr, 0.5, 0.24, 0.52, 0.2, 0.55, 0.17);
    cairo_stroke(cr);
    cairo_move_to(cr, 0.53, 0.2);
    cairo_curve_to(cr, 0.6, 0.08, 0.76, 0.08, 0.84, 0.13);
    cairo_curve_to(cr, 0.76, 0.24, 0.62, 0.27, 0.53, 0.2);
    cairo_close_path(cr);
    FillWith(cr, cairo_pattern_create_linear(0.53, 0.2, 0.84, 0.13), {{0, 0.18, 0.5, 0.12}, {1, 0.45, 0.78, 0.2}});
}

// mkdir -p; false with a message on failure.
bool MakeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
            std::fprintf(stderr, "make_icon: cannot make the folder \"%s\": %s\n", part.c_str(), std::strerror(errno));
            return false;
        }
        if (slash == std::string::npos) return true;
    }
}

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

// The icon drawn at size x size pixels as PNG bytes; false with a message on failure.
bool DrawPng(int size, std::string* png) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, size, size);
    DrawIcon(cr);
    cairo_status_t status = cairo_status(cr);
    if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_write_to_png_stream(surface, AppendBytes, png);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "make_icon: drawing at %d pixels: %s\n", size, cairo_status_to_string(status));
        return false;
    }
    return true;
}

// Writes bytes as the file path; false with a message on failure.
bool WriteFile(const std::string& path, const std::string& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    const bool written = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if ((file && std::fclose(file) != 0) || !written) {
        std::fprintf(stderr, "make_icon: writing \"%s\": %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    return true;
}

// Draws the icon at size x size pixels into dir/SIZExSIZE/apps/orangefunk.png.
bool WriteIcon(const std::string& dir, int size) {
    const std::string folder = dir + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
    std::string png;
    return MakeFolders(folder) && DrawPng(size, &png) && WriteFile(folder + "/orangefunk.png", png);
}

void PutLittleEndian(std::string* out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out->push_back(char((value >> (8 * i)) & 0xff));
}

// Writes the Windows icon file path: a PNG image of the icon at each size, in that order.
bool WriteIco(const std::string& path, const std::vector<int>& sizes) {
    std::string header, images;
    PutLittleEndian(&header, 0, 2);
    PutLittleEndian(&header, kIcoTypeIcon, 2);
    PutLittleEndian(&header, uint32_t(sizes.size()), 2);
    const size_t imagesStart = kIcoHeaderBytes + kIcoEntryBytes * sizes.size();
    for (int size : sizes) {
        std::string png;
        if (!DrawPng(size, &png)) return false;
        header.push_back(char(size % kMaxIcoSize));  // width and height, 256 as 0
        header.push_back(char(size % kMaxIcoSize));
        header.push_back(0);  // no palette
        header.push_back(0);  // reserved
        PutLittleEndian(&header, 1, 2);   // colour planes
        PutLittleEndian(&header, 32, 2);  // bits per pixel
        PutLittleEndian(&header, uint32_t(png.size()), 4);
        PutLittleEndian(&header, uint32_t(imagesStart + images.size()), 4);
        images += png;
    }
    return WriteFile(path, header + images);
}

}  // namespace

int main(int argc, char** argv) {
    const bool ico = argc > 1 && std::strcmp(argv[1], "--ico") == 0;
    const int first = ico ? 2 : 1;
    if (argc < first + 2) {
        std::fprintf(stderr, "usage: make_icon DIR SIZE...\n       make_icon --ico FILE SIZE...\n");
        return 2;
    }
    const int largest = ico ? kMaxIcoSize : kMaxSize;
    std::vector<int> sizes;
    for (int i = first + 1; i < argc; ++i) {
        sizes.push_back(std::atoi(argv[i]));
        if (sizes.back() < 1 || sizes.back() > largest) {
            std::fprintf(stderr, "make_icon: \"%s\" is not a size from 1 to %d\n", argv[i], largest);
            return 2;
        }
    }
    if (ico) return WriteIco(argv[first], sizes) ? 0 : 1;
    for (int size : sizes)
        if (!WriteIcon(argv[first], size)) return 1;
    return 0;
}
