#pragma once
#include <cstddef>
#include <cstdint>

// 32-bit pixels in rows, as an image holds them: pixel (x, y) is
// pixels[y * stride + x], for x in 0..width-1 and y in 0..height-1.
struct PixelView {
    std::uint32_t* pixels = nullptr;
    std::ptrdiff_t stride = 0;
    int width = 0;
    int height = 0;

    std::uint32_t& at(std::int64_t x, std::int64_t y) const { return pixels[y * stride + x]; }
};
