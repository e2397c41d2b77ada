#pragma once
#include <optional>

struct RealPoint {
    double x = 0, y = 0;
    bool operator==(const RealPoint&) const = default;
};

struct RealSegment {
    RealPoint from, to;
    bool operator==(const RealSegment&) const = default;
};

// The part of a segment inside left..right x top..bottom, in doubles,
// keeping its direction; none when the segment misses the rectangle.
std::optional<RealSegment> clipSegment(const RealSegment& segment, double left, double top,
                                       double right, double bottom);
