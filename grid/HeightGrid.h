#pragma once
#include <cstddef>
#include <span>
#include <vector>

// The heights of a grid read from a data file: rows along y, columns
// along x, a height at every node (NaN where it is missing). A matrix
// carries no coordinates, its nodes stand where the page's box puts
// them; a grid of triples carries a strictly rising x for each column
// and y for each row.
//
// The heights are held once, in the order the file gave them: node
// (row, column) lies at origin + row x rowStep + column x columnStep, so
// a file written column by column, or falling in x or y, is kept without
// a copy. A grid never changes after it is made.
//
// The heights are held between NaN: one before the first, two after the
// last. A loop reading two neighbours at once may then read one beyond
// either end, and a point outside the grid may read the NaN after it.
class HeightGrid {
public:
    static constexpr std::size_t gapBefore = 1, gapAfter = 2;

    // rows x columns heights, row after row, held as
    // ValueStore::take(gapBefore, gapAfter) gives them: the gaps are room
    // only, what they hold is not read.
    static HeightGrid matrix(std::vector<double> held, std::size_t rows, std::size_t columns);

    // Heights in any order (held as for a matrix), with the coordinates of
    // the columns and rows rising; node (row, column) at origin + row x
    // rowStep + column x columnStep among the heights.
    static HeightGrid triples(std::vector<double> held, std::vector<double> x,
                              std::vector<double> y, std::ptrdiff_t origin,
                              std::ptrdiff_t rowStep, std::ptrdiff_t columnStep);

    std::size_t rows() const { return rows_; }
    std::size_t columns() const { return columns_; }
    bool hasCoordinates() const { return !x_.empty(); }
    // The columns' x and the rows' y, rising; empty for a matrix.
    std::span<const double> x() const { return x_; }
    std::span<const double> y() const { return y_; }

    double at(std::size_t row, std::size_t column) const
    {
        return origin()[static_cast<std::ptrdiff_t>(row) * rowStep_ +
                        static_cast<std::ptrdiff_t>(column) * columnStep_];
    }

    // Every height, in the order they are held.
    std::span<const double> heights() const { return {held_.data() + gapBefore, rows_ * columns_}; }
    const double* origin() const { return held_.data() + gapBefore + origin_; }
    // The NaN just after the last height.
    const double* gap() const { return held_.data() + gapBefore + rows_ * columns_; }
    std::ptrdiff_t rowStep() const { return rowStep_; }
    std::ptrdiff_t columnStep() const { return columnStep_; }

private:
    HeightGrid(std::vector<double> held, std::size_t rows, std::size_t columns);

    // The heights with their gaps.
    std::vector<double> held_;
    std::vector<double> x_, y_;
    std::size_t rows_ = 0, columns_ = 0;
    std::ptrdiff_t origin_ = 0, rowStep_ = 0, columnStep_ = 0;
};
