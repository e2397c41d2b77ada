#pragma once
#include <QColor>
#include <QFont>
#include <QPainter>
#include <QImage>
#include <QPoint>
#include <memory>
#include <optional>
#include <vector>

#include "device/Canvas.h"
#include "device/LineRaster.h"

class QPaintDevice;

// The canvas on any Qt paint device: an image, a window's picture, a
// printer's page, an SVG or PDF generator. Lines are aliased, so every
// device coordinate stays exact; text goes through Qt's font system.
// The segments of one line are drawn as one polyline, and zero-length
// segments are dropped: the picture is the same.
class QtCanvas final : public Canvas {
public:
    explicit QtCanvas(QPaintDevice* device);
    ~QtCanvas() override;
    QtCanvas(const QtCanvas&) = delete;
    QtCanvas& operator=(const QtCanvas&) = delete;

    Resolution resolution() const override;
    void segment(DevicePoint from, DevicePoint to, Pen pen) override;
    void polyline(std::span<const DevicePoint> points, Pen pen) override;
    void endLine() override;
    void fill(const DeviceRect& rect, Colour colour) override;
    void frame(const DeviceRect& rect, Pen pen, Colour brush) override;
    void clip(const DeviceRect& rect) override;
    void unclip() override;
    TextMetrics fontMetrics(const FontSpec& font) override;
    int textWidth(const std::string& text, const FontSpec& font) override;
    void text(DevicePoint at, const std::string& text, const FontSpec& font, Colour colour,
              Colour background) override;
    // On an image: a layer of the same size and clip.
    std::unique_ptr<CanvasLayer> openLayer() override;
    void compose(CanvasLayer& layer) override;
    // Ends the painting; false when the paint device refused it.
    bool end();

    static QColor toQColor(Colour colour);
    // The pixels of an RGB32 image.
    static PixelView pixelsOf(QImage& image);

private:
    const QFont& qFont(const FontSpec& font);
    QFont toQFont(const FontSpec& font) const;
    void usePen(Pen pen);
    void applyPen();
    bool rasterLines() const { return raster_.has_value() && pen_.width == 1; }
    // Far beyond any page, well within the painter's fixed-point range.
    static bool painterCanTake(DevicePoint p)
    {
        constexpr int limit = 1 << 20;
        return p.x > -limit && p.x < limit && p.y > -limit && p.y < limit;
    }
    void clippedPainterLine(DevicePoint from, DevicePoint to);

    QPaintDevice* device_;
    QPainter painter_;

    // The pen of the line being drawn; the painter's own pen is set from
    // it only when the painter draws.
    Pen pen_{0, 1};
    bool painterPenStale_ = true;
    // The line's points until it ends, for the painter.
    std::vector<QPoint> polyline_;

    // The last font asked for, made once.
    FontSpec fontSpec_;
    QFont font_;
    bool haveFont_ = false;

    // Thin lines on an RGB32 image are set straight into its pixels (the
    // painter draws everything else, in the same order): on a dense mesh
    // that is most of the page's work.
    std::optional<LineRaster> raster_;
    std::uint32_t penPixel_ = 0xff000000u;
};
