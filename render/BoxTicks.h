#pragma once
#include <string>
#include <vector>

#include "device/PlotDevice.h"
#include "device/Projection.h"

// The ticks of one axis: multiples of a step of 1, 2 or 5 times a power
// of ten, ascending, all within the axis's range.
struct AxisTicks {
    double step = 0;
    std::vector<double> values;
};

// The smallest such step giving at most 8 ticks between a and b (in either
// order). None for a range of zero extent, not finite, or too narrow for
// its magnitude to tell two ticks apart.
AxisTicks niceTicks(double a, double b);

// The shortest text of value that shows the step's precision: "0.5",
// "1.5", "-20"; exponent form ("1e-06", "2.5e+07") below 1e-4 or from
// 1e6 on. Zero is "0", never "-0".
std::string tickLabel(double value, double step);

// Ticks, numbers and the names x, y and z along three edges of the box,
// over the finished surface, in one colour for lines and texts: x on the
// front bottom edge, y on the side bottom edge meeting it, z on the
// vertical edge at the box's leftmost corner as seen.
void drawBoxTicks(PlotDevice& device, const Projection& view, int colour);
