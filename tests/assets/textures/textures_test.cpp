// The generated textures as the show loads them: every file present at 256x256, 4-byte
// pixels, and the pixel properties each blend mode relies on. LoadPng inverts alpha, so a
// loaded fourth byte is the blend's source alpha (255 = see-through for mode 11 pictures,
// 255 = pure multiply for modes 4, 6 and 15); RGB files load with 0 there.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "gfx/gfx.h"
#include "tests/support/test_paths.h"

namespace {

constexpr int kSize = 256;
const char* const kFiles[] = {"envmap1.png", "stripe.png", "striber3.png", "fisse.png", "os.png",
                              "plettet.png", "circles.png", "1.png",       "2.png",     "3.png",
                              "4.png",       "toypush.png", "greets.png",  "txt.png",   "logoenv.png"};

struct Texel {
    int r, g, b, a;
};

class Texture {
public:
    explicit Texture(const std::string& name) : image(LoadPng((ShowDataDir() + "/" + name).c_str())) {}
    bool Loaded() const { return image != nullptr; }
    Texel At(int x, int y) const {
        const uint8_t* p = image->Pixels() + y * image->pitch + x * 4;
        return {p[0], p[1], p[2], p[3]};
    }
    std::unique_ptr<Image> image;
};

// Loads name from the data folder, failing the test when it cannot.
Texture Load(const std::string& name) {
    Texture texture(name);
    EXPECT_TRUE(texture.Loaded()) << name << " missing or unreadable in " << ShowDataDir();
    return texture;
}

bool IsPaper(const Texel& t) { return t.r >= 250 && t.g >= 250 && t.b >= 250; }
bool IsInk(const Texel& t) { return t.r < 128 && t.g < 128 && t.b < 128; }

TEST(GeneratedTextures, EveryFileLoadsAs256SquareWithFourBytePixels) {
    for (const char* name : kFiles) {
        SCOPED_TRACE(name);
        Texture texture = Load(name);
        if (!texture.Loaded()) continue;
        EXPECT_EQ(texture.image->Width(), kSize);
        EXPECT_EQ(texture.image->Height(), kSize);
        EXPECT_EQ(texture.image->pitch, kSize * 4);
    }
}

// Modes 4, 6 and 15 give src*(1 - srcA) + dst*src: with srcA = 1 the picture multiplies the
// frame, white paper leaving it unchanged and ink darkening it.
TEST(GeneratedTextures, MultiplyTexturesHaveFullSourceAlphaPaperAndInk) {
    for (const char* name : {"os.png", "txt.png", "greets.png", "stripe.png"}) {
        SCOPED_TRACE(name);
        Texture texture = Load(name);
        if (!texture.Loaded()) continue;
        int paper = 0, ink = 0, notMultiply = 0;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const Texel t = texture.At(x, y);
                paper += IsPaper(t);
                ink += IsInk(t);
                notMultiply += t.a != 255;
            }
        EXPECT_EQ(notMultiply, 0);
        EXPECT_GT(paper, kSize * kSize / 4) << "mostly see-through paper";
        EXPECT_GT(ink, kSize * 4) << "some dark ink";
    }
    // The ball's glass keeps a constant part of its own colour: the same alpha everywhere.
    Texture fisse = Load("fisse.png");
    if (fisse.Loaded()) {
        const int alpha = fisse.At(0, 0).a;
        EXPECT_GT(alpha, 0);
        for (int y = 0; y < kSize; y += 5)
            for (int x = 0; x < kSize; x += 5) ASSERT_EQ(fisse.At(x, y).a, alpha) << x << "," << y;
    }
}

// Mode 11 gives src + dst*srcA, a premultiplied "over": see-through texels (srcA = 1) must
// be black, and no colour channel may exceed the texel's opacity (255 - srcA), or the
// picture would brighten what shows through it.
TEST(GeneratedTextures, Mode11PicturesArePremultipliedWithBlackSeeThrough) {
    for (const char* name : {"1.png", "2.png", "3.png", "4.png", "toypush.png"}) {
        SCOPED_TRACE(name);
        Texture texture = Load(name);
        if (!texture.Loaded()) continue;
        int seeThrough = 0, opaque = 0, badTexels = 0;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const Texel t = texture.At(x, y);
                const int opacity = 255 - t.a;
                seeThrough += t.a == 255;
                opaque += t.a == 0;
                badTexels += t.r > opacity || t.g > opacity || t.b > opacity;
            }
        EXPECT_EQ(badTexels, 0);
        EXPECT_GT(seeThrough, 0);
        EXPECT_GT(opaque, kSize * kSize / 8);
        // The corners are cut away (rounded), leaving black see-through texels.
        for (auto [x, y] : {std::pair{0, 0}, {255, 0}, {0, 255}, {255, 255}}) {
            const Texel t = texture.At(x, y);
            EXPECT_EQ(t.a, 255) << "corner " << x << "," << y;
            EXPECT_EQ(t.r + t.g + t.b, 0) << "corner " << x << "," << y;
        }
    }
    // The pictures of the strip are solid in the middle; the frame over the ball is open there.
    for (const char* name : {"1.png", "2.png", "3.png", "4.png"}) {
        Texture texture = Load(name);
        if (texture.Loaded()) {
            EXPECT_EQ(texture.At(128, 128).a, 0) << name;
        }
    }
    Texture frame = Load("toypush.png");
    if (frame.Loaded()) {
        for (int y = 48; y < 208; y += 4)
            for (int x = 48; x < 208; x += 4) {
                const Texel t = frame.At(x, y);
                ASSERT_TRUE(t.a == 255 && t.r + t.g + t.b == 0) << "centre not clear at " << x << "," << y;
            }
        EXPECT_EQ(frame.At(12, 128).a, 0) << "border is opaque";
    }
}

