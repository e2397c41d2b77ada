#include "render/SeenSamples.h"

#include <span>

namespace {

// A line to the sample in another pen, the surface's selected again; on a
// canvas that keeps layers, in the layer given. Drawing on pixels asks
// nothing about layers: the code for it is the same as without them.
template <bool layered>
void drawInPen(LineDrawer& lines, const SurfacePens& pens, int index, std::optional<Pen> pen,
               PageLayer layer, MappedPoint to)
{
    lines.selectPen(index, pen);
    if constexpr (layered)
        lines.setLayer(layer);
    lines.lineTo(to);
    if constexpr (layered)
        lines.setLayer(PageLayer::UpperSide);
    lines.selectPen(pens.index, pens.surface);
}

template <bool layered>
void drawSample(LineDrawer& lines, const SurfacePens& pens, const SeenSamples& s, std::size_t i)
{
    switch (s.seen[i]) {
    case Seen::Above: lines.lineTo(s.point(i)); break;
    case Seen::Below:
        drawInPen<layered>(lines, pens, pens.index - 8, pens.underside, PageLayer::Underside,
                           s.point(i));
        break;
    case Seen::Hidden:
        if (pens.hiddenIndex == 0)
            lines.moveTo(s.point(i));
        else
            drawInPen<layered>(lines, pens, pens.hiddenIndex, pens.hidden, PageLayer::HiddenLines,
                               s.point(i));
        break;
    }
}

template <bool layered>
bool drawSeenIn(LineDrawer& lines, const SurfacePens& pens, const SeenSamples& s,
                std::size_t from, std::size_t count)
{
    if (pens.bands.choose() && s.heights != nullptr)
        return drawSeenInBands(lines, pens, s, from, count);
    bool below = false;
    if (s.valid != nullptr) {
        for (std::size_t i = from; i < count; ++i) {
            drawSample<layered>(lines, pens, s, i);
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
                drawSample<layered>(lines, pens, s, j);
            below = below || seen == Seen::Below;
        }
    });
    return below;
}

} // namespace

bool drawSeen(LineDrawer& lines, const SurfacePens& pens, const SeenSamples& s, std::size_t from,
              std::size_t count)
{
    if (lines.layered()) [[unlikely]]
        return drawSeenIn<true>(lines, pens, s, from, count);
    return drawSeenIn<false>(lines, pens, s, from, count);
}
