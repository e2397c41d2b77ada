#pragma once
#include <cstdint>

#include "device/PlotDevice.h"
#include "device/Projection.h"
#include "expr/ZFunction.h"
#include "render/SurfaceStyle.h"

class MeshHeights;
struct PlotSettings;
struct StyleSettings;

// What a surface is drawn over: the box, and a mesh of m intervals along
// x and n along y, each sampled in k sub-steps.
struct SurfaceMesh {
    PlotBox box;
    int m = 0, n = 0, k = 0;
};

SurfaceMesh meshOf(const PlotSettings& settings);
SurfaceStyle styleOf(const StyleSettings& settings);

// The view of the mesh from the elevation tilt (degrees): the domain is
// turned by an angle that m, n and the box fix, so that every sample
// falls on one of k*(m+n)+1 exact screen columns.
Projection projectionOf(const SurfaceMesh& mesh, double tilt);

// Draws z = f(x,y) over the mesh as a wire mesh with hidden lines removed
// (a floating horizon over the screen columns), in the view, which is
// projectionOf(mesh) at some tilt; the world window becomes the projected
// box. In three stages: the heights of every sample, on all cores, kept
// in heights and reused while f and the mesh stay those of its last
// surface (as after a change of tilt alone); the samples seen against the
// two horizons, the two families of mesh lines at the same time where
// that pays; and what is seen drawn through the device's moves, lines and
// pens, the upper side in the device's pen, the underside in the pen 8
// below; style picks the families drawn, the pen of hidden lines and
// colour bands by height in place of the two pens.
// Negative m, n or k, or a mesh too large for memory, draws no surface;
// the world window is still set.
void drawSurface(PlotDevice& device, const ZFunction& f, MeshHeights& heights,
                 const SurfaceMesh& mesh, const Projection& view, SurfaceStyle style = {});

// Starts the heights drawSurface will draw, so that they may be computed
// alongside other work (MeshHeights::computeAlongside) before it is
// called; nothing for a mesh it draws no surface for.
void prepareHeights(const ZFunction& f, MeshHeights& heights, const SurfaceMesh& mesh);

// Limits of one surface: columns of the horizon, and samples drawn. The
// two horizons and one mesh line's samples take 32 bytes a column, so
// the columns' limit keeps a page's memory near half a gigabyte.
constexpr std::int64_t maxHorizonColumns = std::int64_t{1} << 24;
constexpr std::int64_t maxSurfaceSamples = std::int64_t{1} << 28;

// Why drawSurface draws no surface for a mesh, if it does not.
enum class MeshRefusal { None, Negative, TooManyColumns, TooManySamples };
MeshRefusal meshRefusal(int m, int n, int k);
