// Contact sheet: one PNG with every texture of the data folder and every 3DS object
// rendered flat-shaded from the camera of the part that draws it, for checking by eye.
//
// Usage: contact_sheet DATA_DIR OUTPUT.png   (the 3DS reader's trace goes to stdout)
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "fx/fx.h"
#include "import/import.h"
#include "parts/parts.h"
#include "tools/part_view.h"

namespace {

constexpr int kThumb = 120, kThumbsPerRow = 10, kLabel = 16, kMargin = 8;
constexpr int kPanelW = 320, kPanelH = 240, kPanelsPerRow = 4;  // the 640x480 screen, halved
constexpr float kNear = 0.05f;  // camera-space near plane of the sheet's own clipping

struct Rgb {
    float r, g, b;
};
constexpr Rgb kOrange{0.9453125f, 0.7109375f, 0.02734375f};
constexpr Rgb kBlack{0, 0, 0};


// One object as drawn in a panel. Sorted objects join one painter's list by depth;
// unsorted ones are drawn in file order after the sorted ones before them.
struct Layer {
    Mesh* mesh;
    Rgb colour;
    bool shaded;  // lambert shading; otherwise flat colour as the show draws it
    bool sorted;
    cairo_surface_t* texture = nullptr;  // drawn with the unit-0 mapping instead of colour
};

struct Polygon {
    float depth;
    Rgb colour;
    float shade;                     // lambert term applied over a texture
    cairo_surface_t* texture;        // or null for the flat colour
    int count;
    float sx[4], sy[4];  // normalised screen coordinates, y up
    float s[4], t[4];    // unit-0 texture coordinates
};

std::deque<OwnedMesh> sheetMeshes;  // every mesh the sheet imports or copies

Mesh* Import(const std::string& dir, const char* file, const char* object) {
    Mesh* mesh = &sheetMeshes.emplace_back();
    ImportObject(mesh, (dir + "/" + file).c_str(), object);
    if (mesh->faceList->count == 0)
        std::fprintf(stderr, "contact_sheet: %s has no object \"%s\"\n", file, object);
    return mesh;
}


// Clips triangle (camera space) against z = kNear and projects it; false if nothing is left.
bool ClipAndProject(const ScreenVertex* v[3], Polygon* out) {
    out->count = 0;
    for (int i = 0; i < 3; ++i) {
        const ScreenVertex* a = v[i];
        const ScreenVertex* b = v[(i + 1) % 3];
        bool aIn = a->z > kNear, bIn = b->z > kNear;
        if (aIn) {
            out->sx[out->count] = a->x / a->z;
            out->sy[out->count] = -a->y / a->z;
            out->s[out->count] = a->s0;
            out->t[out->count] = a->t0;
            ++out->count;
        }
        if (aIn != bIn) {
            float k = (kNear - a->z) / (b->z - a->z);
            out->sx[out->count] = (a->x + k * (b->x - a->x)) / kNear;
            out->sy[out->count] = -(a->y + k * (b->y - a->y)) / kNear;
            out->s[out->count] = a->s0 + k * (b->s0 - a->s0);
            out->t[out->count] = a->t0 + k * (b->t0 - a->t0);
            ++out->count;
        }
    }
    return out->count >= 3;
}

// Lambert term of a face for a light over the viewer's left shoulder, two-sided.
float Lambert(const ScreenVertex* v[3]) {
    float nx, ny, nz;
    FaceNormal(&nx, &ny, &nz, v[0], v[1], v[2]);
    const float lx = 0.35f, ly = -0.45f, lz = -0.82f;  // towards the light, camera space
    return 0.25f + 0.75f * std::fabs(nx * lx + ny * ly + nz * lz);
}

// Texture pattern of polygon p whose corners lie at panel pixels (px, py): the affine map
// taking the first three corners to their texel positions (no perspective correction).
// Null when the corners or their texture coordinates are collinear (no such map).
cairo_pattern_t* TexturePattern(const Polygon& p, const double px[4], const double py[4]) {
    const double w = cairo_image_surface_get_width(p.texture), h = cairo_image_surface_get_height(p.texture);
    const double ax = px[1] - px[0], ay = py[1] - py[0], bx = px[2] - px[0], by = py[2] - py[0];
    const double det = ax * by - bx * ay;
    if (std::fabs(det) < 1e-9) return nullptr;
    const double us = (p.s[1] - p.s[0]) * w, vs = (p.s[2] - p.s[0]) * w;
    const double ut = (p.t[1] - p.t[0]) * h, vt = (p.t[2] - p.t[0]) * h;
    if (std::fabs(us * vt - vs * ut) < 1e-6) return nullptr;
    cairo_matrix_t m;
    m.xx = (us * by - vs * ay) / det;
    m.xy = (vs * ax - us * bx) / det;
    m.yx = (ut * by - vt * ay) / det;
    m.yy = (vt * ax - ut * bx) / det;
    m.x0 = p.s[0] * w - m.xx * px[0] - m.xy * py[0];
    m.y0 = p.t[0] * h - m.yx * px[0] - m.yy * py[0];
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(p.texture);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_matrix(pattern, &m);
    return pattern;
}

// Colour of the texel at texture coordinates (s, t), repeating, times shade.
Rgb Texel(cairo_surface_t* texture, float s, float t, float shade) {
    const int w = cairo_image_surface_get_width(texture), h = cairo_image_surface_get_height(texture);
    const int x = ((static_cast<int>(std::floor(s * w)) % w) + w) % w;
    const int y = ((static_cast<int>(std::floor(t * h)) % h) + h) % h;
    const uint8_t* row = cairo_image_surface_get_data(texture) + y * cairo_image_surface_get_stride(texture);
    const uint32_t pixel = reinterpret_cast<const uint32_t*>(row)[x];
    return {shade * ((pixel >> 16) & 0xFF) / 255.0f, shade * ((pixel >> 8) & 0xFF) / 255.0f, shade * (pixel & 0xFF) / 255.0f};
}

void DrawPolygon(cairo_t* cr, const Polygon& p, double x0, double y0) {
    double px[4], py[4];
    for (int i = 0; i < p.count; ++i) {
        px[i] = x0 + (p.sx[i] + 1) * 0.5 * kPanelW;
        py[i] = y0 + (1 - p.sy[i]) * 0.5 * kPanelH;
    }
    cairo_move_to(cr, px[0], py[0]);
    for (int i = 1; i < p.count; ++i) cairo_line_to(cr, px[i], py[i]);
    cairo_close_path(cr);
    cairo_pattern_t* pattern = p.texture ? TexturePattern(p, px, py) : nullptr;
    if (pattern) {
        cairo_set_source(cr, pattern);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(pattern);
        cairo_set_source_rgba(cr, 0, 0, 0, 1 - p.shade);
        cairo_fill(cr);
        return;
    }
    Rgb colour = p.texture ? Texel(p.texture, p.s[0], p.t[0], p.shade) : p.colour;
    cairo_set_source_rgb(cr, colour.r, colour.g, colour.b);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 0.4);  // hides hairline gaps between neighbours
    cairo_stroke(cr);
}

