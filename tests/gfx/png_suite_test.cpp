// LoadPng over the PngSuite files: sizes, 4-byte pixels and the fourth byte's meaning for
// every colour type, and no image (without a crash) for the corrupt files.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "gfx/gfx.h"
#include "tests/support/test_paths.h"

namespace {

struct SuiteFile {
    std::string name;
    int width = 0, height = 0, colourType = 0, bitDepth = 0;
    bool transparency = false;
    bool decodes = false;
};

// Rows of EXPECTED.tsv; empty when the folder is absent.
std::vector<SuiteFile> ReadExpected(const std::string& dir) {
    std::vector<SuiteFile> files;
    std::ifstream in(dir + "/EXPECTED.tsv");
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::stringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');) fields.push_back(cell);
        if (fields.size() < 8) continue;
        SuiteFile file;
        file.name = fields[0];
        file.decodes = fields[7] == "ok";
        if (file.decodes) {
            file.width = std::stoi(fields[1]);
            file.height = std::stoi(fields[2]);
            file.colourType = std::stoi(fields[3]);
            file.bitDepth = std::stoi(fields[4]);
        }
        file.transparency = fields[6] == "yes";
        files.push_back(file);
    }
    return files;
}

class PngSuite : public ::testing::Test {
protected:
    void SetUp() override {
        dir = TestDataDir() + "/png";
        if (!DirExists(dir)) GTEST_SKIP() << "PngSuite files not found in " << dir;
        files = ReadExpected(dir);
        ASSERT_FALSE(files.empty()) << "no rows in " << dir << "/EXPECTED.tsv";
    }
    std::string dir;
    std::vector<SuiteFile> files;
};

TEST_F(PngSuite, ValidFilesDecodeToFourBytePixelsWithTheRightFourthByte) {
    int checked = 0;
    for (const SuiteFile& file : files) {
        if (!file.decodes) continue;
        SCOPED_TRACE(file.name);
        Image* image = LoadPng((dir + "/" + file.name).c_str());
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->Width(), file.width);
        EXPECT_EQ(image->Height(), file.height);
        EXPECT_EQ(image->pitch, file.width * 4);
        ASSERT_EQ(image->pixels.size(), static_cast<size_t>(file.width * file.height * 4));

        const bool grey = file.colourType == 0 || file.colourType == 4;
        const bool hasAlpha = file.colourType == 4 || file.colourType == 6 || file.transparency;
        std::set<int> fourth, greyLevels;
        bool greyStaysGrey = true;
        const uint8_t* p = image->Pixels();
        for (size_t i = 0; i < image->pixels.size(); i += 4) {
            fourth.insert(p[i + 3]);
            greyLevels.insert(p[i]);
            greyStaysGrey = greyStaysGrey && p[i] == p[i + 1] && p[i] == p[i + 2];
        }
        if (!hasAlpha) {
            EXPECT_EQ(fourth, std::set<int>{0}) << "no alpha: the filler byte is 0";
        } else if (file.width * file.height > 1) {
            EXPECT_GT(fourth.size(), 1u) << "alpha or transparency key lost";
        }
        if (grey) {
            EXPECT_TRUE(greyStaysGrey) << "grey samples must be copied to red, green and blue";
        }
        // Low-bit grey must be spread over 0..255 in steps of 255 / (2^bits - 1), not left as
        // raw sample values 0..(2^bits - 1).
        if (grey && file.bitDepth < 8) {
            const int step = 255 / ((1 << file.bitDepth) - 1);
            for (int level : greyLevels) EXPECT_EQ(level % step, 0) << "level " << level;
            EXPECT_GT(*greyLevels.rbegin(), (1 << file.bitDepth) - 1);
        }
        ++checked;
        delete image;
    }
    EXPECT_EQ(checked, 26);
}

// The transparent pixels of the key and palette files come out with fourth byte 255 (the
// transparency inverted), the opaque ones 0: check against the PngSuite pictures, whose
// transparent area is the background around the shape and includes the corner pixel.
TEST_F(PngSuite, TransparencyIsInvertedInTheFourthByte) {
    for (const char* name : {"tbbn3p08.png", "tp1n3p08.png", "tbrn2c08.png", "tbgn2c16.png", "tbbn0g04.png"}) {
        SCOPED_TRACE(name);
        Image* image = LoadPng((dir + "/" + name).c_str());
        ASSERT_NE(image, nullptr);
        const uint8_t* p = image->Pixels();
        EXPECT_EQ(p[3], 255) << "corner pixel is transparent in the file";
        size_t opaque = 0;
        for (size_t i = 3; i < image->pixels.size(); i += 4) opaque += p[i] == 0;
        EXPECT_GT(opaque, image->pixels.size() / 16) << "the shape is opaque in the file";
        delete image;
    }
}

TEST_F(PngSuite, CorruptFilesGiveNoImage) {
    int checked = 0;
    for (const SuiteFile& file : files) {
        if (file.decodes) continue;
        SCOPED_TRACE(file.name);
        const std::string path = dir + "/" + file.name;
        ::testing::internal::CaptureStderr();
        Image* image = LoadPng(path.c_str());
        const std::string message = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(image, nullptr);
        EXPECT_NE(message.find(file.name), std::string::npos) << message;
        delete image;
        ++checked;
    }
    EXPECT_EQ(checked, 8);
}

}  // namespace
