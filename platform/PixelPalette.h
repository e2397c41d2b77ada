#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "device/PixelView.h"

// A picture of at most 256 colours as a palette and one byte a pixel:
// a page is line art in a few pens with smoothed text, some 250 colours
// at most, so its PNG can hold a third of the bytes and keep every pixel.
struct IndexedPixels {
    // The colours as the pixels hold them (0xffRRGGBB), in the order they
    // first appear, row by row.
    std::vector<std::uint32_t> palette;
    // Row after row, width bytes each.
    std::vector<std::uint8_t> indices;
};

// Fills indexed with the pixels' palette and indices; false, leaving it
// in no particular state, when they have more than 256 colours. The
// alpha byte counts as part of the colour.
bool indexPixels(const PixelView& pixels, IndexedPixels& indexed);
