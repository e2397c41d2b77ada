#include "device/PlotDevice.h"

#include <cmath>
#include <cstdint>

#include "device/DeviceInt.h"
#include "device/Fonts.h"
#include "device/PrintService.h"

namespace {

constexpr double degreesToRadians = 0.017453292519943295;
constexpr double twoPi = 6.283185307179586;

// A whole percent of a page length: the integer product, then 0.01.
int percentOf(int pct, int length)
{
    const std::int64_t product = static_cast<std::int64_t>(pct) * length;
    return truncToDevice(static_cast<double>(product) * 0.01);
}

} // namespace

PlotDevice::PlotDevice(DeviceWindow* w) : window(w) {}

PlotDevice::~PlotDevice()
{
    finishDrawing();
}

void PlotDevice::beginDrawing(int toPrinter)
{
    printing = toPrinter;
    pictureRefused = false;
    holdsObjects = true;
    textColourIndex = 1;
    framePenIndex = 2;
    brushIndex = 5;
    dc = window->acquireCanvas();
    selectWindowFont();

    clientRect = window->clientRect();
    clientWidth = pageWidth = clientRect.right - clientRect.left;
    clientHeight = pageHeight = clientRect.bottom - clientRect.top;
    pageAspect = static_cast<double>(pageHeight) / pageWidth;
    window->invalidate();
    if (printing == 0 || colour != 0)
        dc->fillRect(clientRect, BrushColours[static_cast<std::size_t>(brushIndex)]);

    if (toPrinter == 1 && !beginPrinting())
        return;
    setUpColours();
}

// 10-point Times New Roman in the window's context, and the text cursor
// at its start position.
void PlotDevice::selectWindowFont()
{
    font = createPointFont(*dc, "Times New Roman", 100, 100, 0);
    holdsFont = true;
    dc->selectFont(font);
    textMetrics = dc->textMetrics();
    charWidth = textMetrics.aveCharWidth;
    lineHeight = textMetrics.height;
    textY = lineHeight;
    lineStartX = textX = 10 * charWidth;
}

void PlotDevice::setUpColours()
{
    if (isBrushIndex(brushIndex))
        dc->setBkColour(BrushColours[static_cast<std::size_t>(brushIndex)]);
    if (isPenIndex(textColourIndex))
        dc->setTextColour(PenColours[static_cast<std::size_t>(textColourIndex)]);
    dc->setPen(PenColours[0], penWidth);
    penIndex = 0;
}

void PlotDevice::finishDrawing()
{
    setPenWidth(1);
    holdsObjects = false;
    holdsFont = false;
    if (printing == 1)
        finishPrinting();
    if (dc != nullptr) {
        dc->flush();
        window->releaseCanvas(dc);
        dc = nullptr;
    }
}

void PlotDevice::setViewport(int leftPct, int rightPct, int bottomPct, int topPct, int mode)
{
    left = percentOf(leftPct, pageWidth);
    top = percentOf(100 - topPct, pageHeight);
    right = percentOf(rightPct, pageWidth);
    bottom = percentOf(100 - bottomPct, pageHeight);
    viewportRect = {left, top, right, bottom};

    lineStartX = textX = left + charWidth;
    if (!(mode == 2 && textY <= bottom - lineHeight))
        textY = top + lineHeight / 3;

    if (dc != nullptr) {
        if (isBrushIndex(brushIndex)) {
            dc->setBrush(BrushColours[static_cast<std::size_t>(brushIndex)]);
            dc->setBkColour(BrushColours[static_cast<std::size_t>(brushIndex)]);
        }
        if (isPenIndex(textColourIndex))
            dc->setTextColour(PenColours[static_cast<std::size_t>(textColourIndex)]);
    }
    clip = mode;
    applyClip();
    viewportWidth = right - left;
    viewportHeight = bottom - top;
    viewportAspect = static_cast<double>(topPct - bottomPct) * pageAspect / (rightPct - leftPct);
}

void PlotDevice::applyClip()
{
    if (dc == nullptr)
        return;
    if (clip == 1)
        dc->setClip(viewportRect);
    else
        dc->clearClip();
}

