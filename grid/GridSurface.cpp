#include "grid/GridSurface.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "expr/WideKernels.h"
#if defined(__x86_64__) && defined(__GNUC__)
#include "grid/PlaceLanes.h"
#endif

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

GridSurface::Corner GridSurface::cornerOf(const PlacedPiece& columns, const PlacedPiece& rows,
                                          std::size_t i) const
{
    if (columns.node[i] < 0 || rows.node[i] < 0)
        return {nullptr, 0, 0};
    return {origin_ + rows.node[i] * rowStep_ + columns.node[i] * columnStep_, columns.t[i],
            rows.t[i]};
}

// A piece of the points at a time: where each lies among the nodes,
// then its height, the nodes of a point some way ahead asked for from
// memory meanwhile, so that a line crossing the rows of a large grid (a
// row apart from point to point) does not wait for each row in turn.
// place(x, y, count, columns, rows) places a piece's points.
template <typename PlacePiece>
void GridSurface::heightsBy(PlacePiece place, std::span<const double> x, std::span<const double> y,
                            std::span<double> z) const
{
    constexpr std::size_t piece = 256, ahead = 16;
    PlacedPiece columns, rows;
    const std::ptrdiff_t rowStep = rowStep_;
    // Inlined at once: GCC takes a function that only prefetches for one
    // without effects, and drops the calls.
    auto fetch = [&](std::size_t i) __attribute__((always_inline)) {
        if (columns.node[i] >= 0 && rows.node[i] >= 0) {
            const double* at = origin_ + rows.node[i] * rowStep + columns.node[i] * columnStep_;
            __builtin_prefetch(at);
            if (rows.t[i] != 0)
                __builtin_prefetch(at + rowStep);
        }
    };
    for (std::size_t start = 0; start < z.size(); start += piece) {
        const std::size_t count = std::min(piece, z.size() - start);
        place(x.data() + start, y.data() + start, count, columns, rows);
        for (std::size_t i = 0; i < std::min(ahead, count); ++i)
            fetch(i);
        for (std::size_t i = 0; i < count; ++i) {
            if (i + ahead < count)
                fetch(i + ahead);
            z[start + i] = heightAt(cornerOf(columns, rows, i));
        }
    }
}

// Nodes spread evenly are placed a piece at a time, several points at
// once where the processor can.
void GridSurface::placeSpread(const GridAxis::Spread& spread, const double* x, std::size_t count,
                              PlacedPiece& placed)
{
    std::size_t i = 0;
#if defined(__x86_64__) && defined(__GNUC__)
    i = wideKernels() ? placeFourLanes(spread, x, count, placed.node, placed.t)
                      : placeLanes<TwoPlaceLanes>(spread, x, count, placed.node, placed.t);
#endif
    for (; i < count; ++i) {
        const GridAxis::Place p = spread.place(x[i]);
        placed.node[i] = p.node;
        placed.t[i] = p.t;
    }
}

std::optional<SpreadCells> GridSurface::spreadCells() const
{
    const GridAxis::Spread* columns = columns_->spread();
    const GridAxis::Spread* rows = rows_->spread();
    if (columns == nullptr || rows == nullptr)
        return std::nullopt;
    return SpreadCells{*columns, *rows, origin_, rowStep_, columnStep_, grid_->gap() - origin_};
}

void GridSurface::heights(std::span<const double> x, std::span<const double> y,
                          std::span<double> z) const
{
    using Place = GridAxis::Place;
    if (const std::optional<SpreadCells> cells = spreadCells()) {
#if defined(__x86_64__) && defined(__GNUC__)
        if (wideKernels()) {
            const std::size_t done =
                eightLaneKernels()
                    ? cellHeightsEightLanes(*cells, x.data(), y.data(), z.size(), z.data())
                    : cellHeightsFourLanes(*cells, x.data(), y.data(), z.size(), z.data());
            x = x.subspan(done);
            y = y.subspan(done);
            z = z.subspan(done);
        }
#endif
        return heightsBy([&](const double* px, const double* py, std::size_t count,
                             PlacedPiece& columns, PlacedPiece& rows) {
            placeSpread(cells->columns, px, count, columns);
            placeSpread(cells->rows, py, count, rows);
        }, x, y, z);
    }
    std::int32_t columnHint = 0, rowHint = 0;
    heightsBy([&](const double* px, const double* py, std::size_t count, PlacedPiece& columns,
                  PlacedPiece& rows) {
        for (std::size_t i = 0; i < count; ++i) {
            const Place column = columns_->place(px[i], columnHint);
            const Place row = rows_->place(py[i], rowHint);
            columns.node[i] = column.node;
            columns.t[i] = column.t;
            rows.node[i] = row.node;
            rows.t[i] = row.t;
        }
    }, x, y, z);
}

#if defined(__x86_64__) && defined(__GNUC__)
bool eightLaneKernels()
{
    static const bool eight = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx512f") != 0;
    }();
    return eight;
}
#endif

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
