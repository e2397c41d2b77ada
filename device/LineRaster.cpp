#include "device/LineRaster.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "device/DistinctPoints.h"
#include "device/WideLanes.h"

namespace {

// Products of two coordinate spans pass 64 bits.
__extension__ typedef __int128 Wide;

Wide ceilDiv(Wide a, Wide b)  // b > 0
{
    const Wide q = a / b;
    return a % b != 0 && a > 0 ? q + 1 : q;
}

// The pixels of a Bresenham line, numbered t = 0 .. major-1: pixel t is t
// steps along the major axis and minorSteps(t) along the minor one.
struct LineSteps {
    std::int64_t major, minor;

    std::int64_t minorSteps(std::int64_t t) const
    {
        return static_cast<std::int64_t>((2 * Wide{minor} * t + major) / (2 * Wide{major}));
    }
    // The first t with minorSteps(t) >= a.
    Wide firstReaching(Wide a) const
    {
        return minor == 0 ? (a <= 0 ? 0 : major) : ceilDiv(2 * major * a - major, 2 * Wide{minor});
    }
};

// The steps s (0 <= s, one way) that keep start + sign * s within lo..hi.
struct StepRange {
    Wide first, last;
};
StepRange stepsWithin(std::int64_t start, int sign, std::int64_t lo, std::int64_t hi)
{
    return sign > 0 ? StepRange{lo - start, hi - start} : StepRange{start - hi, start - lo};
}

} // namespace

LineRaster::LineRaster(PixelView view) : view_(view)
{
    unclip();
}

void LineRaster::clip(const DeviceRect& rect)
{
    clip_ = {std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, view_.width),
             std::min(rect.bottom, view_.height)};
}

void LineRaster::unclip()
{
    clip_ = {0, 0, view_.width, view_.height};
}

void LineRaster::line(DevicePoint from, DevicePoint to, std::uint32_t pixel)
{
    clippedLine(from.x, from.y, to.x, to.y, pixel);
}

// The walk starts at the first of the line's pixels inside the clip and
// stops after the last, both found exactly, so the pixels set are those
// of the whole line.
void LineRaster::clippedLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                             std::uint32_t pixel)
{
    const std::int64_t left = clip_.left, right = std::int64_t{clip_.right} - 1, top = clip_.top,
                       bottom = std::int64_t{clip_.bottom} - 1;
    if (clipEmpty() || std::max(x0, x1) < left || std::min(x0, x1) > right ||
        std::max(y0, y1) < top || std::min(y0, y1) > bottom)
        return;
    const std::int64_t dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    const bool xMajor = dx >= -dy;
    const LineSteps steps{xMajor ? dx : -dy, xMajor ? -dy : dx};
    if (steps.major == 0)
        return;

    Wide first = 0, last = steps.major - 1;
    const bool inside = std::min(x0, x1) >= left && std::max(x0, x1) <= right &&
                        std::min(y0, y1) >= top && std::max(y0, y1) <= bottom;
    if (!inside) {
        const StepRange along = xMajor ? stepsWithin(x0, sx, left, right)
                                       : stepsWithin(y0, sy, top, bottom);
        const StepRange across = xMajor ? stepsWithin(y0, sy, top, bottom)
                                        : stepsWithin(x0, sx, left, right);
        first = std::max({first, along.first, steps.firstReaching(across.first)});
        last = std::min({last, along.last, steps.firstReaching(across.last + 1) - 1});
        if (first > last)
            return;
    }

    const auto t0 = static_cast<std::int64_t>(first), t1 = static_cast<std::int64_t>(last);
    const std::int64_t minorAt = t0 == 0 ? 0 : steps.minorSteps(t0);
    const std::int64_t xs = xMajor ? t0 : minorAt, ys = xMajor ? minorAt : t0;
    std::int64_t x = x0 + sx * xs, y = y0 + sy * ys;
    std::int64_t err = dx + dy + ys * dx + xs * dy;
    for (std::int64_t t = t0;; ++t) {
        view_.at(x, y) = pixel;
        if (t == t1)
            break;
        const std::int64_t e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

// On a dense mesh most segments have no length, and which do follows no
// pattern: the points are first taken without their repeats, without a
// branch, and the segments left drawn. Nearly all of those are one step
// long, and such a segment's only pixel is its start.
void LineRaster::polyline(std::span<const DevicePoint> points, std::uint32_t pixel)
{
    if (clipEmpty() || points.empty())
        return;
    const std::int64_t left = clip_.left, top = clip_.top;
    const auto width = static_cast<std::uint64_t>(clip_.right - clip_.left);
    const auto height = static_cast<std::uint64_t>(clip_.bottom - clip_.top);
    DevicePoint last = points.front();
    std::size_t from = 1;
    while (from < points.size()) {
        const std::size_t count = std::min(distinct_.size() - 1, points.size() - from);
        distinct_[0] = last;
        const DevicePoint* piece = points.data() + from;
        const std::size_t kept =
            1 + (wideDeviceLanes() ? keepDistinctWide(piece, count, distinct_.data() + 1)
                                   : keepDistinct(piece, count, distinct_.data() + 1));
        for (std::size_t i = 1; i < kept; ++i) {
            const DevicePoint a = distinct_[i - 1], b = distinct_[i];
            const std::int64_t dx = std::int64_t{b.x} - a.x, dy = std::int64_t{b.y} - a.y;
            if (static_cast<std::uint64_t>(dx + 1) <= 2 && static_cast<std::uint64_t>(dy + 1) <= 2) {
                if (static_cast<std::uint64_t>(a.x - left) < width &&
                    static_cast<std::uint64_t>(a.y - top) < height)
                    view_.at(a.x, a.y) = pixel;
            } else {
                clippedLine(a.x, a.y, b.x, b.y, pixel);
            }
        }
        last = distinct_[kept - 1];
        from += count;
    }
}