void PlotDevice::setWorld(double wx1, double wx2, double wy1, double wy2)
{
    x1 = wx1;
    x2 = wx2;
    y1 = wy1;
    y2 = wy2;
    xSpan = x2 - x1;
    ySpan = y2 - y1;
    xScale = (1 / xSpan) * viewportWidth;
    yScale = (1 / ySpan) * viewportHeight;
    worldAspect = xSpan * viewportAspect / ySpan;
}

void PlotDevice::penAt(int index)
{
    if (dc != nullptr)
        dc->setPen(PenColours[static_cast<std::size_t>(index)], penWidth);
}

void PlotDevice::selectPen(int index)
{
    if (!isPenIndex(index) || !colourDrawing())
        return;
    penAt(index);
    penIndex = index;
}

void PlotDevice::selectBrush(int index)
{
    if (!isBrushIndex(index) || !colourDrawing())
        return;
    if (dc != nullptr)
        dc->setBrush(BrushColours[static_cast<std::size_t>(index)]);
    brushIndex = index;
}

void PlotDevice::fillViewport(int index)
{
    if (!colourDrawing() || !isBrushIndex(index))
        return;
    const Colour brush = BrushColours[static_cast<std::size_t>(index)];
    brushIndex = index;
    if (dc != nullptr) {
        dc->setBrush(brush);
        dc->fillRect(viewportRect, brush);
    }
}

void PlotDevice::frameViewport(int pen)
{
    const bool restoreClip = clip == 1;
    if (restoreClip) {
        clip = 0;
        applyClip();
    }
    const int kept = penIndex;
    selectPen(pen == -1 ? framePenIndex : pen);
    if (dc != nullptr)
        dc->rectangle(viewportRect);
    if (restoreClip) {
        clip = 1;
        applyClip();
    }
    selectPen(kept);
}

// The replaced pen is deselected by selecting its successor: pen 0 on
// the printer, the pen of the same index on the screen.
void PlotDevice::setPenWidth(int width)
{
    penWidth = width;
    if (dc == nullptr)
        return;
    if (printing == 1)
        penAt(0);
    else if (isPenIndex(penIndex))
        penAt(penIndex);
}

int PlotDevice::toDeviceX(double x) const
{
    return truncToDevice((x - x1) * xScale + left + 0.5);
}

int PlotDevice::toDeviceY(double y) const
{
    return truncToDevice(bottom - (y - y1) * yScale + 0.5);
}

double PlotDevice::toWorldX(int deviceX, int clampToEdges) const
{
    if (clampToEdges == 1 && deviceX <= left)
        return x1;
    if (clampToEdges == 1 && deviceX >= right)
        return x2;
    return x1 + (static_cast<double>(deviceX) - left) / xScale;
}

void PlotDevice::moveTo3D(double x, double y, double z)
{
    moveTo(projectX(x, y), projectY(x, y, z));
}

void PlotDevice::lineTo3D(double x, double y, double z)
{
    lineTo(projectX(x, y), projectY(x, y, z));
}

void PlotDevice::drawGrid(int columns, int rows, int tickLength)
{
    const int kept = penIndex;
    selectPen(framePenIndex);
    const std::int64_t product = static_cast<std::int64_t>(columns) * rows * tickLength;
    if (product != 0) {
        savedX1 = x1;
        savedX2 = x2;
        savedY1 = y1;
        savedY2 = y2;
        setWorld(0, columns, 0, rows);
        const double l = tickLength * xSpan * 0.003;
        const double ly = l / worldAspect;
        for (std::int64_t i = 1; i <= std::int64_t{columns} - 1; ++i) {
            moveTo(static_cast<double>(i), 0);
            lineTo(static_cast<double>(i), ly);
        }
        for (std::int64_t j = 1; j <= std::int64_t{rows} - 1; ++j) {
            moveTo(0, static_cast<double>(j));
            lineTo(l, static_cast<double>(j));
        }
        setWorld(savedX1, savedX2, savedY1, savedY2);
    }
    selectPen(kept);
}

void PlotDevice::drawCircle(double cx, double cy, double r, int segments, double startDegrees)
{
    const double ry = r / worldAspect;
    const double step = twoPi / segments;
    double a = startDegrees * degreesToRadians;
    moveTo(cx + r * std::cos(a), cy + ry * std::sin(a));
    for (int s = 0; s < segments; ++s) {
        a = a + step;
        lineTo(cx + r * std::cos(a), cy + ry * std::sin(a));
    }
    moveTo(cx, cy);
}
