#include "render/ComposePage.h"
#include "render/FrameBox.h"
#include "render/SurfaceRenderer.h"
#include "sheets/PlotSettings.h"
#include "sheets/Readings.h"

namespace {

void drawDataPanel(PlotDevice& d, const Sheets& sheets, int b)
{
    d.setViewport(82, 99, b, 85, ClipMode::Clip);
    d.fillViewport(5);
    d.frameViewport();
    for (std::size_t i = 1; i <= 5 && i < sheets.fdata.size(); ++i) {
        d.writeText(sheets.fdata[i].display);
        d.newLines(1);
    }
    d.newLines(1);
    for (std::size_t i = 1; i <= 11 && i < sheets.sdata.size(); ++i) {
        d.writeText(sheets.sdata[i].display);
        d.newLines(1);
    }
}

// The f(x,y) line, unclipped, centred 8 % of the viewport's height above
// it.
void drawCaption(PlotDevice& d, const DataSheet& fdata)
{
    d.unclip();
    if (fdata.size() >= 7)
        d.writeCentredText(fdata[6].display, 50, 108);
}

void drawSurfaceViewport(PlotDevice& d, const Sheets& sheets, int b)
{
    d.setViewport(5, 80, b, 85, ClipMode::Clip);
    d.fillViewport(5);
    d.frameViewport();
    d.setPercentWorld();
    drawCaption(d, sheets.fdata);
    d.selectBrush(6);
    d.clipToViewport();
    d.frameViewport();
}

// Parses f(x,y) and warns when it fails. The warning belongs to the
// window of the last screen page: a print leaves the owner as it was, so
// a print before any screen page shows none.
void prepareSurface(PlotDevice& d, SurfaceFunction& surface, double theta)
{
    if (!surface.parse()) {
        const DataLine* line = surface.expressionLine();
        if (line != nullptr && d.lastScreenWindow() != nullptr)
            d.lastScreenWindow()->ask(Prompt::ParseWarning, line->display, parseWarningCaption);
    }
    surface.setParameters();
    surface.setTheta(theta);
}

} // namespace

void composePage(PageContext& page, PageTarget target)
{
    PlotDevice& d = page.device;
    const DataSheet& sdata = page.sheets.sdata;
    const PlotSettings s = readPlotSettings(sdata);
    if (page.surface != nullptr)
        page.surface->setCentre(s.xCentre, s.yCentre);
    const bool printing = target == PageTarget::Printer;
    if (printing || !page.orientationOpen) {
        page.view.tilt = realReading(sdata[SettingsLine::tilt].value);
        page.view.theta = realReading(sdata[SettingsLine::theta].value);
    }

    if (!d.beginDrawing(printing ? DeviceTarget::Printer : DeviceTarget::Screen)) {
        d.finishDrawing();
        return;
    }
    if (printing)
        d.setPenWidth(3);
    const int b = printing ? 25 : 5;

    d.setPageColours(5, 2, 1);
    drawDataPanel(d, page.sheets, b);
    d.setPageColours(5, 2, 1);
    d.presetPen(s.pc);
    drawSurfaceViewport(d, page.sheets, b);

    // Without a surface function the surface is flat.
    const SurfaceHeights flat;
    const ZFunction* function = &flat;
    if (page.surface != nullptr) {
        prepareSurface(d, *page.surface, page.view.theta);
        function = page.surface;
    }
    MeshHeights ownHeights;
    MeshHeights& heights = page.heights != nullptr ? *page.heights : ownHeights;
    drawSurface(d, *function, heights, s.x1, s.x2, s.y1, s.y2, s.z1, s.z2, s.m, s.n, s.k,
                page.view.tilt);
    if (s.fc != 0)
        drawFrameBox(d, s.fc);
    if (s.ax == 1)
        drawAxes(d, 9, 12, 10);
    d.finishDrawing();
}
