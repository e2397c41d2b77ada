#pragma once
#include <cmath>
#include <cstddef>

#include "device/Canvas.h"
#include "device/DeviceInt.h"

// A world point on the device: where it falls, and whether it came from
// numbers at all (a point that did not is never joined by a line).
struct MappedPoint {
    DevicePoint at;
    bool valid = false;
};

// The world window over the viewport: the device point of a world point,
// as moveTo and lineTo find it.
class DeviceMapping {
public:
    DeviceMapping(double worldX1, double worldY1, double xScale, double yScale, int left,
                  int bottom)
        : x1_(worldX1), y1_(worldY1), xScale_(xScale), yScale_(yScale), left_(left),
          bottom_(bottom)
    {
    }

    MappedPoint map(double x, double y) const
    {
        const double dx = (x - x1_) * xScale_;
        const double dy = (y - y1_) * yScale_;
        return {{truncToDevice(dx + left_ + 0.5), truncToDevice(bottom_ - dy + 0.5)},
                !std::isnan(dx) && !std::isnan(dy)};
    }

    // The device points of count world points, as map() gives them;
    // whether every point came from numbers, and so is valid.
    bool map(const double* x, const double* y, std::size_t count, DevicePoint* out) const;

private:
    double x1_, y1_, xScale_, yScale_;
    // The viewport's edges, as the doubles they are added as.
    double left_, bottom_;
};
