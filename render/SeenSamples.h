#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

#include "device/LineDrawer.h"
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

// The surface's pen index and the underside's, 8 below it, with the pens
// the device selects for them (none where it ignores the index); and the
// index of the pen of lines to hidden samples, 0 where they are moved to.
struct SurfacePens {
    int index;
    std::optional<Pen> surface, underside;
    int hiddenIndex = 0;
    std::optional<Pen> hidden;

    static SurfacePens of(const PlotDevice& d, int hiddenPen = 0)
    {
        const int pen = d.penIndex();
        return {pen, d.penFor(pen), d.penFor(pen - 8), hiddenPen,
                hiddenPen != 0 ? d.penFor(hiddenPen) : std::nullopt};
    }
};

// Calls run(seen, first, end) for each stretch of samples first .. end - 1,
// within from .. count - 1, that are all seen alike. A stretch of a dense
// mesh is long: it is measured eight samples at a time, the end found in
// the first word that differs.
template <class Run>
void forEachRun(const Seen* seen, std::size_t from, std::size_t count, Run&& run)
{
    std::size_t i = from;
    while (i < count) {
        const Seen s = seen[i];
        const std::uint64_t alike = 0x0101010101010101u * static_cast<std::uint8_t>(s);
        std::size_t end = i + 1;
        bool ended = false;
        while (!ended && end + sizeof alike <= count) {
            std::uint64_t word;
            std::memcpy(&word, seen + end, sizeof word);
            const std::uint64_t differs = word ^ alike;
            ended = differs != 0;
            end += ended ? static_cast<std::size_t>(std::countr_zero(differs)) / 8 : sizeof word;
        }
        while (!ended && end < count && seen[end] == s)
            ++end;
        run(s, i, end);
        i = end;
    }
}

// Samples from .. count - 1 as lines, each seen above drawn in the
// surface's pen, each seen below in the underside's (selected, drawn, and
// the surface's selected again), each hidden moved to, or drawn as the
// underside is but in the pen of hidden lines where there is one. When
// every point is valid, the samples seen above and those hidden and moved
// to go by the run. True when any sample was seen below.
bool drawSeen(LineDrawer& lines, const SurfacePens& pens, const SeenSamples& s, std::size_t from,
              std::size_t count);
