#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "expr/ZFunction.h"
#include "grid/CellHeights.h"
#include "grid/GridAxis.h"
#include "grid/HeightGrid.h"

// A grid of heights as a surface. The nodes of a grid of triples stand
// at their own coordinates; those of a matrix are spread over the box,
// columns evenly from x1 to x2 and rows from y1 to y2 (the box is not
// used otherwise). Between nodes the height is bilinear in the cell; a
// point on a node (within GridAxis::nodeTolerance of a cell) has that
// node's height, and a point on a cell's side the height along that
// side, from its two ends alone. Outside the nodes, and where a node the
// height depends on is missing, the height is NaN.
//
// Made anew for every box at no cost beyond the nodes' coordinates: the
// heights themselves are shared, never copied.
class GridSurface final : public ZFunction {
public:
    GridSurface(std::shared_ptr<const HeightGrid> grid, double x1, double x2, double y1,
                double y2);

    void heights(std::span<const double> x, std::span<const double> y,
                 std::span<double> z) const override;
    // Another GridSurface of the same grid whose nodes stand where these
    // do.
    bool sameHeights(const ZFunction& other) const override;
    std::unique_ptr<ZFunction> snapshot() const override;

    const HeightGrid& grid() const { return *grid_; }
    // The nodes as the loops over many points at once read them, where
    // both axes are spread evenly; nothing otherwise.
    std::optional<SpreadCells> spreadCells() const;

private:
    // A point's node, or the first corner of its cell or side, and where
    // it lies from there; at null outside.
    struct Corner {
        const double* at;
        double columnT, rowT;
    };
    // The places of a piece of points on one axis: node -1 outside.
    struct PlacedPiece {
        std::int32_t node[256];
        double t[256];
    };
    Corner cornerOf(const PlacedPiece& columns, const PlacedPiece& rows, std::size_t i) const;
    double heightAt(const Corner& c) const;
    template <typename PlacePiece>
    void heightsBy(PlacePiece place, std::span<const double> x, std::span<const double> y,
                   std::span<double> z) const;
    static void placeSpread(const GridAxis::Spread& spread, const double* x, std::size_t count,
                            PlacedPiece& placed);

    std::shared_ptr<const HeightGrid> grid_;
    std::shared_ptr<const GridAxis> columns_, rows_;
    // Node (row, column) of the axes' rising order.
    const double* origin_ = nullptr;
    std::ptrdiff_t rowStep_ = 0, columnStep_ = 0;
    // The box, which places the nodes of a matrix.
    double box_[4];
};
