#include "grid/GridSurface.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace {

std::shared_ptr<const GridAxis> axisOf(std::span<const double> coordinates, double first,
                                       double last, std::size_t count)
{
    if (!coordinates.empty())
        return std::make_shared<const GridAxis>(
            std::vector<double>(coordinates.begin(), coordinates.end()));
    return std::make_shared<const GridAxis>(
        GridAxis::spread(first, last, static_cast<std::int32_t>(count)));
}

double between(double a, double b, double t) { return a + t * (b - a); }

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

} // namespace

GridSurface::GridSurface(std::shared_ptr<const HeightGrid> grid, double x1, double x2, double y1,
                         double y2)
    : grid_(std::move(grid)), columns_(axisOf(grid_->x(), x1, x2, grid_->columns())),
      rows_(axisOf(grid_->y(), y1, y2, grid_->rows())), origin_(grid_->origin()),
      rowStep_(grid_->rowStep()), columnStep_(grid_->columnStep()), box_{x1, x2, y1, y2}
{
    if (columns_->reversed()) {
        origin_ += static_cast<std::ptrdiff_t>(grid_->columns() - 1) * columnStep_;
        columnStep_ = -columnStep_;
    }
    if (rows_->reversed()) {
        origin_ += static_cast<std::ptrdiff_t>(grid_->rows() - 1) * rowStep_;
        rowStep_ = -rowStep_;
    }
}

// Only the nodes a point depends on are read: a node's own height, the
// two ends of a side, or the cell's four corners.
double GridSurface::heightAt(const Corner& c) const
{
    if (c.at == nullptr)
        return notANumber;
    const double* z = c.at;
    if (c.rowT == 0) {
        if (c.columnT == 0)
            return z[0];
        return between(z[0], z[columnStep_], c.columnT);
    }
    if (c.columnT == 0)
        return between(z[0], z[rowStep_], c.rowT);
    const double low = between(z[0], z[columnStep_], c.columnT);
    const double high = between(z[rowStep_], z[rowStep_ + columnStep_], c.columnT);
    return between(low, high, c.rowT);
}

GridSurface::Corner GridSurface::cornerOf(GridAxis::Place column, GridAxis::Place row) const
{
    if (column.node < 0 || row.node < 0)
        return {nullptr, 0, 0};
    return {origin_ + row.node * rowStep_ + column.node * columnStep_, column.t, row.t};
}

// In two passes over a piece of the points: where each lies among the
// nodes, then its height. The first pass asks for the nodes' memory
// ahead, so that a line crossing the rows of a large grid (a row apart
// from point to point) does not wait for each row in turn. place(x, y)
// gives a point's column and row.
template <typename Place>
void GridSurface::heightsBy(Place place, std::span<const double> x, std::span<const double> y,
                            std::span<double> z) const
{
    constexpr std::size_t piece = 256;
    GridAxis::Place columns[piece], rows[piece];
    const std::ptrdiff_t rowStep = rowStep_;
    for (std::size_t start = 0; start < z.size(); start += piece) {
        const std::size_t count = std::min(piece, z.size() - start);
        for (std::size_t i = 0; i < count; ++i) {
            place(x[start + i], y[start + i], columns[i], rows[i]);
            if (const Corner c = cornerOf(columns[i], rows[i]); c.at != nullptr) {
                __builtin_prefetch(c.at);
                if (c.rowT != 0)
                    __builtin_prefetch(c.at + rowStep);
            }
        }
        for (std::size_t i = 0; i < count; ++i)
            z[start + i] = heightAt(cornerOf(columns[i], rows[i]));
    }
}

void GridSurface::heights(std::span<const double> x, std::span<const double> y,
                          std::span<double> z) const
{
    using Place = GridAxis::Place;
    const GridAxis::Spread* columnSpread = columns_->spread();
    const GridAxis::Spread* rowSpread = rows_->spread();
    if (columnSpread != nullptr && rowSpread != nullptr) {
        // Copies: the heights written cannot then be taken to change them.
        const GridAxis::Spread across = *columnSpread, along = *rowSpread;
        return heightsBy([&](double px, double py, Place& column, Place& row) {
            column = across.place(px);
            row = along.place(py);
        }, x, y, z);
    }
    std::int32_t columnHint = 0, rowHint = 0;
    heightsBy([&](double px, double py, Place& column, Place& row) {
        column = columns_->place(px, columnHint);
        row = rows_->place(py, rowHint);
    }, x, y, z);
}

bool GridSurface::sameHeights(const ZFunction& other) const
{
    const auto* surface = dynamic_cast<const GridSurface*>(&other);
    if (surface == nullptr || surface->grid_ != grid_)
        return false;
    return grid_->hasCoordinates() || std::memcmp(box_, surface->box_, sizeof box_) == 0;
}

std::unique_ptr<ZFunction> GridSurface::snapshot() const
{
    return std::make_unique<GridSurface>(*this);
}
