#pragma once
// A polyline's points without their repeats, built twice: for the
// registers every x86-64 has and, in LineRasterWide.cpp, for AVX2, which
// compares four points at a time. What has a body here has internal
// linkage, so that neither can stand in for the other.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "device/Canvas.h"

// In the file built with AVX2; called only where the processor has it.
// As keepDistinct, storing up to three points beyond what it keeps.
std::size_t keepDistinctWide(const DevicePoint* points, std::size_t count, DevicePoint* out);

namespace {

// A point as one number, equal exactly when the points are.
std::uint64_t bitsOfPoint(DevicePoint p)
{
    static_assert(sizeof(DevicePoint) == sizeof(std::uint64_t));
    std::uint64_t bits;
    std::memcpy(&bits, &p, sizeof bits);
    return bits;
}

// Each of points[0 .. count - 1] unlike the point before it (points[-1]
// for the first, which must be there) to out, in order: a write of every
// point, a step on only for a new one, no branch. How many it kept; it
// stores one point beyond them.
[[maybe_unused]] std::size_t keepDistinct(const DevicePoint* points, std::size_t count,
                                          DevicePoint* out)
{
    std::size_t kept = 0;
    std::uint64_t previous = bitsOfPoint(points[-1]);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t bits = bitsOfPoint(points[i]);
        out[kept] = points[i];
        kept += bits != previous;
        previous = bits;
    }
    return kept;
}

} // namespace
