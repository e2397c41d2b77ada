#pragma once
#include <array>
#include <cstdint>
#include <span>

#include "device/Canvas.h"
#include "device/PixelView.h"

// Lines one pixel wide set straight into pixels: Bresenham's line from a
// point up to, not including, the next, cut exactly at the clip. Every
// int coordinate is taken; a line far longer than the pixels costs only
// the pixels it sets.
class LineRaster {
public:
    explicit LineRaster(PixelView view);

    const PixelView& view() const { return view_; }
    // [left, right) x [top, bottom) within the pixels; empty when none is.
    const DeviceRect& clipRect() const { return clip_; }
    // Lines are cut at the rectangle and at the pixels' edges, or at the
    // pixels' edges only.
    void clip(const DeviceRect& rect);
    void unclip();

    void line(DevicePoint from, DevicePoint to, std::uint32_t pixel);
    // The lines from each point to the next, as that many line calls.
    void polyline(std::span<const DevicePoint> points, std::uint32_t pixel);

private:
    bool clipEmpty() const { return clip_.right <= clip_.left || clip_.bottom <= clip_.top; }
    void clippedLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                     std::uint32_t pixel);

    PixelView view_;
    DeviceRect clip_;
    // A dense line's points without their repeats, a piece at a time,
    // and room for the stores beyond them of four points at a time.
    std::array<DevicePoint, 1025 + 3> distinct_;
};
