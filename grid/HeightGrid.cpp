#include "grid/HeightGrid.h"

#include <utility>

HeightGrid HeightGrid::matrix(std::vector<double> heights, std::size_t rows, std::size_t columns)
{
    HeightGrid grid;
    grid.heights_ = std::move(heights);
    grid.rows_ = rows;
    grid.columns_ = columns;
    grid.rowStep_ = static_cast<std::ptrdiff_t>(columns);
    grid.columnStep_ = 1;
    return grid;
}

HeightGrid HeightGrid::triples(std::vector<double> heights, std::vector<double> x,
                               std::vector<double> y, std::ptrdiff_t origin,
                               std::ptrdiff_t rowStep, std::ptrdiff_t columnStep)
{
    HeightGrid grid;
    grid.heights_ = std::move(heights);
    grid.columns_ = x.size();
    grid.rows_ = y.size();
    grid.x_ = std::move(x);
    grid.y_ = std::move(y);
    grid.origin_ = origin;
    grid.rowStep_ = rowStep;
    grid.columnStep_ = columnStep;
    return grid;
}
