#pragma once
#include <climits>
#include <cmath>

// The one conversion of a real device value to an int: truncation toward
// zero for every value whose truncation fits an int, so a line far off the
// page keeps its true slope. A value beyond the int range becomes the
// nearer of INT_MIN and INT_MAX, and one that is not a number 0 (C++
// leaves out-of-range conversions undefined, so none is ever made).
// Whoever does arithmetic on device coordinates does it in 64 bits.
inline int truncToDevice(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483648.0)
        return INT_MAX;
    if (v <= -2147483649.0)
        return INT_MIN;
    return static_cast<int>(v);
}
