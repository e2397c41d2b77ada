#include "grid/GridAxis.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

GridAxis::GridAxis(std::vector<double> nodes) : nodes_(std::move(nodes))
{
    const double first = nodes_.front();
    const auto lastNode = static_cast<double>(nodes_.size() - 1);
    spread_ = {first, lastNode / (nodes_.back() - first), lastNode};
    // Given nodes are spread evenly when each is exactly where the spread
    // puts it.
    const double step = (nodes_.back() - first) / lastNode;
    even_ = std::isfinite(spread_.scale);
    for (std::size_t j = 0; even_ && j < nodes_.size(); ++j)
        even_ = nodes_[j] == first + static_cast<double>(j) * step;
}

GridAxis GridAxis::spread(double first, double last, std::int32_t count)
{
    if (!(std::isfinite(first) && std::isfinite(last) && first != last) || count < 2)
        return {};
    const double step = (last - first) / (count - 1);
    if (!std::isfinite(step))
        return {};
    std::vector<double> nodes(static_cast<std::size_t>(count));
    for (std::int32_t j = 0; j < count; ++j)
        nodes[static_cast<std::size_t>(j)] = first + j * step;
    const bool falling = last < first;
    if (falling)
        std::reverse(nodes.begin(), nodes.end());
    // Rounding may make neighbours of a very narrow axis equal.
    if (std::adjacent_find(nodes.begin(), nodes.end(), std::greater_equal<>()) != nodes.end())
        return {};
    GridAxis axis(std::move(nodes));
    axis.reversed_ = falling;
    // Spread by the same formula, though rising nodes taken from a
    // falling spread may lie a rounding away from it.
    axis.even_ = std::isfinite(axis.spread_.scale);
    return axis;
}

// The cell j with nodes_[j] <= x < nodes_[j + 1], the first below the
// nodes and the last above them.
std::int32_t GridAxis::cellOf(double x, std::int32_t hint) const
{
    const std::int32_t last = size() - 2;
    std::int32_t j = std::clamp(hint, 0, last);
    // A step or two from the guess; beyond that a search.
    for (int steps = 0; steps < 2; ++steps) {
        if (x < nodes_[static_cast<std::size_t>(j)] && j > 0)
            --j;
        else if (x >= nodes_[static_cast<std::size_t>(j) + 1] && j < last)
            ++j;
        else
            return j;
    }
    if ((x >= nodes_[static_cast<std::size_t>(j)] || j == 0) &&
        (x < nodes_[static_cast<std::size_t>(j) + 1] || j == last))
        return j;
    const auto above = std::upper_bound(nodes_.begin(), nodes_.end(), x);
    return std::clamp(static_cast<std::int32_t>(above - nodes_.begin()) - 1, 0, last);
}

GridAxis::Place GridAxis::placeAmong(double x, std::int32_t& hint) const
{
    if (nodes_.empty() || std::isnan(x))
        return {};
    const std::int32_t j = cellOf(x, hint);
    hint = j;
    const double low = nodes_[static_cast<std::size_t>(j)];
    const double high = nodes_[static_cast<std::size_t>(j) + 1];
    const double near = nodeTolerance * (high - low);
    if (std::abs(x - low) <= near)
        return {j, 0};
    if (std::abs(high - x) <= near)
        return {j + 1, 0};
    if (x < low || x > high)
        return {};
    return {j, (x - low) / (high - low)};
}
