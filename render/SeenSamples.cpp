#include "render/SeenSamples.h"

#include <span>

namespace {

// A line to the sample in another pen, the surface's selected again.
void drawInPen(LineDrawer& lines, const SurfacePens& pens, int index, std::optional<Pen> pen,
               MappedPoint to)
{
    lines.selectPen(index, pen);
    lines.lineTo(to);
    lines.selectPen(pens.index, pens.surface);
}

void drawSample(LineDrawer& lines, const SurfacePens& pens, const SeenSamples& s, std::size_t i)
{
    switch (s.seen[i]) {
    case Seen::Above: lines.lineTo(s.point(i)); break;
    case Seen::Below: drawInPen(lines, pens, pens.index - 8, pens.underside, s.point(i)); break;
    case Seen::Hidden:
        if (pens.hiddenIndex == 0)
            lines.moveTo(s.point(i));
        else
            drawInPen(lines, pens, pens.hiddenIndex, pens.hidden, s.point(i));
        break;
    }
}

void setPen(LineDrawer& lines, std::optional<Pen> pen)
{
    if (pen)
        lines.setPen(*pen);
}

// Samples of one pen have one key: the band of an upper side's, N and the
// band of an underside's, 2N for a hidden one.
int bandKey(const SurfacePens& pens, const SeenSamples& s, std::size_t i)
{
    const HeightBands& bands = pens.bands.bands;
    switch (s.seen[i]) {
    case Seen::Above: return bands.bandOf(s.heights[i]);
    case Seen::Below: return bands.count() + bands.bandOf(s.heights[i]);
    case Seen::Hidden: break;
    }
    return 2 * bands.count();
}

// Samples first .. end - 1, all of the key's pen.
void drawBandRun(LineDrawer& lines, const SurfacePens& pens, const SeenSamples& s, int key,
                 std::size_t first, std::size_t end)
{
    const int n = pens.bands.bands.count();
    const auto band = static_cast<std::size_t>(key % n);
    if (key == 2 * n && pens.hiddenIndex == 0) {
        if (s.valid == nullptr)
            lines.moveTo(std::span<const DevicePoint>(s.points + first, end - first));
        else
            for (std::size_t j = first; j < end; ++j)
                lines.moveTo(s.point(j));
        return;
    }
    setPen(lines, key == 2 * n ? pens.hidden
                  : key >= n   ? pens.bands.underside[band]
                               : pens.bands.upper[band]);
    if (s.valid == nullptr)
        lines.lineTo(std::span<const DevicePoint>(s.points + first, end - first));
    else
        for (std::size_t j = first; j < end; ++j)
            lines.lineTo(s.point(j));
}

bool drawSeenInBands(LineDrawer& lines, const SurfacePens& pens, const SeenSamples& s,
                     std::size_t from, std::size_t count)
{
    bool below = false;
    std::size_t first = from;
    int key = first < count ? bandKey(pens, s, first) : 0;
    while (first < count) {
        std::size_t end = first + 1;
        int next = key;
        while (end < count && (next = bandKey(pens, s, end)) == key)
            ++end;
        drawBandRun(lines, pens, s, key, first, end);
        below = below || s.seen[first] == Seen::Below;
        first = end;
        key = next;
    }
    return below;
}

} // namespace

BandPens BandPens::of(const PlotDevice& d, const HeightBands& bands)
{
    BandPens pens{bands, {}, {}};
    for (int b = 0; b < bands.count(); ++b) {
        pens.upper[static_cast<std::size_t>(b)] = d.penOf(bands.upper(b));
        pens.underside[static_cast<std::size_t>(b)] = d.penOf(bands.underside(b));
    }
    return pens;
}

void drawUpperSide(LineDrawer& lines, const SurfacePens& pens, const SeenSamples& s,
                   std::size_t from, std::size_t count)
{
    const bool banded = pens.bands.choose() && s.heights != nullptr;
    for (std::size_t i = from; i < count; ++i) {
        if (banded)
            setPen(lines, pens.bands.upper[static_cast<std::size_t>(
                              pens.bands.bands.bandOf(s.heights[i]))]);
        lines.lineTo(s.point(i));
    }
}

bool drawSeen(LineDrawer& lines, const SurfacePens& pens, const SeenSamples& s, std::size_t from,
              std::size_t count)
{
    if (pens.bands.choose() && s.heights != nullptr)
        return drawSeenInBands(lines, pens, s, from, count);
    bool below = false;
    if (s.valid != nullptr) {
        for (std::size_t i = from; i < count; ++i) {
            drawSample(lines, pens, s, i);
            below = below || s.seen[i] == Seen::Below;
        }
        return below;
    }
    forEachRun(s.seen, from, count, [&](Seen seen, std::size_t first, std::size_t end) {
        const std::span<const DevicePoint> run(s.points + first, end - first);
        if (seen == Seen::Above) {
            lines.lineTo(run);
        } else if (seen == Seen::Hidden && pens.hiddenIndex == 0) {
            lines.moveTo(run);
        } else {
            for (std::size_t j = first; j < end; ++j)
                drawSample(lines, pens, s, j);
            below = below || seen == Seen::Below;
        }
    });
    return below;
}