void Label(cairo_t* cr, double x, double y, const std::string& text) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, text.c_str());
}

// One panel: background, then the layers (each already transformed), then the label.
void DrawPanel(cairo_t* cr, int index, Rgb background, const std::vector<Layer>& layers,
               const std::string& label) {
    const double x0 = kMargin + (index % kPanelsPerRow) * (kPanelW + kMargin);
    const double y0 = kMargin + 2 * (kThumb + kLabel + kMargin) + (index / kPanelsPerRow) * (kPanelH + kLabel + kMargin);
    cairo_save(cr);
    cairo_rectangle(cr, x0, y0, kPanelW, kPanelH);
    cairo_clip(cr);
    cairo_set_source_rgb(cr, background.r, background.g, background.b);
    cairo_paint(cr);

    std::vector<Polygon> list;
    auto flushSorted = [&] {
        std::stable_sort(list.begin(), list.end(), [](const Polygon& a, const Polygon& b) { return a.depth > b.depth; });
        for (const Polygon& p : list) DrawPolygon(cr, p, x0, y0);
        list.clear();
    };
    for (const Layer& layer : layers) {
        const FaceBuffer* faces = layer.mesh->faceList;
        for (int i = 0; i < faces->count; ++i) {
            const MeshFace& f = faces->faces[i];
            const ScreenVertex* v[3] = {f.a, f.b, f.c};
            Polygon p;
            if (!ClipAndProject(v, &p)) continue;
            float k = layer.shaded ? Lambert(v) : 1.0f;
            p.colour = {layer.colour.r * k, layer.colour.g * k, layer.colour.b * k};
            p.shade = k;
            p.texture = layer.texture;
            p.depth = f.a->z + f.b->z + f.c->z;
            if (layer.sorted)
                list.push_back(p);
            else
                DrawPolygon(cr, p, x0, y0);
        }
        if (!layer.sorted || &layer == &layers.back()) flushSorted();
    }
    cairo_restore(cr);
    Label(cr, x0, y0 + kPanelH + kLabel - 4, label);
}

