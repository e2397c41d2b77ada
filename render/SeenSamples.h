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

// Calls run(seen, first, end) for each stretch of samples first .. end - 1,
// within from .. count - 1, that are all seen alike.
template <class Run>
void forEachRun(const Seen* seen, std::size_t from, std::size_t count, Run&& run)
{
    std::size_t i = from;
    while (i < count) {
        std::size_t end = i + 1;
        while (end < count && seen[end] == seen[i])
            ++end;
        run(seen[i], i, end);
        i = end;
    }
}

// Samples from .. count - 1 to the device, each seen above drawn in the
// surface's pen, each seen below in the pen 8 below it, each hidden moved
// to. When every point is valid, the samples seen above and those hidden
// go to the device by the run.
void drawSeen(PlotDevice& d, int pen, const SeenSamples& s, std::size_t from, std::size_t count);
