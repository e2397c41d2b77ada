#pragma once
#include <vector>

#include "device/PlotDevice.h"
#include "device/Projection.h"
#include "render/SurfaceStyle.h"

class MeshHeights;
class MeshLattice;

// The hidden-line walk of the mesh over heights computed ahead: the front
// boundary, the lines of constant y, the front again to reset the
// horizons, the lines of constant x, with the same moves, lines and pens,
// on the same values, as a walk that asks for each height as it goes.
// Each piece of a line is seen against the horizons first, then drawn
// through the device's line rules. The device holds the world window of
// the surface in the view; lower and upper are the two horizons, one
// entry a column. Where the heights are all kept and the mesh is large,
// the lines of constant x are seen on a second thread while this one
// draws those of constant y, and drawn there too where the canvas has a
// layer for them; the device is drawn on only by the calling thread.
// The style leaves one family out, walked neither for its lines nor for
// the horizons, and gives the pen of lines to hidden samples and the
// colour bands by height, over the view's z range.
void walkKeptHeights(PlotDevice& device, const Projection& view, MeshHeights& heights,
                     const MeshLattice& lattice, std::vector<double>& lower,
                     std::vector<double>& upper, SurfaceStyle style = {});