// The colour channels of a loaded texture as an opaque cairo surface. The show's blend
// modes read the alpha channel in different ways, so the sheet shows colour alone.
cairo_surface_t* OpaqueSurface(const Image& image) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, image.width, image.height);
    cairo_surface_flush(surface);
    uint8_t* out = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int row = 0; row < image.height; ++row) {
        const uint8_t* in = image.pixels.data() + row * image.pitch;
        uint32_t* dst = reinterpret_cast<uint32_t*>(out + row * stride);
        for (int col = 0; col < image.width; ++col, in += 4)
            dst[col] = static_cast<uint32_t>(in[0]) << 16 | in[1] << 8 | in[2];
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

// A texture of the data folder as an opaque surface, or null (flat colour) when absent.
cairo_surface_t* LoadTexture(const std::string& dir, const char* name) {
    Image* image = LoadPng((dir + "/" + name).c_str());
    if (!image) return nullptr;
    cairo_surface_t* surface = OpaqueSurface(*image);
    delete image;
    return surface;
}

void DrawTextures(cairo_t* cr, const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        if (entry.path().extension() == ".png") names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    for (size_t i = 0; i < names.size() && i < 2 * kThumbsPerRow; ++i) {
        const double x = kMargin + (i % kThumbsPerRow) * (kThumb + kMargin);
        const double y = kMargin + (i / kThumbsPerRow) * (kThumb + kLabel + kMargin);
        Image* image = LoadPng((dir + "/" + names[i]).c_str());
        if (!image) {
            std::fprintf(stderr, "contact_sheet: cannot read %s/%s\n", dir.c_str(), names[i].c_str());
        } else {
            cairo_surface_t* thumb = OpaqueSurface(*image);
            cairo_save(cr);
            cairo_translate(cr, x, y);
            cairo_scale(cr, static_cast<double>(kThumb) / image->width, static_cast<double>(kThumb) / image->height);
            cairo_set_source_surface(cr, thumb, 0, 0);
            cairo_paint(cr);
            cairo_restore(cr);
            cairo_surface_destroy(thumb);
            delete image;
        }
        Label(cr, x, y + kThumb + kLabel - 4, names[i]);
    }
}

// The nested zoom at frame n: zoom state as the part steps it, copies nearest first.
void DrawNestedZoom(cairo_t* cr, int index, Mesh* mesh, int frame) {
    float p = 15.5f, w = 0.0f, t = 0.0f;
    for (int i = 0; i <= frame; ++i) {
        p -= 0.04f;
        if (p <= 10.5f) w += 0.018f;
        t += 0.018f;
    }
    const float d = std::exp(p);
    const int b = static_cast<int>(w);
    std::vector<Layer> layers;
    for (int i = b + 1; i <= b + 5; ++i) {
        // Each copy needs its own transformed vertices: import one mesh per copy.
        Mesh* copy = &sheetMeshes.emplace_back();
        copy->working = new VertexBuffer(*mesh->working);
        copy->faceList = new FaceBuffer(*mesh->faceList);
        for (MeshFace& f : copy->faceList->faces) {
            f.a = &copy->working->vertices[f.indexA];
            f.b = &copy->working->vertices[f.indexB];
            f.c = &copy->working->vertices[f.indexC];
        }
        float distance = d / std::pow(10.0f, static_cast<float>(5 - i));
        LookThrough(copy, {{1, 1, -distance}, {0, 0, 0}, 90 * std::sin(0.4f * i + 4 * t) + 180, 61, 1.2f});
        float c = static_cast<float>(i % 2);
        layers.push_back({copy, {c, c, c}, false, false});
    }
    DrawPanel(cr, index, kBlack, layers, "toypush1.3ds Shape1, frame " + std::to_string(frame));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: contact_sheet DATA_DIR OUTPUT.png\n");
        return 2;
    }
    const std::string dir = argv[1];
    const int width = kMargin + kPanelsPerRow * (kPanelW + kMargin);
    const int height = kMargin + 2 * (kThumb + kLabel + kMargin) + 3 * (kPanelH + kLabel + kMargin);
    cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(sheet);
    cairo_set_source_rgb(cr, 0.15, 0.15, 0.18);
    cairo_paint(cr);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 11);
    DrawTextures(cr, dir);

    Mesh* text1 = Import(dir, "purple.3ds", "Text01");
    Mesh* text2 = Import(dir, "purple.3ds", "Text02");
    Mesh* ball = Import(dir, "ball2116.3ds", "Object01");
    Mesh* cone = Import(dir, "striber.3ds", "Cone01");
    Mesh* spiral = Import(dir, "spiral.3ds", "Shape1");
    Mesh* box = Import(dir, "toyscene.3ds", "Box05");
    Mesh* dude = Import(dir, "toyscene.3ds", "dude");
    Mesh* glasses = Import(dir, "toyscene.3ds", "briller");
    Mesh* star = Import(dir, "toypush1.3ds", "Shape1");
    Mesh* heart = Import(dir, "hjerte~1.3ds", "Shape02");

    // Title at its first frame and at the far side of its swing, unlit and textured as the
    // part draws it: "Text02" with the environment texture's texel (0, 0), "Text01"
    // environment-mapped. The word line's band (y -0.12 to -0.22) is shaded on the first.
    cairo_surface_t* logoEnv = LoadTexture(dir, "logoenv.png");
    for (int k = 0; k < 2; ++k) {
        const int index = k == 0 ? 0 : 11;
        float t = k == 0 ? 3.14f : 4.5f;
        PartView title{{30 * std::sin(t), 30 * std::sin(3 * t), 15 * std::cos(t) - 250}, {0, 0, 0}, 180, 61, 1};
        LookThrough(text2, title);
        LookThrough(text1, title);
        ClearTexCoords(text2->working->vertices.data(), text2->faceList->faces.data(), text2->working->count,
                       text2->faceList->count);
        SmoothEnvMap(text1->working->vertices.data(), text1->faceList->faces.data(), text1->working->count,
                     text1->faceList->count);
        DrawPanel(cr, index, kOrange,
                  {{text2, {0.55f, 0.2f, 0.6f}, false, false, logoEnv}, {text1, {0.8f, 0.8f, 0.9f}, false, false, logoEnv}},
                  "purple.3ds Text02, Text01 (environment-mapped), T " + std::to_string(t).substr(0, 4));
    }
    cairo_set_source_rgba(cr, 1, 1, 1, 0.5);
    cairo_rectangle(cr, kMargin, kMargin + 2 * (kThumb + kLabel + kMargin) + (1 + 0.12) * 0.5 * kPanelH, kPanelW,
                    0.10 * 0.5 * kPanelH);
    cairo_fill(cr);

    // Ball morphed as at T = 3.3, and the cone behind it, from their cameras.
    float t = 3.3f;
    std::vector<float> factors(ball->base->count);
    for (int i = 0; i < ball->base->count; ++i) {
        const Vec3& p = ball->base->positions[i];
        factors[i] = 1 + 0.2f * std::sin(p.x / 26 + 16 * t) + 0.2f * std::cos(p.y / 27 + 17 * t) +
                     0.2f * std::cos(p.z / 25 + 15 * t);
    }
    ScaleVertices(ball, factors.data());
    LookThrough(ball, {{15 * std::sin(t), 15 * std::sin(3 * t) + 450, 15 * std::cos(t)}, {0, 0, 0}, 0, 61, 1});
    DrawPanel(cr, 1, kBlack, {{ball, {0.7f, 0.75f, 0.8f}, true, true}}, "ball2116.3ds Object01, T 3.3");
    LookThrough(cone, {{45 * std::sin(t) + 1, 45 * std::sin(3 * t) + 1, 5 * std::cos(t) + 32}, {1, 1, 100}, 180, 61, 1});
    cairo_surface_t* stripes = LoadTexture(dir, "striber3.png");
    DrawPanel(cr, 2, kBlack, {{cone, {0.9f, 0.9f, 0.9f}, true, false, stripes}}, "striber.3ds Cone01 (file order), T 3.3");

    t = 1.0f;
    LookThrough(spiral, {{0, 0, 100}, {1, 0, 1}, 20 * t, 61, 1.2f});
    DrawPanel(cr, 3, kOrange, {{spiral, {1, 1, 1}, false, false}}, "spiral.3ds Shape1, roll 20");

    // Toy scene: one frame of each of the four camera paths.
    cairo_surface_t* circles = LoadTexture(dir, "circles.png");
    for (int path = 0; path < 4; ++path) {
        t = 0.4f * path;
        PartView view{ToyCameraPosition(kToyFirstPathOrder + path, t), {1, 0, 51}, 180, 91, 1.2f};
        LookThrough(box, view);
        LookThrough(dude, view);
        LookThrough(glasses, view);
        DrawPanel(cr, 4 + path, {0.1f, 0.1f, 0.3f},
                  {{box, {0.95f, 0.6f, 0.15f}, true, true, circles}, {dude, {0.3f, 0.3f, 0.3f}, true, true},
                   {glasses, {1, 1, 1}, true, true}},
                  "toyscene.3ds, camera path " + std::to_string(path + 1) + ", t " + std::to_string(t).substr(0, 3));
    }

    DrawNestedZoom(cr, 8, star, 300);

    for (int k = 0; k < 2; ++k) {
        t = 0.3f + 1.9f * k;
        LookThrough(heart, {{120 * std::sin(t + 0.42f), 10 * std::cos(t + 0.21f), 120 * std::cos(t + 0.42f)}, {1, 0, 1}, 180, 61, 1.2f});
        DrawPanel(cr, 9 + k, kOrange, {{heart, {0.85f, 0.15f, 0.25f}, true, true}},
                  "hjerte~1.3ds Shape02, T " + std::to_string(t).substr(0, 3));
    }

    for (cairo_surface_t* texture : {logoEnv, stripes, circles})
        if (texture) cairo_surface_destroy(texture);
    cairo_destroy(cr);
    cairo_status_t status = cairo_surface_write_to_png(sheet, argv[2]);
    cairo_surface_destroy(sheet);
    cairo_debug_reset_static_data();  // font caches, so that leak checkers see a clean exit
    if (status != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "contact_sheet: cannot write %s: %s\n", argv[2], cairo_status_to_string(status));
        return 1;
    }
    return 0;
}
