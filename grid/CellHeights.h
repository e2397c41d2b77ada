#pragma once
// The heights of many points of a grid whose nodes are spread evenly on
// both axes, several points at a time: placed on each axis as
// GridAxis::Spread::place places them, then the nodes each depends on
// read and blended as GridSurface does one point at a time, the same IEEE
// operations in the same order, so that every height keeps its bits.
#include <cstddef>

#include "grid/GridAxis.h"

struct SpreadCells {
    GridAxis::Spread columns, rows;
    // Node (row, column) at origin + row x rowStep + column x columnStep;
    // one of the steps is 1 or -1.
    const double* origin = nullptr;
    std::ptrdiff_t rowStep = 0, columnStep = 0;
    // From origin, a NaN with a readable value after it, which a point
    // outside the grid reads; and there is a readable value before every
    // node and after it.
    std::ptrdiff_t outside = 0;
};

// Points 0 .. count - 1 four (AVX2) or eight (AVX-512) at a time, and the
// index they stopped at. Each in a file built for its registers, to be
// called only where the processor has them.
std::size_t cellHeightsFourLanes(const SpreadCells& cells, const double* x, const double* y,
                                 std::size_t count, double* z);
std::size_t cellHeightsEightLanes(const SpreadCells& cells, const double* x, const double* y,
                                  std::size_t count, double* z);

// Whether the processor has AVX-512 (its foundation), asked once.
bool eightLaneKernels();