TEST(GeneratedTextures, OpaqueTexturesAreRgbFiles) {
    for (const char* name : {"envmap1.png", "striber3.png", "circles.png", "logoenv.png", "plettet.png"}) {
        SCOPED_TRACE(name);
        Texture texture = Load(name);
        if (!texture.Loaded()) continue;
        int nonZero = 0;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) nonZero += texture.At(x, y).a != 0;
        EXPECT_EQ(nonZero, 0) << "an RGB file loads with filler 0";
    }
}

// The title's flat half samples texel (0, 0) with linear filtering and wrap-around, which
// blends the four corner texels: all four must hold the same colour, dark on the orange.
TEST(GeneratedTextures, LogoMapCornersHoldOneDarkFlatColour) {
    Texture logo = Load("logoenv.png");
    if (!logo.Loaded()) return;
    const Texel corner = logo.At(0, 0);
    for (auto [x, y] : {std::pair{1, 1}, {255, 0}, {0, 255}, {255, 255}, {254, 254}}) {
        const Texel t = logo.At(x, y);
        EXPECT_EQ(t.r, corner.r);
        EXPECT_EQ(t.g, corner.g);
        EXPECT_EQ(t.b, corner.b);
    }
    EXPECT_LT(corner.r + corner.g + corner.b, 3 * 96);
}

// Each title word lies inside its texel rectangle with a clear texel all round (linear
// filtering at the sprite's edge must not pick up ink), and nothing is inked elsewhere.
TEST(GeneratedTextures, TitleWordsStayInsideTheirRectangles) {
    struct Rect {
        int left, top, right, bottom;
    };
    const Rect words[6] = {{4, 2, 80, 39},   {4, 42, 117, 79},  {4, 82, 126, 119},
                           {4, 122, 153, 159}, {4, 162, 88, 199}, {4, 202, 80, 239}};
    Texture os = Load("os.png");
    if (!os.Loaded()) return;
    int inkPerWord[6] = {};
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            if (IsPaper(os.At(x, y))) continue;
            int word = -1;
            for (int i = 0; i < 6; ++i)
                if (x > words[i].left && x < words[i].right - 1 && y > words[i].top && y < words[i].bottom - 1)
                    word = i;
            ASSERT_GE(word, 0) << "ink outside the word rectangles at " << x << "," << y;
            ++inkPerWord[word];
        }
    for (int i = 0; i < 6; ++i) EXPECT_GT(inkPerWord[i], 100) << "word " << i + 1;
}

// The text panel shows only rows 0 to 153 (the upper 60 %); none of its ink may fall below.
TEST(GeneratedTextures, TextPanelInkIsInTheShownPart) {
    Texture txt = Load("txt.png");
    if (!txt.Loaded()) return;
    int shownInk = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const bool ink = !IsPaper(txt.At(x, y));
            if (y >= 154) {
                ASSERT_FALSE(ink) << "ink below the shown part at " << x << "," << y;
            }
            shownInk += ink;
        }
    EXPECT_GT(shownInk, 2000);
}

// Mean absolute difference between two texel lines given by a start and a step.
double LineDifference(const Texture& t, int x0, int y0, int x1, int y1, int dx, int dy) {
    double sum = 0;
    for (int i = 0; i < kSize; ++i) {
        const Texel a = t.At(x0 + i * dx, y0 + i * dy), b = t.At(x1 + i * dx, y1 + i * dy);
        sum += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
    }
    return sum / kSize;
}

// Repeating patterns wrap without a seam: across the texture edge (column 255 to 0, row 255
// to 0) neighbours differ no more than neighbours inside the texture do on average.
TEST(GeneratedTextures, RepeatingPatternsHaveNoSeams) {
    for (const char* name : {"stripe.png", "striber3.png", "plettet.png", "circles.png"}) {
        SCOPED_TRACE(name);
        Texture texture = Load(name);
        if (!texture.Loaded()) continue;
        double inside = 0, insideRows = 0;
        for (int i = 0; i + 1 < kSize; ++i) {
            inside += LineDifference(texture, i, 0, i + 1, 0, 0, 1);
            insideRows += LineDifference(texture, 0, i, 0, i + 1, 1, 0);
        }
        inside /= kSize - 1;
        insideRows /= kSize - 1;
        EXPECT_LE(LineDifference(texture, 255, 0, 0, 0, 0, 1), 2 * inside + 1) << "left/right seam";
        EXPECT_LE(LineDifference(texture, 0, 255, 0, 0, 1, 0), 2 * insideRows + 1) << "top/bottom seam";
    }
}

std::vector<char> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(TextureGenerator, WritesTheSameBytesOnEveryRun) {
    const std::filesystem::path base = std::filesystem::path(::testing::TempDir()) / "make_textures_runs";
    std::filesystem::remove_all(base);
    for (const char* run : {"a", "b"}) {
        std::filesystem::create_directories(base / run);
        const std::string command = std::string(MAKE_TEXTURES_PATH) + " " + (base / run).string();
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    for (const char* name : kFiles) {
        const std::vector<char> a = ReadBytes(base / "a" / name), b = ReadBytes(base / "b" / name);
        EXPECT_FALSE(a.empty()) << name;
        EXPECT_TRUE(a == b) << name << " differs between runs";
        EXPECT_TRUE(a == ReadBytes(std::filesystem::path(ShowDataDir()) / name)) << name << " differs from the build's";
    }
}

TEST(TextureGenerator, FailsWhenTheFolderCannotBeWritten) {
    const std::string missing = ::testing::TempDir() + "no_such_folder/inner";
    const std::string command = std::string(MAKE_TEXTURES_PATH) + " " + missing + " 2>/dev/null";
    EXPECT_NE(std::system(command.c_str()), 0);
}

}  // namespace
