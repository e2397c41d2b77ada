#include "device/SegmentClip.h"

#include <algorithm>

// Liang and Barsky: each edge narrows the part of the segment inside.
std::optional<RealSegment> clipSegment(const RealSegment& s, double left, double top,
                                       double right, double bottom)
{
    const double x0 = s.from.x, y0 = s.from.y, dx = s.to.x - x0, dy = s.to.y - y0;
    double enter = 0, leave = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - left, right - x0, y0 - top, bottom - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return std::nullopt;
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0)
            enter = std::max(enter, r);
        else
            leave = std::min(leave, r);
    }
    if (enter > leave)
        return std::nullopt;
    return RealSegment{{x0 + enter * dx, y0 + enter * dy}, {x0 + leave * dx, y0 + leave * dy}};
}
