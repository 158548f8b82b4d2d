// Pixel formats described by bit masks, and the Image pixel block that owns its bytes.
#include "gfx/gfx.h"

#include <algorithm>

namespace {

// Index of the lowest set bit of mask; 32 for an empty mask.
uint8_t LowestSetBit(uint32_t mask) {
    if (mask == 0) return 32;
    uint8_t shift = 0;
    while ((mask & 1u) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// Bits lost when an 8-bit channel is stored in mask: 8 minus the run of set bits that starts
// at the lowest set bit (8 for an empty mask). Masks wider than 8 bits lose nothing.
uint8_t ChannelLoss(uint32_t mask) {
    if (mask == 0) return 8;
    mask >>= LowestSetBit(mask);
    int run = 0;
    while (mask & 1u) {
        mask >>= 1;
        ++run;
    }
    return static_cast<uint8_t>(std::max(0, 8 - run));
}

}  // namespace

PixelFormat::PixelFormat(int bitsPerPixel, uint32_t redMask, uint32_t greenMask, uint32_t blueMask)
    : bitsPerPixel(bitsPerPixel),
      redMask(redMask),
      greenMask(greenMask),
      blueMask(blueMask),
      redShift(LowestSetBit(redMask)),
      greenShift(LowestSetBit(greenMask)),
      blueShift(LowestSetBit(blueMask)),
      redLoss(ChannelLoss(redMask)),
      greenLoss(ChannelLoss(greenMask)),
      blueLoss(ChannelLoss(blueMask)) {}

int PixelFormat::BytesPerPixel() const {
    switch (bitsPerPixel) {
    case 16: return 2;
    case 24: return 3;
    case 32: return 4;
    default: return 0;
    }
}

const PixelFormat kPixelFormat32(32, 0x00FF0000u, 0x0000FF00u, 0x000000FFu);

Image::Image(int width, int height, const PixelFormat& format, int pitch)
    : width(width),
      height(height),
      pitch(pitch),
      format(format),
      pixels(static_cast<size_t>(std::max(0, height)) * static_cast<size_t>(std::max(0, pitch))) {}
