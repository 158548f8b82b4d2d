// Bilinear scaling of a picture read back from OpenGL into a window's pixels, on the
// processor: full screen's scaling where the renderer itself is software.
#pragma once

#include <cstdint>
#include <vector>

class BilinearScaler {
public:
    // Sets the sizes scaled from and to (pixels, each side at least 2 and 1); the filter's
    // taps are made again only when they change.
    void Prepare(int width, int height, int targetWidth, int targetHeight);
    // Scales source (width x height 32-bit pixels, bottom row first, as OpenGL reads them
    // back) into target (top row first, pitch bytes between rows). Each target pixel's
    // centre maps into the source and the four nearest texels are mixed by its distance
    // to them, edges clamped: the linear filter of a scaling blit, to 1/256 steps.
    void Scale(const uint32_t* source, uint8_t* target, int pitch);

    struct Tap {
        int index;        // the first of the two source texels
        uint32_t weight;  // of the second, 0..256
    };

private:
    int width = 0, height = 0, targetWidth = 0, targetHeight = 0;
    std::vector<Tap> columns, rows;  // per target column and row
    std::vector<uint32_t> lines[2];  // two source rows scaled horizontally
};
