#pragma once
#include <cmath>
#include <memory>
#include <string>

#include "device/Canvas.h"
#include "device/Colours.h"
#include "device/DeviceWindow.h"
#include "device/DeviceInt.h"
#include "device/Projection.h"

class PrintService;
class PrintJob;

// The drawing device: a window's client area or one printed page, with
// viewports in percent of the page, a world window mapped onto the
// viewport, pens and brushes by colour index, a font and a text cursor.
// A plain record of its state with the operations on it: the page
// composition and the renderer read and set its fields directly.
class PlotDevice {
public:
    explicit PlotDevice(DeviceWindow* window);
    ~PlotDevice();
    PlotDevice(const PlotDevice&) = delete;
    PlotDevice& operator=(const PlotDevice&) = delete;

    void beginDrawing(int toPrinter);
    void finishDrawing();

    void setViewport(int leftPct, int rightPct, int bottomPct, int topPct, int mode);
    void setWorld(double x1, double x2, double y1, double y2);
    void selectPen(int index);
    void selectBrush(int index);
    void fillViewport(int brush);
    void frameViewport(int pen);
    void setPenWidth(int width);
    int toDeviceX(double x) const;
    int toDeviceY(double y) const;
    double toWorldX(int deviceX, int clamp) const;
    void moveTo(double x, double y);
    void lineTo(double x, double y);
    void drawGrid(int columns, int rows, int tickLength);
    void drawCircle(double cx, double cy, double radius, int segments, double startDegrees);

    void setTextColour(int index);
    void writeText(const std::string& text);
    void nextLineAt(int column);
    void newLines(int count);

    // Projection left by the surface renderer.
    double projectX(double x, double y) const { return projection.projectX(x, y); }
    double projectY(double x, double y, double z) const { return projection.projectY(x, y, z); }
    void moveTo3D(double x, double y, double z);
    void lineTo3D(double x, double y, double z);

    bool colourDrawing() const { return printing == 0 || colour == 1; }
    bool drawingNow() const { return dc != nullptr; }
    // Applies the clip that `clip` says to dc: the viewport or none.
    void applyClip();

    // Where printing goes; without one a print finds no printer.
    PrintService* printService = nullptr;

    int printing = 0;
    int penWidth = 1;
    DeviceWindow* window;
    Canvas* dc = nullptr;
    Canvas* screenDc = nullptr;
    std::unique_ptr<PrintJob> printerDc;
    bool holdsFont = false;
    bool holdsObjects = false;
    FontSpec font;
    TextMetrics textMetrics;
    TextSize textExtent;
    int charWidth = 0;
    int lineHeight = 0;
    int lineStartX = 0;
    int textX = 0, textY = 0;
    DeviceRect clientRect;
    DeviceRect viewportRect;
    int brushIndex = 0, savedBrushIndex = 0;
    int textColourIndex = 0, savedTextColourIndex = 0;
    int framePenIndex = 0, savedFramePenIndex = 0;
    int penIndex = 0, savedPenIndex = 0;
    int colour = 1;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    double xSpan = 0, ySpan = 0;
    double xScale = 0, yScale = 0;
    double savedX1 = 0, savedX2 = 0, savedY1 = 0, savedY2 = 0;
    int left = 0, right = 0, bottom = 0, top = 0;
    int viewportHeight = 0, viewportWidth = 0;
    double curX = 0, curY = 0;
    int curDevX = 0, curDevY = 0;
    int clientWidth = 0, clientHeight = 0;
    int pageWidth = 0, pageHeight = 0;
    double pageAspect = 1.0;
    double viewportAspect = 1.0;
    double worldAspect = 0;
    int clip = 1;
    Projection projection;

    // Set by beginDrawing when a print cannot go ahead (no printer known,
    // the printer cannot be opened): the picture is to be finished at once.
    bool pictureRefused = false;
    // True when the spooler took the page of the last print.
    bool lastPrintAccepted = false;

private:
    void selectWindowFont();
    bool beginPrinting();
    void finishPrinting();
    void setUpColours();
    bool moveCurrent(double x, double y);
    void penAt(int index);

    // Whether the current device point came from finite values.
    bool curDevValid = false;
};

// Moves and lines run once for every sample of the surface: inline.
// Records the world point and its device point; returns whether the
// device point comes from numbers. A height that is not a number, or a
// world window of zero extent, gives none, and such a point is never
// joined by a line; an infinite one is drawn to the edge of the device
// range.
inline bool PlotDevice::moveCurrent(double x, double y)
{
    curX = x;
    curY = y;
    const double dx = (x - x1) * xScale;
    const double dy = (y - y1) * yScale;
    curDevX = truncToDevice(dx + left + 0.5);
    curDevY = truncToDevice(bottom - dy + 0.5);
    return !std::isnan(dx) && !std::isnan(dy);
}

inline void PlotDevice::moveTo(double x, double y)
{
    curDevValid = moveCurrent(x, y);
    if (dc != nullptr)
        dc->moveTo(curDevX, curDevY);
}

inline void PlotDevice::lineTo(double x, double y)
{
    const bool wasValid = curDevValid;
    curDevValid = moveCurrent(x, y);
    if (dc == nullptr)
        return;
    if (wasValid && curDevValid)
        dc->lineTo(curDevX, curDevY);
    else
        dc->moveTo(curDevX, curDevY);
}
