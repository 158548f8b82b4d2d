// LoadPng on small files written by the test itself, so every expected byte is known.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gfx/gfx.h"

namespace {

struct PngSpec {
    int width = 2, height = 2;
    int colourType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    std::vector<uint8_t> packedRows;        // height rows of packed samples, as stored in the file
    std::vector<png_color> palette;         // palette files only
    std::vector<png_byte> paletteAlpha;     // tRNS for palette files
    bool greyKey = false;                   // tRNS with one grey key
    png_uint_16 greyKeyValue = 0;
};

std::string TempPath(const std::string& name) { return ::testing::TempDir() + "png_written_" + name; }

// Writes layout to path with libpng; fails the test on any libpng error.
void WritePng(const std::string& path, const PngSpec& layout) {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        FAIL() << "libpng could not write " << path;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, layout.width, layout.height, layout.bitDepth, layout.colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!layout.palette.empty()) png_set_PLTE(png, info, layout.palette.data(), static_cast<int>(layout.palette.size()));
    if (!layout.paletteAlpha.empty())
        png_set_tRNS(png, info, layout.paletteAlpha.data(), static_cast<int>(layout.paletteAlpha.size()), nullptr);
    if (layout.greyKey) {
        png_color_16 key{};
        key.gray = layout.greyKeyValue;
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    png_write_info(png, info);
    const size_t rowBytes = layout.packedRows.size() / layout.height;
    std::vector<uint8_t> rows = layout.packedRows;
    for (int y = 0; y < layout.height; ++y) png_write_row(png, rows.data() + y * rowBytes);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

// Loads path and checks the size and the 4-byte pitch.
std::vector<uint8_t> LoadBytes(const std::string& path, int width, int height) {
    Image* image = LoadPng(path.c_str());
    EXPECT_NE(image, nullptr) << path;
    if (!image) return {};
    EXPECT_EQ(image->Width(), width);
    EXPECT_EQ(image->Height(), height);
    EXPECT_EQ(image->pitch, width * 4);
    EXPECT_EQ(image->format.BytesPerPixel(), 4);
    std::vector<uint8_t> bytes(image->Pixels(), image->Pixels() + image->pixels.size());
    delete image;
    return bytes;
}

PngSpec Layout(int width, int height, int colourType, int bitDepth, std::vector<uint8_t> packedRows) {
    PngSpec layout;
    layout.width = width;
    layout.height = height;
    layout.colourType = colourType;
    layout.bitDepth = bitDepth;
    layout.packedRows = std::move(packedRows);
    return layout;
}

// Writes layout to a temporary file named name and loads it back.
std::vector<uint8_t> RoundTrip(const std::string& name, const PngSpec& layout) {
    const std::string path = TempPath(name);
    WritePng(path, layout);
    return LoadBytes(path, layout.width, layout.height);
}

TEST(PngWritten, RgbGetsZeroFillerAfterEachPixel) {
    const auto bytes = RoundTrip("rgb.png", Layout(2, 2, PNG_COLOR_TYPE_RGB, 8,
                                                 {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120}));
    EXPECT_EQ(bytes, (std::vector<uint8_t>{10, 20, 30, 0, 40, 50, 60, 0, 70, 80, 90, 0, 100, 110, 120, 0}));
}

TEST(PngWritten, RgbaAlphaIsInverted) {
    const auto bytes = RoundTrip("rgba.png", Layout(2, 2, PNG_COLOR_TYPE_RGB_ALPHA, 8,
                                                  {1, 2, 3, 0, 4, 5, 6, 255, 7, 8, 9, 64, 10, 11, 12, 200}));
    EXPECT_EQ(bytes, (std::vector<uint8_t>{1, 2, 3, 255, 4, 5, 6, 0, 7, 8, 9, 191, 10, 11, 12, 55}));
}

TEST(PngWritten, SixteenBitRgbKeepsHighBytesAndFourBytePixels) {
    const auto bytes = RoundTrip("rgb16.png", Layout(3, 1, PNG_COLOR_TYPE_RGB, 16,
                                                   {0x12, 0x34, 0xAB, 0xCD, 0xFF, 0x01, 0x00, 0xFF, 0x80,
                                                    0x00, 0x7F, 0xFF, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06}));
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0x12, 0xAB, 0xFF, 0, 0x00, 0x80, 0x7F, 0, 0x01, 0x03, 0x05, 0}));
}

TEST(PngWritten, LowBitGreyIsWidenedToFullRangeRgb) {
    const auto bytes = RoundTrip("grey1.png", Layout(8, 1, PNG_COLOR_TYPE_GRAY, 1, {0b10110001}));
    std::vector<uint8_t> expected;
    for (int bit : {1, 0, 1, 1, 0, 0, 0, 1}) {
        const uint8_t level = bit ? 255 : 0;
        expected.insert(expected.end(), {level, level, level, 0});
    }
    EXPECT_EQ(bytes, expected);
}

