#pragma once
#include <cmath>

// Device coordinates are kept within this range: far beyond any page, and
// small enough that a canvas can draw and subtract them without overflow.
constexpr int deviceLimit = 1 << 22;

// The one conversion of a real device value to an int: truncation toward
// zero for values in range; beyond the range the nearest limit, and 0 for
// a value that is not a number (C++ leaves out-of-range conversions
// undefined, so none is ever made).
inline int truncToDevice(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= deviceLimit)
        return deviceLimit;
    if (v <= -deviceLimit)
        return -deviceLimit;
    return static_cast<int>(v);
}
