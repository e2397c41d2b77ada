#include "render/SeenSamples.h"

#include <span>

namespace {

void drawSample(LineDrawer& lines, const SurfacePens& pens, const SeenSamples& s, std::size_t i)
{
    switch (s.seen[i]) {
    case Seen::Above: lines.lineTo(s.point(i)); break;
    case Seen::Below:
        lines.selectPen(pens.index - 8, pens.underside);
        lines.lineTo(s.point(i));
        lines.selectPen(pens.index, pens.surface);
        break;
    case Seen::Hidden: lines.moveTo(s.point(i)); break;
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
        } else if (seen == Seen::Hidden) {
            lines.moveTo(run);
        } else {
            for (std::size_t j = first; j < end; ++j)
                drawSample(lines, pens, s, j);
            below = true;
        }
    });
    return below;
}
