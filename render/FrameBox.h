#pragma once
#include "device/PlotDevice.h"

// The twelve edges of the plot box in pen colour, over the surface.
void drawFrameBox(PlotDevice& device, int colour);

// Axes through the function's origin; a colour of 0 leaves that axis out.
void drawAxes(PlotDevice& device, int xColour, int yColour, int zColour);
