#pragma once
#include "device/PlotDevice.h"
#include "expr/SurfaceFunction.h"
#include "render/MeshHeights.h"
#include "sheets/Sheets.h"

enum class PageTarget { Screen, Printer };

// The live viewing angles, in degrees.
struct ViewAngles {
    double tilt = 0;
    double theta = 0;
};

// What a page is drawn from: the device (bound to the plot window for the
// screen, to the main window for a print), the sheets, the surface
// function and the live viewing angles.
struct PageContext {
    PlotDevice& device;
    const Sheets& sheets;
    SurfaceFunction* surface;   // may be null: a flat page
    ViewAngles& view;           // read from the sheet unless the orientation window is open
    bool orientationOpen = false;
    // The surface's heights kept from page to page with the surface
    // function; null for a page of its own.
    MeshHeights* heights = nullptr;
};

// Draws one whole page on the screen or on the printer.
void composePage(PageContext& page, PageTarget target);

// The caption of the box that warns of an f(x,y) that does not parse.
inline constexpr const char* parseWarningCaption = "Parse error: therefore f(x,y) = 0";
