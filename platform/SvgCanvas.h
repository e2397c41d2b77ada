#pragma once
#include <QIODevice>
#include <string>

#include "device/Canvas.h"

// A canvas that writes an SVG drawing as it is drawn, element by element
// (a line's points as they come), so that its memory does not grow with
// the page. Fonts are measured by another canvas, the one whose device
// the page's text would be set on. Coordinates stay the exact device
// integers.
class SvgCanvas final : public Canvas {
public:
    SvgCanvas(Canvas& fonts, QIODevice& out, int width, int height);
    ~SvgCanvas() override;
    SvgCanvas(const SvgCanvas&) = delete;
    SvgCanvas& operator=(const SvgCanvas&) = delete;

    Resolution resolution() const override { return fonts_.resolution(); }
    void segment(DevicePoint from, DevicePoint to, Pen pen) override;
    void endLine() override;
    void fill(const DeviceRect& rect, Colour colour) override;
    void frame(const DeviceRect& rect, Pen pen, Colour brush) override;
    void clip(const DeviceRect& rect) override;
    void unclip() override;
    TextMetrics fontMetrics(const FontSpec& font) override { return fonts_.fontMetrics(font); }
    int textWidth(const std::string& text, const FontSpec& font) override
    {
        return fonts_.textWidth(text, font);
    }
    void text(DevicePoint at, const std::string& text, const FontSpec& font, Colour colour,
              Colour background) override;

    // Closes the drawing and writes what is held.
    void finish();

private:
    void put(const std::string& text);
    void flush();
    void rect(const DeviceRect& r, const std::string& paint);
    void closeClip();

    Canvas& fonts_;
    QIODevice& out_;
    std::string buffer_;
    bool lineOpen_ = false;
    Pen linePen_;
    DevicePoint lineEnd_;
    bool clipOpen_ = false;
    long long clipCount_ = 0;
    bool finished_ = false;
};
