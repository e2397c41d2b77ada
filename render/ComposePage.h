#pragma once
#include <memory>

#include "device/PlotDevice.h"
#include "device/PrinterSession.h"
#include "expr/SurfaceFunction.h"
#include "grid/HeightGrid.h"
#include "render/MeshHeights.h"
#include "render/PageReport.h"
#include "sheets/Sheets.h"

enum class PageTarget { Screen, Printer };

// Viewing angles, in degrees.
struct ViewAngles {
    double tilt = 0;
    double theta = 0;
};

// The angles of the tilt and theta lines of the settings sheet.
ViewAngles sheetAngles(const DataSheet& sdata);

// What a page is drawn from: the device (bound to the plot window for the
// screen, to the main window for a print), the sheets, the surface
// function, the angles to draw at and the grid of heights loaded, if any.
struct PageContext {
    PlotDevice& device;
    const Sheets& sheets;
    SurfaceFunction* surface;   // may be null: a flat page
    ViewAngles view;
    // The surface's heights kept from page to page with the surface
    // function; null for a page of its own.
    MeshHeights* heights = nullptr;
    // The heights z takes in f(x,y), over the page's box; without a grid
    // z is a variable like any other.
    std::shared_ptr<const HeightGrid> grid = nullptr;
};

// Draws one whole page on the screen or for a print, asking nothing, and
// returns what the user must be told. A print goes on the printed page of
// the session the user opened; without one (the print was declined) the
// printer's layout is drawn on the device's window.
PageReport composePage(const PageContext& page, PageTarget target,
                       std::unique_ptr<PrinterSession> printer = nullptr);
