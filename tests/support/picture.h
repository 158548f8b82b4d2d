// RGB pictures for tests of the program's output: PNG files read and written with libpng.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// 8-bit RGB, rows from the top.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    const uint8_t* At(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
};

// Reads any PNG as RGB; false when the file is missing or not a PNG.
bool ReadPicture(const std::string& path, Picture* picture);
// Writes the picture as an RGB PNG; false when the file cannot be written.
bool WritePicture(const std::string& path, const Picture& picture);
