#pragma once
#include <climits>
#include <cmath>

// The one conversion of a real device value to an int: truncation toward
// zero for every value whose truncation fits an int, so a line far off the
// page keeps its true slope. A value beyond the int range becomes the
// nearer of INT_MIN and INT_MAX, and one that is not a number 0 (C++
// leaves out-of-range conversions undefined, so none is ever made).
// Whoever does arithmetic on device coordinates does it in 64 bits.
// Without branches, so that loops over many values run several at a time.
inline int truncToDevice(double v)
{
    // INT_MAX and INT_MIN are the truncations of these two bounds.
    double bounded = v < 2147483647.0 ? v : 2147483647.0;
    bounded = bounded > -2147483648.0 ? bounded : -2147483648.0;
    return static_cast<int>(v == v ? bounded : 0.0);
}
