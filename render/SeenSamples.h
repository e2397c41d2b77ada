#pragma once
#include <cstddef>
#include <cstdint>

#include "device/PlotDevice.h"

// How a sample stands against its column's horizons.
enum class Seen : std::uint8_t { Hidden, Above, Below };

// Samples ready for the device: their device points, how each is seen,
// and whether each came from numbers (valid is null when all did).
struct SeenSamples {
    const DevicePoint* points;
    const Seen* seen;
    const bool* valid;

    MappedPoint point(std::size_t i) const { return {points[i], valid == nullptr || valid[i]}; }
};

// Samples from .. count - 1 to the device, each seen above drawn in the
// surface's pen, each seen below in the pen 8 below it, each hidden moved
// to. When every point is valid, the samples seen above and those hidden
// go to the device by the run.
void drawSeen(PlotDevice& d, int pen, const SeenSamples& s, std::size_t from, std::size_t count);
