#pragma once
#include <cstdint>

#include "device/PlotDevice.h"
#include "expr/ZFunction.h"

class MeshHeights;

// Draws z = f(x,y) over the box as a wire mesh with hidden lines removed
// (a floating horizon over k*(m+n)+1 exact screen columns), and leaves the
// projection in the device. Negative m, n or k, or a mesh too large for
// memory, draws no surface; the projection and world window are still set.
void drawSurface(PlotDevice& device, const ZFunction& function, double x1, double x2, double y1,
                 double y2, double z1, double z2, int m, int n, int k, double tilt);

// The same surface, call for call, with the heights of f computed a line
// at a time on all cores, or reused from heights when f and the mesh are
// those of its last surface (as after a change of tilt alone). Beyond the
// heights' memory budget they are computed line by line as drawn.
void drawSurface(PlotDevice& device, const ZFunction& function, MeshHeights& heights,
                 double x1, double x2, double y1, double y2, double z1, double z2, int m, int n,
                 int k, double tilt);

// Limits of one surface: columns of the horizon, and samples drawn. The
// two horizons and one mesh line's samples take 32 bytes a column, so
// the columns' limit keeps a page's memory near half a gigabyte.
constexpr std::int64_t maxHorizonColumns = std::int64_t{1} << 24;
constexpr std::int64_t maxSurfaceSamples = std::int64_t{1} << 28;

// Why drawSurface draws no surface for a mesh, if it does not.
enum class MeshRefusal { None, Negative, TooManyColumns, TooManySamples };
MeshRefusal meshRefusal(int m, int n, int k);
