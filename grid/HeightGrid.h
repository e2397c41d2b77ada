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
class HeightGrid {
public:
    // rows x columns heights, row after row.
    static HeightGrid matrix(std::vector<double> heights, std::size_t rows, std::size_t columns);

    // Heights in any order, with the coordinates of the columns and rows
    // rising; node (row, column) at origin + row x rowStep + column x
    // columnStep within heights.
    static HeightGrid triples(std::vector<double> heights, std::vector<double> x,
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
        return heights_[static_cast<std::size_t>(
            origin_ + static_cast<std::ptrdiff_t>(row) * rowStep_ +
            static_cast<std::ptrdiff_t>(column) * columnStep_)];
    }

    // Every height, in the order they are held.
    std::span<const double> heights() const { return heights_; }
    const double* origin() const { return heights_.data() + origin_; }
    std::ptrdiff_t rowStep() const { return rowStep_; }
    std::ptrdiff_t columnStep() const { return columnStep_; }

private:
    HeightGrid() = default;

    std::vector<double> heights_;
    std::vector<double> x_, y_;
    std::size_t rows_ = 0, columns_ = 0;
    std::ptrdiff_t origin_ = 0, rowStep_ = 0, columnStep_ = 0;
};
