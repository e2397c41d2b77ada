// The lines of the surface in colour bands by height.
#include "render/SeenSamples.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>

namespace {

void setPen(LineDrawer& lines, std::optional<Pen> pen)
{
    if (pen)
        lines.setPen(*pen);
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
    lines.setLayer(key == 2 * n ? PageLayer::HiddenLines
                   : key >= n   ? PageLayer::Underside
                                : PageLayer::UpperSide);
    if (s.valid == nullptr)
        lines.lineTo(std::span<const DevicePoint>(s.points + first, end - first));
    else
        for (std::size_t j = first; j < end; ++j)
            lines.lineTo(s.point(j));
}

// The end of the run of key keys[first] from first, before end: eight
// keys at a time while they are all the same.
std::size_t runEnd(const std::uint8_t* keys, std::size_t first, std::size_t end)
{
    const std::uint8_t key = keys[first];
    const std::uint64_t eight = key * std::uint64_t{0x0101010101010101};
    std::size_t i = first + 1;
    for (; i + 8 <= end; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, keys + i, sizeof word);
        if (word != eight)
            break;
    }
    while (i < end && keys[i] == key)
        ++i;
    return i;
}

} // namespace

// Samples of one pen have one key: the band of an upper side's, N and
// the band of an underside's, 2N for a hidden one. Made for a piece at a
// time, each run of one key is drawn whole; a run that goes on into the
// next piece goes on in the same pen, in the same line.
bool drawSeenInBands(LineDrawer& lines, const SurfacePens& pens, const SeenSamples& s,
                     std::size_t from, std::size_t count)
{
    constexpr std::size_t piece = 1024;
    const auto n = static_cast<std::uint8_t>(pens.bands.bands.count());
    const auto hidden = static_cast<std::uint8_t>(2 * n);
    std::uint8_t keys[piece];
    bool below = false;
    for (std::size_t start = from; start < count; start += piece) {
        const std::size_t m = std::min(piece, count - start);
        pens.bands.bands.bandsOf(s.heights + start, m, keys);
        const Seen* seen = s.seen + start;
        for (std::size_t i = 0; i < m; ++i) {
            const auto band = static_cast<std::uint8_t>(
                keys[i] + (seen[i] == Seen::Below ? n : std::uint8_t{0}));
            keys[i] = seen[i] == Seen::Hidden ? hidden : band;
        }
        for (std::size_t first = 0; first < m;) {
            const std::size_t end = runEnd(keys, first, m);
            drawBandRun(lines, pens, s, keys[first], start + first, start + end);
            below = below || (keys[first] >= n && keys[first] < hidden);
            first = end;
        }
    }
    // Between calls the lines are the upper side's, as drawSeen leaves them.
    lines.setLayer(PageLayer::UpperSide);
    return below;
}


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
