#include "render/ComposePage.h"

#include "render/FrameBox.h"
#include "render/SurfaceRenderer.h"
#include "sheets/PlotSettings.h"
#include "sheets/Readings.h"

namespace {

// A flat surface, for a page drawn without a surface function.
class ZeroFunction final : public ZFunction {
public:
    double evaluate(double, double) override { return 0.0; }
};

void setPageColours(PlotDevice& d)
{
    d.brushIndex = 5;
    d.framePenIndex = 2;
    d.textColourIndex = 1;
}

void drawDataPanel(PlotDevice& d, const Sheets& sheets, int b)
{
    d.setViewport(82, 99, b, 85, 1);
    d.fillViewport(5);
    d.frameViewport(-1);
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

// The f(x,y) line, centred 8 % of the viewport's height above it.
void drawCaption(PlotDevice& d, const DataSheet& fdata)
{
    d.clip = 0;
    d.applyClip();
    if (d.dc == nullptr || fdata.size() < 7)
        return;
    if (isBrushIndex(d.brushIndex))
        d.dc->setBkColour(BrushColours[static_cast<std::size_t>(d.brushIndex)]);
    if (isPenIndex(d.textColourIndex))
        d.dc->setTextColour(PenColours[static_cast<std::size_t>(d.textColourIndex)]);
    const std::string caption = fdata[6].display;
    const int w = d.dc->textExtent(caption).width;
    d.dc->textOut(d.toDeviceX(50) - w / 2, d.toDeviceY(108) - d.lineHeight / 2, caption);
}

void drawSurfaceViewport(PlotDevice& d, const DataSheet& fdata, int b)
{
    d.setViewport(5, 80, b, 85, 1);
    d.fillViewport(5);
    d.frameViewport(-1);
    d.x1 = 0;
    d.x2 = 100;
    d.y1 = 0;
    d.y2 = 100;
    d.xSpan = 100;
    d.ySpan = 100;
    d.xScale = d.viewportWidth * 0.01;
    d.yScale = d.viewportHeight * 0.01;
    d.worldAspect = d.viewportAspect;
    drawCaption(d, fdata);
    d.selectBrush(6);
    d.clip = 1;
    d.applyClip();
    d.frameViewport(-1);
}

} // namespace

void composePage(PageContext& page, int mode)
{
    PlotDevice& d = page.device;
    const DataSheet& sdata = page.sheets.sdata;
    const PlotSettings s = readPlotSettings(sdata);
    if (page.surface != nullptr)
        page.surface->setCentre(s.xCentre, s.yCentre);
    if (mode == 1 || !page.orientationOpen) {
        page.viewTilt = realReading(sdata[SettingsLine::tilt].value);
        page.viewTheta = realReading(sdata[SettingsLine::theta].value);
    }

    d.beginDrawing(mode);
    if (d.pictureRefused) {
        d.finishDrawing();
        return;
    }
    if (mode == 1)
        d.setPenWidth(3);
    const int b = mode == 1 ? 25 : 5;

    if (d.colourDrawing())
        setPageColours(d);
    drawDataPanel(d, page.sheets, b);
    if (d.colourDrawing()) {
        setPageColours(d);
        d.penIndex = s.pc;
    }
    drawSurfaceViewport(d, page.sheets.fdata, b);

    ZeroFunction flat;
    ZFunction* function = &flat;
    if (page.surface != nullptr) {
        if (mode == 0)
            page.surface->setOwner(d.window);
        page.surface->parseAndReport();
        page.surface->setParameters();
        page.surface->setTheta(page.viewTheta);
        function = page.surface;
    }
    drawSurface(d, *function, s.x1, s.x2, s.y1, s.y2, s.z1, s.z2, s.m, s.n, s.k, page.viewTilt);
    if (s.fc != 0)
        drawFrameBox(d, s.fc);
    if (s.ax == 1)
        drawAxes(d, 9, 12, 10);
    d.finishDrawing();
}