TEST(PngWritten, GreyWithKeyBecomesRgbWithInvertedKeyAlpha) {
    PngSpec layout = Layout(4, 1, PNG_COLOR_TYPE_GRAY, 4, {0x05, 0xF3});  // levels 0, 5 (the key), 15, 3
    layout.greyKey = true;
    layout.greyKeyValue = 5;
    EXPECT_EQ(RoundTrip("grey4key.png", layout),
              (std::vector<uint8_t>{0, 0, 0, 0, 85, 85, 85, 255, 255, 255, 255, 0, 51, 51, 51, 0}));
}

TEST(PngWritten, PaletteWithTransparencyGivesInvertedAlpha) {
    PngSpec layout = Layout(4, 1, PNG_COLOR_TYPE_PALETTE, 2, {0b00011011});  // indices 0, 1, 2, 3
    layout.palette = {{200, 100, 0}, {0, 50, 250}, {9, 9, 9}, {255, 255, 255}};
    layout.paletteAlpha = {0, 128};  // entries 2 and 3 are opaque
    EXPECT_EQ(RoundTrip("palette_trns.png", layout),
              (std::vector<uint8_t>{200, 100, 0, 255, 0, 50, 250, 127, 9, 9, 9, 0, 255, 255, 255, 0}));
}

TEST(PngWritten, BrokenFilesGiveNoImageAndNameTheFile) {
    const std::string good = TempPath("source.png");
    WritePng(good, Layout(2, 2, PNG_COLOR_TYPE_RGB, 8, std::vector<uint8_t>(12, 7)));
    std::vector<uint8_t> file;
    {
        FILE* in = std::fopen(good.c_str(), "rb");
        ASSERT_NE(in, nullptr);
        for (int c; (c = std::fgetc(in)) != EOF;) file.push_back(static_cast<uint8_t>(c));
        std::fclose(in);
    }
    auto writeBytes = [](const std::string& path, const std::vector<uint8_t>& bytes) {
        FILE* out = std::fopen(path.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
    };

    std::vector<uint8_t> badSignature = file;
    badSignature[1] = 'Q';
    std::vector<uint8_t> truncated(file.begin(), file.begin() + file.size() / 2);
    const std::vector<uint8_t> empty;
    const std::pair<const char*, const std::vector<uint8_t>*> cases[] = {
        {"bad_signature.png", &badSignature}, {"truncated.png", &truncated}, {"empty.png", &empty}};
    for (const auto& [name, bytes] : cases) {
        const std::string path = TempPath(name);
        writeBytes(path, *bytes);
        ::testing::internal::CaptureStderr();
        Image* image = LoadPng(path.c_str());
        const std::string message = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(image, nullptr) << name;
        EXPECT_NE(message.find(path), std::string::npos) << name << ": " << message;
        delete image;
    }
}

TEST(PngWritten, MissingFileGivesNoImageAndNamesTheFile) {
    const std::string path = TempPath("does_not_exist.png");
    std::remove(path.c_str());
    ::testing::internal::CaptureStderr();
    Image* image = LoadPng(path.c_str());
    const std::string message = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(image, nullptr);
    EXPECT_NE(message.find("\"" + path + "\""), std::string::npos) << message;
}

TEST(PixelFormat, ShiftsAndLossesFollowTheMasks) {
    const PixelFormat rgb565(16, 0xF800, 0x07E0, 0x001F);
    EXPECT_EQ(rgb565.redShift, 11);
    EXPECT_EQ(rgb565.greenShift, 5);
    EXPECT_EQ(rgb565.blueShift, 0);
    EXPECT_EQ(rgb565.redLoss, 3);
    EXPECT_EQ(rgb565.greenLoss, 2);
    EXPECT_EQ(rgb565.blueLoss, 3);
    EXPECT_EQ(rgb565.BytesPerPixel(), 2);

    const PixelFormat empty(24, 0, 0x00FF00, 0);
    EXPECT_EQ(empty.redShift, 32);
    EXPECT_EQ(empty.redLoss, 8);
    EXPECT_EQ(empty.greenShift, 8);
    EXPECT_EQ(empty.greenLoss, 0);
    EXPECT_EQ(empty.BytesPerPixel(), 3);

    EXPECT_EQ(kPixelFormat32.redShift, 16);
    EXPECT_EQ(kPixelFormat32.BytesPerPixel(), 4);
    EXPECT_EQ(PixelFormat(15, 0x7C00, 0x03E0, 0x001F).BytesPerPixel(), 0);
}

}  // namespace
