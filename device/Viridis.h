#pragma once
#include "device/Colours.h"

// The colour of viridis, the perceptual colour map from dark blue-violet
// to yellow, at position t in 0..1, as matplotlib gives it: the entry
// floor(t * 256) of the map's 256 (the last for t = 1), each channel (0..1)
// times 255 rounded to the nearest 8-bit value, halves up: viridis at 0.5
// is #21918c. A t beyond 0..1 is taken at the nearer end, and one that is
// not a number at 0.
Colour viridisAt(double t);

// The same colour at half its brightness: each 8-bit channel halved,
// rounded to the nearest (halves up): (c + 1) / 2.
constexpr Colour halfBrightness(Colour c)
{
    return rgb((redOf(c) + 1) / 2, (greenOf(c) + 1) / 2, (blueOf(c) + 1) / 2);
}
