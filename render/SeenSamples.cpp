#include "render/SeenSamples.h"

#include <span>

namespace {

// A line to the sample in another pen and layer, the surface's selected
// again.
void drawInPen(LineDrawer& lines, const SurfacePens& pens, int index, std::optional<Pen> pen,
               PageLayer layer, MappedPoint to)
{
    lines.selectPen(index, pen);
    lines.setLayer(layer);
    lines.lineTo(to);
    lines.setLayer(PageLayer::UpperSide);
    lines.selectPen(pens.index, pens.surface);
}

void drawSample(LineDrawer& lines, const SurfacePens& pens, const SeenSamples& s, std::size_t i)
{
    switch (s.seen[i]) {
    case Seen::Above: lines.lineTo(s.point(i)); break;
    case Seen::Below:
        drawInPen(lines, pens, pens.index - 8, pens.underside, PageLayer::Underside, s.point(i));
        break;
    case Seen::Hidden:
        if (pens.hiddenIndex == 0)
            lines.moveTo(s.point(i));
        else
            drawInPen(lines, pens, pens.hiddenIndex, pens.hidden, PageLayer::HiddenLines,
                      s.point(i));
        break;
    }
}

} // namespace

bool drawSeen(LineDrawer& lines, const SurfacePens& pens, const SeenSamples& s, std::size_t from,
              std::size_t count)
{
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
