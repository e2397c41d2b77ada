#include "render/ComposePage.h"
#include "grid/GridSurface.h"
#include "render/BoxTicks.h"
#include "render/ColourBar.h"
#include "render/FrameBox.h"
#include "render/SurfaceRenderer.h"
#include "sheets/PlotSettings.h"
#include "sheets/Readings.h"
#include "sheets/StyleSettings.h"

namespace {

// The lines of the two sheets, and below them the colour bar of the
// bands where there are bands.
void drawDataPanel(PlotDevice& d, const Sheets& sheets, const HeightBands& bands, int b)
{
    d.setViewport(82, 99, b, 85, ClipMode::Clip);
    d.fillViewport(BrushColour::White);
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
    drawColourBar(d, bands);
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
    d.fillViewport(BrushColour::White);
    d.frameViewport();
    d.setPercentWorld();
    drawCaption(d, sheets.fdata);
    d.selectBrush(BrushColour::PaleYellow);
    d.clipToViewport();
    d.frameViewport();
}

// Parses f(x,y), and gives the line that did not parse.
std::optional<ParseFailure> prepareSurface(SurfaceFunction& surface, double theta)
{
    std::optional<ParseFailure> failure;
    if (!surface.parse()) {
        if (const DataLine* line = surface.expressionLine())
            failure = ParseFailure{line->display, surface.parser().diagnostic()};
    }
    surface.setParameters();
    surface.setTheta(theta);
    return failure;
}

// The grid's heights with its nodes where the box puts them, or none.
std::shared_ptr<const ZFunction> heightField(const std::shared_ptr<const HeightGrid>& grid,
                                             const PlotSettings& s)
{
    if (grid == nullptr)
        return nullptr;
    return std::make_shared<GridSurface>(grid, s.x1, s.x2, s.y1, s.y2);
}

} // namespace

ViewAngles sheetAngles(const DataSheet& sdata)
{
    return {realReading(sdata[SettingsLine::tilt].value),
            realReading(sdata[SettingsLine::theta].value)};
}

PageReport composePage(const PageContext& page, PageTarget target,
                       std::unique_ptr<PrinterSession> printer)
{
    PlotDevice& d = page.device;
    const PlotSettings s = readPlotSettings(page.sheets.sdata);
    if (page.surface != nullptr) {
        page.surface->setCentre(s.xCentre, s.yCentre);
        page.surface->setHeightField(heightField(page.grid, s));
    }
    const bool printing = target == PageTarget::Printer;

    PageReport report;
    // Without a surface function the surface is flat.
    const SurfaceHeights flat;
    const ZFunction* function = &flat;
    if (page.surface != nullptr) {
        report.parseFailure = prepareSurface(*page.surface, page.view.theta);
        function = page.surface;
    }
    MeshHeights ownHeights;
    MeshHeights& heights = page.heights != nullptr ? *page.heights : ownHeights;
    const SurfaceMesh mesh = meshOf(s);
    prepareHeights(*function, heights, mesh);

    // The other cores start on the surface's heights while this one draws
    // the page around it.
    const int b = printing ? 25 : 5;
    const StyleSettings style = readStyleSettings(page.sheets.style);
    heights.computeAlongside([&] {
        d.beginDrawing(std::move(printer));
        if (printing)
            d.setPenWidth(3);
        d.setPageColours(BrushColour::White, PenColour::DarkGreen, PenColour::DarkBlue);
        drawDataPanel(d, page.sheets, HeightBands(style.bands, s.z1, s.z2), b);
        d.setPageColours(BrushColour::White, PenColour::DarkGreen, PenColour::DarkBlue);
        d.presetPen(s.pc);
        drawSurfaceViewport(d, page.sheets, b);
    });
    const Projection view = projectionOf(mesh, page.view.tilt);
    drawSurface(d, *function, heights, mesh, view, styleOf(style));
    if (s.fc != 0)
        drawFrameBox(d, view, s.fc);
    if (s.ax == 1)
        drawAxes(d, view, indexOf(PenColour::Blue), indexOf(PenColour::Cyan),
                 indexOf(PenColour::Green));
    if (style.ticks == 1)
        drawBoxTicks(d, view, s.fc != 0 ? s.fc : indexOf(PenColour::DarkBlue));
    report.printed = d.finishDrawing();
    return report;
}
