#pragma once
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

#include "device/LineDrawer.h"
#include "device/PlotDevice.h"
#include "render/HeightBands.h"

// How a sample stands against its column's horizons.
enum class Seen : std::uint8_t { Hidden, Above, Below };

// Samples ready for the device: their device points, how each is seen,
// whether each came from numbers (valid is null when all did), and the
// heights of f at them, which colour bands by height ask for.
struct SeenSamples {
    const DevicePoint* points;
    const Seen* seen;
    const bool* valid;
    const double* heights = nullptr;

    MappedPoint point(std::size_t i) const { return {points[i], valid == nullptr || valid[i]}; }
};

// The pens of colour bands by height, each band's upper side's and
// underside's; none while the device ignores colours.
struct BandPens {
    HeightBands bands;
    std::array<std::optional<Pen>, HeightBands::maxCount> upper, underside;

    static BandPens of(const PlotDevice& d, const HeightBands& bands);
    // Whether the bands choose the pen of every line to a seen sample.
    bool choose() const { return bands.count() != 0 && upper[0].has_value(); }
};

// The surface's pen index and the underside's, 8 below it, with the pens
// the device selects for them (none where it ignores the index); the
// index of the pen of lines to hidden samples, 0 where they are moved to;
// and the pens of colour bands, which take the place of the first two
// where there are bands.
struct SurfacePens {
    int index;
    std::optional<Pen> surface, underside;
    int hiddenIndex = 0;
    std::optional<Pen> hidden;
    BandPens bands;

    static SurfacePens of(const PlotDevice& d, int hiddenPen = 0, const HeightBands& bands = {})
    {
        const int pen = d.penIndex();
        return {pen, d.penFor(pen), d.penFor(pen - 8), hiddenPen,
                hiddenPen != 0 ? d.penFor(hiddenPen) : std::nullopt, BandPens::of(d, bands)};
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
// underside is but in the pen of hidden lines where there is one. Each
// kind of line in its layer, the upper side's between them. When
// every point is valid, the samples seen above and those hidden and moved
// to go by the run. True when any sample was seen below.
// With bands, a line to a seen sample is drawn in the pen of its height's
// band and side instead, set without an index: the index stays the
// surface's, and consecutive samples of one band and side go by the run.
bool drawSeen(LineDrawer& lines, const SurfacePens& pens, const SeenSamples& s, std::size_t from,
              std::size_t count);

// drawSeen where bands choose the pens, the samples' heights given.
bool drawSeenInBands(LineDrawer& lines, const SurfacePens& pens, const SeenSamples& s,
                     std::size_t from, std::size_t count);

// Lines to samples from .. count - 1 all in the upper side's pen, as the
// front boundary is drawn: the surface's, or each its band's.
void drawUpperSide(LineDrawer& lines, const SurfacePens& pens, const SeenSamples& s,
                   std::size_t from, std::size_t count);
