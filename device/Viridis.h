#pragma once
#include "device/Colours.h"

// The colour of viridis, the perceptual colour map from dark blue-violet
// to yellow, at position t in 0..1: t * 255 falls between two of the
// map's 256 entries (red, green and blue in 0..1), which are mixed
// linearly by its fraction; each channel is then 255 times the mix,
// rounded to the nearest 8-bit value (halves up). A t beyond 0..1 is taken
// at the nearer end, and one that is not a number at 0.
Colour viridisAt(double t);

// The same colour at half its brightness: each 8-bit channel halved,
// rounded to the nearest (halves up): (c + 1) / 2.
constexpr Colour halfBrightness(Colour c)
{
    return rgb((redOf(c) + 1) / 2, (greenOf(c) + 1) / 2, (blueOf(c) + 1) / 2);
}
