#pragma once
#include <string>

#include "pages/FileCanvas.h"
#include "pages/ByteSink.h"

// A canvas that writes HP-GL for a pen plotter: one layer of an HPGL page,
// which HpglPage begins and ends. Lines go as PU and PD in absolute
// plotter units, 10 to the pixel (0.25 mm: a page of 800 x 600 pixels
// plots 200 x 150 mm, within A4), y up from the page's bottom edge, a
// pixel's centre at (10x + 5, 10(height - y) - 5); each is cut to the
// clip in force and to the page. Pen n + 1 holds palette colour n, and a
// colour outside the palette goes to the pen of the nearest palette
// colour. Texts are labels (LB) in the plotter's own font, sized to the
// page's text; fills and text backgrounds are left out, a frame's outline
// is drawn. Written as it is drawn, like the SVG canvas.
class HpglCanvas final : public FileCanvas {
public:
    static constexpr int unitsPerPixel = 10;

    HpglCanvas(Canvas& fonts, ByteSink& out, int width, int height);
    ~HpglCanvas() override;
    HpglCanvas(const HpglCanvas&) = delete;
    HpglCanvas& operator=(const HpglCanvas&) = delete;

    void segment(DevicePoint from, DevicePoint to, Pen pen) override;
    void fill(const DeviceRect&, Colour) override {}
    void frame(const DeviceRect& rect, Pen pen, Colour brush) override;
    void clip(const DeviceRect& rect) override;
    void unclip() override;
    void text(DevicePoint at, const std::string& text, const FontSpec& font, Colour colour,
              Colour background) override;

    // Ends the open instruction and writes what is held.
    void finish();

private:
    struct Plotted {
        long long x = 0, y = 0;
        bool operator==(const Plotted&) const = default;
    };

    Plotted plotted(double x, double y) const;
    void stroke(Plotted from, Plotted to, Colour colour);
    void usePen(Colour colour);
    void endPath();
    void put(const std::string& text);
    void flush();

    ByteSink& out_;
    int width_, height_;
    DeviceRect area_;
    std::string buffer_;
    int pen_ = -1;
    // The open PD instruction's pairs, and where the pen stands.
    int pairs_ = 0;
    bool down_ = false;
    Plotted at_;
    std::string labelSize_;
    bool finished_ = false;
};
