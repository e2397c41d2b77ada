#pragma once
#include <cmath>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "device/Canvas.h"
#include "device/Colours.h"
#include "device/DeviceInt.h"
#include "device/DeviceMapping.h"
#include "device/DeviceWindow.h"
#include "device/LineDrawer.h"
#include "device/PrintService.h"
#include "device/PrinterSession.h"

// How a viewport treats drawing beyond its edges.
enum class ClipMode {
    Clip,            // cut at the viewport's edges (every page draws so)
    NoClip,          // runs over them
    NoClipKeepLine,  // runs over them, and the text cursor keeps its line
                     // while one more line fits above the viewport's bottom
};

// The world window: x1..x2 across, y1..y2 up, over the viewport.
struct WorldWindow {
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};

// The drawing device: a window's client area or one printed page, with
// viewports in percent of the page, a world window mapped onto the
// viewport, pens and brushes by colour index, a font and a text cursor.
// Every picture is one beginDrawing ... finishDrawing pair.
class PlotDevice {
public:
    explicit PlotDevice(DeviceWindow& window);
    ~PlotDevice();
    PlotDevice(const PlotDevice&) = delete;
    PlotDevice& operator=(const PlotDevice&) = delete;

    // The long-lived device draws on the plot window or, for a print, on
    // the main window.
    void bindWindow(DeviceWindow& window);

    // A picture on the window or, given the print the user opened, on its
    // printed page (the window is set up first all the same). Nothing is
    // asked: the questions come before, the notes after.
    void beginDrawing(std::unique_ptr<PrinterSession> printer = nullptr);
    // How the printed page fared, when the picture was printed.
    std::optional<PrintOutcome> finishDrawing();
    bool drawing() const { return dc_ != nullptr; }
    // Off only while printing in black and white: then every pen, brush
    // and text colour change is ignored.
    bool colourDrawing() const;

    // The background brush, frame pen and text colour a picture works
    // with, set without selecting anything (ignored without colour).
    void setPageColours(BrushColour brush, PenColour framePen, PenColour textColour);
    // Makes index the current pen index without selecting it: the next
    // frame selects it when it puts the pen back (ignored without colour).
    void presetPen(int index);
    void selectPen(int index);
    void selectPen(PenColour colour) { selectPen(indexOf(colour)); }
    void selectBrush(int index);
    void selectBrush(BrushColour colour) { selectBrush(indexOf(colour)); }
    int penIndex() const { return lines_.penIndex(); }
    // The pen lines are drawn with now, and the one selectPen(index) would
    // make it (none when it would be ignored).
    Pen pen() const { return lines_.pen(); }
    std::optional<Pen> penFor(int index) const;
    // A pen of any colour at the width of the table's pens (none while
    // colours are ignored), for lines that set it without an index.
    std::optional<Pen> penOf(Colour colour) const;
    void setPenWidth(int width);

    void setViewport(int leftPct, int rightPct, int bottomPct, int topPct, ClipMode mode);
    void fillViewport(int brush);
    void fillViewport(BrushColour brush) { fillViewport(indexOf(brush)); }
    // The viewport's rectangle in the frame pen, unclipped, its interior
    // in the selected brush.
    void frameViewport();
    // The rectangle in the colour, cut as the viewport cuts (ignored
    // without colour).
    void fillRect(const DeviceRect& rect, Colour colour);
    void unclip();
    void clipToViewport();
    const DeviceRect& viewport() const { return viewport_; }

    void setWorld(double x1, double x2, double y1, double y2);
    // 0..100 by 0..100: one world unit is one percent of the viewport.
    void setPercentWorld();
    const WorldWindow& world() const { return world_; }
    int toDeviceX(double x) const;
    int toDeviceY(double y) const;
    void moveTo(double x, double y);
    void lineTo(double x, double y);
    // The mapping moveTo and lineTo use now, and the two on points it
    // mapped: for a caller that maps many points at once.
    DeviceMapping mapping() const
    {
        return {world_.x1, world_.y1, xScale_, yScale_, viewport_.left, viewport_.bottom};
    }
    void moveTo(MappedPoint point) { lines_.moveTo(point); }
    void lineTo(MappedPoint point) { lines_.lineTo(point); }
    // The moves, lines and pens of this picture in device points, for a
    // caller that maps many points at once.
    LineDrawer& lines() { return lines_; }
    void drawGrid(int columns, int rows, int tickLength);
    void drawCircle(double cx, double cy, double radius, int segments, double startDegrees);

    void setTextColour(int index);
    void setTextColour(PenColour colour) { setTextColour(indexOf(colour)); }
    void writeText(const std::string& text);
    // The text centred on world point (x, y), in the text colours; the
    // text cursor stays where it is.
    void writeCentredText(const std::string& text, double x, double y);
    void nextLineAt(int column);
    void newLines(int count);
    // Lines start `columns` character widths right of the viewport's left
    // edge; the cursor goes there.
    void indentLines(int columns);
    // The cursor goes to `column` character widths right of the line start,
    // on the same line.
    void tabTo(int column);
    // The text cursor, the top left corner of the next text, and a move
    // of it to a point of the page.
    DevicePoint textCursor() const { return {textX_, textY_}; }
    void moveTextCursor(DevicePoint at);
    int charWidth() const { return charWidth_; }
    int lineHeight() const { return lineHeight_; }
    // The text's width in device units in the font (0 outside a picture).
    int textWidth(const std::string& text) const;

    // A layer of the canvas for lines drawn on another thread (null when
    // the canvas has none), and the layer laid on the page after the lines
    // drawn so far.
    std::unique_ptr<CanvasLayer> openLayer();
    void composeLayer(CanvasLayer& layer);

private:
    void selectFont(const FontSpec& font);
    void setUpColours();
    void startPrinting(std::unique_ptr<PrinterSession> printer);
    PrintOutcome finishPrinting();
    void applyClip();
    void penAt(int index);
    void endLine() { lines_.endLine(); }
    void bindCanvas(Canvas* canvas);
    Colour textColour() const;
    Colour textBackground() const;

    DeviceWindow* window_;
    std::unique_ptr<PrinterSession> printer_;
    Canvas* screen_ = nullptr;
    Canvas* dc_ = nullptr;

    // The pen index is the lines' (indices_.pen holds it only while a
    // print keeps the screen's indices); lines_.pen() and brush_ are what
    // lines and frames are drawn with (a pen index outside the table is
    // never selected, so the two can differ).
    ColourIndices indices_;
    LineDrawer lines_;
    Colour brush_ = colourOf(BrushColour::White);
    int penWidth_ = 1;

    FontSpec font_;
    int charWidth_ = 0;
    int lineHeight_ = 0;
    int lineStartX_ = 0;
    int textX_ = 0, textY_ = 0;

    DeviceRect client_;
    PageSize page_;
    double pageAspect_ = 1.0;
    DeviceRect viewport_;
    double viewportAspect_ = 1.0;
    bool clipped_ = true;

    WorldWindow world_;
    double xScale_ = 0, yScale_ = 0;
    double worldAspect_ = 0;
};

// Moves and lines run once for every sample of the surface: inline.
// A height that is not a number, or a world window of zero extent, gives
// no point, and such a point is never joined by a line; an infinite one
// is drawn to the edge of the device range.
inline void PlotDevice::moveTo(double x, double y)
{
    lines_.moveTo(mapping().map(x, y));
}

inline void PlotDevice::lineTo(double x, double y)
{
    lines_.lineTo(mapping().map(x, y));
}
