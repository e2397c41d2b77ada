#pragma once
#include <cstddef>
#include <memory>
#include <span>
#include <string>

#include "device/Colours.h"
#include "device/PageLayer.h"

struct DevicePoint {
    int x = 0, y = 0;
    bool operator==(const DevicePoint&) const = default;
};

struct DeviceRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const DeviceRect&) const = default;
};

// Dots per logical inch across and down.
struct Resolution {
    int x = 0, y = 0;
};

struct Pen {
    Colour colour = 0;
    int width = 1;
    bool operator==(const Pen&) const = default;
};

// A font request in device units: a negative height asks for that
// character height (the cell without its internal leading); a width of 0
// asks for the face's natural average character width; a weight of 700 or
// more is bold. stockFixed asks for the system's fixed-pitch font instead
// (what the device measures text with between a print and the next
// picture).
struct FontSpec {
    int height = 0;
    int width = 0;
    int weight = 0;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    bool stockFixed = false;
    std::string face;
    bool operator==(const FontSpec&) const = default;
};

struct TextMetrics {
    int height = 0;        // cell height, ascent + descent
    int ascent = 0;
    int aveCharWidth = 0;
};

class CanvasLayer;

// What a PlotDevice draws on: a driver in device units, origin top left,
// y down. Every call brings what it draws with (pen, colours, font); the
// canvas keeps no current pen, brush, font or position, only its clip.
class Canvas {
public:
    virtual ~Canvas() = default;

    virtual Resolution resolution() const = 0;

    // A line from `from` up to, not including, `to`. Segments that follow
    // one another end to start in one pen, up to endLine, are one line:
    // a canvas may draw them as one polyline, joined at their ends.
    virtual void segment(DevicePoint from, DevicePoint to, Pen pen) = 0;
    // The segments from each point to the next, as that many segment
    // calls: a dense line comes in one call.
    virtual void polyline(std::span<const DevicePoint> points, Pen pen)
    {
        for (std::size_t i = 1; i < points.size(); ++i)
            segment(points[i - 1], points[i], pen);
    }
    virtual void endLine() {}
    // Whether the canvas keeps the layers of the page apart (a vector
    // page's): only then is it told the layer of the lines to come, each
    // layer's segments handed on before another's. Fills and frames are
    // the page's, texts are the text's.
    virtual bool keepsLayers() const { return false; }
    // The layer of the lines drawn from now on; the page's until told.
    virtual void lineLayer(PageLayer layer) { (void)layer; }
    // Paints [left, right) x [top, bottom) in the colour.
    virtual void fill(const DeviceRect& rect, Colour colour) = 0;
    // The interior in the brush, the outline in the pen on the pixels
    // left..right-1, top..bottom-1: the outline lies inside the rectangle,
    // on its outermost pixels.
    virtual void frame(const DeviceRect& rect, Pen pen, Colour brush) = 0;
    // Everything drawn afterwards is cut at the rectangle, or at nothing.
    virtual void clip(const DeviceRect& rect) = 0;
    virtual void unclip() = 0;

    virtual TextMetrics fontMetrics(const FontSpec& font) = 0;
    virtual int textWidth(const std::string& text, const FontSpec& font) = 0;
    // The text with its cell's top left corner at `at`, the cell painted
    // in the background colour.
    virtual void text(DevicePoint at, const std::string& text, const FontSpec& font,
                      Colour colour, Colour background) = 0;

    // A layer for thin lines that another thread draws while this canvas
    // is drawn on: the same size and clip, its pixels laid over these by
    // compose, at that point in the order of drawing. Null where a canvas
    // has none: then it is drawn on in order.
    virtual std::unique_ptr<CanvasLayer> openLayer() { return nullptr; }
    // Lays a layer this canvas opened over what is drawn so far.
    virtual void compose(CanvasLayer& layer) { (void)layer; }
};

// A layer's own canvas, for one thread at a time.
class CanvasLayer {
public:
    virtual ~CanvasLayer() = default;
    virtual Canvas& canvas() = 0;
    // Makes the layer blank within its clip; by the thread that draws on
    // it, before it draws, so that the blanking costs the other nothing.
    virtual void clear() = 0;
};
