#pragma once
#include "device/PlotDevice.h"
#include "device/Projection.h"
#include "expr/ZFunction.h"
#include "render/SurfaceRenderer.h"

// The hidden-line surface as plainly as it can be said: each sample's
// height asked for as it is visited (the front boundary twice), projected
// and tested against the two horizons, and drawn through the device's
// moveTo, lineTo and selectPen. The program's renderer is held to it,
// call for call. Refuses the meshes the renderer refuses; gives the view
// it drew in, which it computes itself. The style leaves out the walk of
// one family (its lines and its reset of the horizons), and draws a line
// in its pen to each hidden sample, as to an underside; with bands each
// line's pen is that of its end's height.
Projection drawOracleSurface(PlotDevice& device, const ZFunction& f, const SurfaceMesh& mesh,
                             double tilt, SurfaceStyle style = {});
