#pragma once
#include <string>

#include "device/Colours.h"

struct DeviceRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const DeviceRect&) const = default;
};

struct TextSize {
    int width = 0, height = 0;
};

// A font request in device units, the fields of a LOGFONT that matter:
// a negative height asks for that character height (the cell without
// its internal leading); a width of 0 asks for the face's natural width.
struct FontSpec {
    int height = 0;
    int width = 0;
    int weight = 0;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::string face;
    bool operator==(const FontSpec&) const = default;
};

struct TextMetrics {
    int height = 0;        // cell height, ascent + descent
    int ascent = 0;
    int aveCharWidth = 0;
};

// The drawing surface a PlotDevice draws on: a small graphics device
// interface in device units, origin top left, y down. It holds one pen,
// one brush, one font, one clip rectangle, a text and a background
// colour and a current position, as a display context does.
class Canvas {
public:
    virtual ~Canvas() = default;

    virtual int logPixelsX() const = 0;
    virtual int logPixelsY() const = 0;

    virtual void setPen(Colour colour, int width) = 0;
    virtual void setBrush(Colour colour) = 0;
    // Paints [left, right) x [top, bottom) in the colour, clipped.
    virtual void fillRect(const DeviceRect& rect, Colour colour) = 0;
    // Outline in the pen, interior in the brush, as the platform's
    // Rectangle: the outline runs on the pixels left..right-1, top..bottom-1.
    virtual void rectangle(const DeviceRect& rect) = 0;
    virtual void setClip(const DeviceRect& rect) = 0;
    virtual void clearClip() = 0;

    virtual void moveTo(int x, int y) = 0;
    // A line from the current position in the pen; the end pixel is not
    // drawn. The end becomes the current position.
    virtual void lineTo(int x, int y) = 0;

    // Metrics of a font without selecting it.
    virtual TextMetrics fontMetrics(const FontSpec& font) = 0;
    virtual void selectFont(const FontSpec& font) = 0;
    virtual void selectStockFixedFont() = 0;
    virtual TextMetrics textMetrics() = 0;
    virtual TextSize textExtent(const std::string& text) = 0;
    virtual void setTextColour(Colour colour) = 0;
    virtual void setBkColour(Colour colour) = 0;
    // Writes text with its cell's top left corner at (x, y), the cell
    // painted in the background colour.
    virtual void textOut(int x, int y, const std::string& text) = 0;

    // Everything drawn so far is to be shown (end of a picture).
    virtual void flush() {}
};
