#include "grid/HeightGrid.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <utility>

HeightGrid::HeightGrid(std::vector<double> held, std::size_t rows, std::size_t columns)
    : held_(std::move(held)), rows_(rows), columns_(columns)
{
    if (held_.size() != gapBefore + rows * columns + gapAfter)
        throw std::invalid_argument("HeightGrid: the heights and their gaps do not fit the grid");
    constexpr double none = std::numeric_limits<double>::quiet_NaN();
    std::fill_n(held_.begin(), gapBefore, none);
    std::fill_n(held_.end() - gapAfter, gapAfter, none);
}

HeightGrid HeightGrid::matrix(std::vector<double> held, std::size_t rows, std::size_t columns)
{
    HeightGrid grid(std::move(held), rows, columns);
    grid.rowStep_ = static_cast<std::ptrdiff_t>(columns);
    grid.columnStep_ = 1;
    return grid;
}

HeightGrid HeightGrid::triples(std::vector<double> held, std::vector<double> x,
                               std::vector<double> y, std::ptrdiff_t origin,
                               std::ptrdiff_t rowStep, std::ptrdiff_t columnStep)
{
    HeightGrid grid(std::move(held), y.size(), x.size());
    grid.x_ = std::move(x);
    grid.y_ = std::move(y);
    grid.origin_ = origin;
    grid.rowStep_ = rowStep;
    grid.columnStep_ = columnStep;
    return grid;
}
