#pragma once
#include <string>

#include "pages/FileCanvas.h"
#include "pages/ByteSink.h"

// A canvas that writes SVG elements as it is drawn, element by element (a
// line's points as they come), so that its memory does not grow with the
// page: the content of one layer of an SVG page, which SvgPage wraps.
// Fonts are measured by another canvas, the one whose device the page's
// text would be set on. Coordinates stay the exact device integers. A
// clip group opens where something is drawn under the clip, not before;
// its id starts with the prefix, so that layers' ids differ.
class SvgCanvas final : public FileCanvas {
public:
    SvgCanvas(Canvas& fonts, ByteSink& out, std::string idPrefix);
    ~SvgCanvas() override;
    SvgCanvas(const SvgCanvas&) = delete;
    SvgCanvas& operator=(const SvgCanvas&) = delete;

    void segment(DevicePoint from, DevicePoint to, Pen pen) override;
    void endLine() override;
    void fill(const DeviceRect& rect, Colour colour) override;
    void frame(const DeviceRect& rect, Pen pen, Colour brush) override;
    void clip(const DeviceRect& rect) override;
    void unclip() override;
    void text(DevicePoint at, const std::string& text, const FontSpec& font, Colour colour,
              Colour background) override;

    // Closes what is open and writes what is held.
    void finish();

private:
    void put(const std::string& text);
    void flush();
    void rect(const DeviceRect& r, const std::string& paint);
    // The clip group of the clip in force, opened if it is not.
    void openClip();
    void closeClip();

    ByteSink& out_;
    std::string idPrefix_;
    std::string buffer_;
    bool lineOpen_ = false;
    Pen linePen_;
    DevicePoint lineEnd_;
    // The clip in force, and the one whose group is open.
    bool clipped_ = false;
    DeviceRect clip_;
    bool groupOpen_ = false;
    DeviceRect group_;
    long long clipCount_ = 0;
    bool finished_ = false;
};
