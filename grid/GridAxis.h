#pragma once
#include <cmath>
#include <cstdint>
#include <vector>

// The nodes of a grid along x or along y, rising, and where a coordinate
// falls among them.
//
// A coordinate counts as a node when it lies within nodeTolerance of a
// cell's width from it: the mesh computes its points as x1 + l x step,
// which may round a few units in the last place away from where the node
// stands. Counting such a point as the node gives the node's height
// exactly; taking it for a point of the cell instead would change the
// height by at most nodeTolerance of the difference between the heights
// of the cell's ends, far below anything a page shows.
class GridAxis {
public:
    static constexpr double nodeTolerance = 1.0 / (1 << 24);

    // nodes: at least 2, finite and strictly rising.
    explicit GridAxis(std::vector<double> nodes);
    // count nodes evenly from first to last (which may lie below first):
    // node j at first + j x (last - first) / (count - 1), as the mesh
    // computes its points, in the order of j. An axis of no width, or
    // with a bound that is not finite, has no nodes and holds no point.
    static GridAxis spread(double first, double last, std::int32_t count);

    // Where a coordinate falls: on node `node` (within the tolerance),
    // at fraction t of the cell from node to node + 1, or outside.
    struct Place {
        std::int32_t node = -1;  // -1: outside the nodes, or not a number
        double t = 0;            // 0 on the node, otherwise in (0, 1)
    };

    // Nodes spread evenly are found by arithmetic alone: the coordinate
    // in cells is (x - first) x scale, which differs from the node's own
    // by rounding only, well within the tolerance.
    struct Spread {
        double first = 0, scale = 0, lastNode = 0;

        Place place(double x) const
        {
            const double u = (x - first) * scale;
            if (!(u >= -nodeTolerance && u <= lastNode + nodeTolerance))
                return {};
            // u is above -1: the conversion truncates it to its cell, and
            // u - j, exact, is where it lies in the cell. A point on a
            // node, which may round to either side of it, lies within the
            // tolerance of the cell's start or of its end (1 - t, exact
            // where it can be that small).
            const auto j = static_cast<std::int32_t>(u);
            const double t = u - j;
            if (t <= nodeTolerance)
                return {j, 0};
            if (1 - t <= nodeTolerance)
                return {j + 1, 0};
            return {j, t};
        }
    };

    // hint: the cell of the last coordinate placed, which the next one is
    // looked for around first; updated. Any value will do.
    Place place(double x, std::int32_t& hint) const
    {
        return even_ ? spread_.place(x) : placeAmong(x, hint);
    }

    // The spread of nodes spread evenly (node j at nodes()[0] + j x
    // (nodes().back() - nodes()[0]) / (size() - 1), up to rounding), or
    // null.
    const Spread* spread() const { return even_ ? &spread_ : nullptr; }

    std::int32_t size() const { return static_cast<std::int32_t>(nodes_.size()); }
    // Whether node j here is node size() - 1 - j of the order it was given.
    bool reversed() const { return reversed_; }
    const std::vector<double>& nodes() const { return nodes_; }

private:
    GridAxis() = default;
    std::int32_t cellOf(double x, std::int32_t hint) const;
    Place placeAmong(double x, std::int32_t& hint) const;

    std::vector<double> nodes_;
    bool reversed_ = false;
    bool even_ = false;
    Spread spread_;
};
