#pragma once
#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPoint>
#include <vector>

#include "device/Canvas.h"

class QPaintDevice;

// The canvas on any Qt paint device: an image, a window's picture, a
// printer's page, an SVG or PDF generator. Lines are aliased, so every
// device coordinate stays exact; text goes through Qt's font system.
// Consecutive segments in one pen are drawn as one polyline, and
// zero-length segments are dropped: the picture is the same.
class QtCanvas final : public Canvas {
public:
    explicit QtCanvas(QPaintDevice* device);
    ~QtCanvas() override;
    QtCanvas(const QtCanvas&) = delete;
    QtCanvas& operator=(const QtCanvas&) = delete;

    int logPixelsX() const override;
    int logPixelsY() const override;
    void setPen(Colour colour, int width) override;
    void setBrush(Colour colour) override;
    void fillRect(const DeviceRect& rect, Colour colour) override;
    void rectangle(const DeviceRect& rect) override;
    void setClip(const DeviceRect& rect) override;
    void clearClip() override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    TextMetrics fontMetrics(const FontSpec& font) override;
    void selectFont(const FontSpec& font) override;
    void selectStockFixedFont() override;
    TextMetrics textMetrics() override;
    TextSize textExtent(const std::string& text) override;
    void setTextColour(Colour colour) override;
    void setBkColour(Colour colour) override;
    void textOut(int x, int y, const std::string& text) override;
    void flush() override;
    // Ends the painting; false when the paint device refused it.
    bool end();

    static QColor toQColor(Colour colour);

private:
    QFont toQFont(const FontSpec& font) const;
    void flushLines();
    void applyPen();
    bool rasterLines() const { return pixels_ != nullptr && penWidth_ == 1; }
    void rasterLine(int x0, int y0, int x1, int y1);
    void resetRasterClip();

    QPaintDevice* device_;
    QPainter painter_;
    Colour penColour_ = 0;
    int penWidth_ = -1;
    bool painterPenStale_ = true;
    QColor brush_ = Qt::white;
    QColor textColour_ = Qt::black;
    QColor bkColour_ = Qt::white;
    QFont font_;
    QPoint position_;
    std::vector<QPoint> polyline_;

    // Thin lines on an RGB32 image are set straight into its pixels (the
    // painter draws everything else, in the same order): on a dense mesh
    // that is most of the page's work.
    quint32* pixels_ = nullptr;
    qsizetype stride_ = 0;
    quint32 penPixel_ = 0;
    QRect rasterClip_;
    QRect imageRect_;
};
