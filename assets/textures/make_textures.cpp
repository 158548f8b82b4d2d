// make_textures: draws every texture of the show and writes them as PNG files into the
// folder given as its one argument. The output is the same, byte for byte, on every run.
#include <cstdio>
#include <string>

#include "assets/textures/textures.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_textures OUTPUT_DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    cairo_font_face_t* font = textures::LoadFont(ORANGEFUNK_FONT_FILE);
    if (!font) return 1;
    bool ok = textures::MakeSphereMaps(dir);
    ok = textures::MakePatterns(dir) && ok;
    ok = textures::MakeLettering(dir, font) && ok;
    ok = textures::MakePictures(dir, font) && ok;
    textures::FreeFont(font);
    return ok ? 0 : 1;
}
