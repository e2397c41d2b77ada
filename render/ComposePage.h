#pragma once
#include "device/PlotDevice.h"
#include "expr/SurfaceFunction.h"
#include "sheets/Sheets.h"

// What a page is drawn from: the device (bound to the plot window for the
// screen, to the main window for a print), the sheets, the surface
// function, and the live viewing angles.
struct PageContext {
    PlotDevice& device;
    const Sheets& sheets;
    SurfaceFunction* surface;
    double& viewTilt;
    double& viewTheta;
    bool orientationOpen = false;
};

// Draws one whole page: mode 0 on the screen, mode 1 on the printer.
void composePage(PageContext& page, int mode);
