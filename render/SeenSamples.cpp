#include "render/SeenSamples.h"

#include <span>

namespace {

// The upper side in the surface's pen, the underside in the pen 8 below.
void drawSample(PlotDevice& d, int pen, const SeenSamples& s, std::size_t i)
{
    switch (s.seen[i]) {
    case Seen::Above: d.lineTo(s.point(i)); break;
    case Seen::Below:
        d.selectPen(pen - 8);
        d.lineTo(s.point(i));
        d.selectPen(pen);
        break;
    case Seen::Hidden: d.moveTo(s.point(i)); break;
    }
}

} // namespace

void drawSeen(PlotDevice& d, int pen, const SeenSamples& s, std::size_t from, std::size_t count)
{
    if (s.valid != nullptr) {
        for (std::size_t i = from; i < count; ++i)
            drawSample(d, pen, s, i);
        return;
    }
    forEachRun(s.seen, from, count, [&](Seen seen, std::size_t first, std::size_t end) {
        const std::span<const DevicePoint> run(s.points + first, end - first);
        if (seen == Seen::Above)
            d.lineTo(run);
        else if (seen == Seen::Hidden)
            d.moveTo(run);
        else
            for (std::size_t j = first; j < end; ++j)
                drawSample(d, pen, s, j);
    });
}
