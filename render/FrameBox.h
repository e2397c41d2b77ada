#pragma once
#include "device/PlotDevice.h"
#include "device/Projection.h"

// The twelve edges of the plot box in pen colour, over the surface, in
// the view the surface was drawn in.
void drawFrameBox(PlotDevice& device, const Projection& view, int colour);

// Axes through the function's origin; a colour of 0 leaves that axis out.
void drawAxes(PlotDevice& device, const Projection& view, int xColour, int yColour, int zColour);
