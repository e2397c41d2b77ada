#pragma once
#include <string>
#include <vector>

#include "device/Canvas.h"

// A canvas that logs every drawing call in exact device integers, one
// line each, and passes it on to an inner canvas (which also answers the
// questions about fonts and resolution):
//   line X0 Y0 X1 Y1 #RRGGBB W     fill L T R B #RRGGBB
//   frame L T R B #RRGGBB W        clip L T R B | clip off
//   text X Y #RRGGBB "TEXT"
class RecordingCanvas final : public Canvas {
public:
    explicit RecordingCanvas(Canvas& inner) : inner_(inner) {}

    const std::vector<std::string>& calls() const { return calls_; }
    std::string trace() const;
    void clearCalls() { calls_.clear(); }

    int logPixelsX() const override { return inner_.logPixelsX(); }
    int logPixelsY() const override { return inner_.logPixelsY(); }
    void setPen(Colour colour, int width) override;
    void setBrush(Colour colour) override { inner_.setBrush(colour); }
    void fillRect(const DeviceRect& rect, Colour colour) override;
    void rectangle(const DeviceRect& rect) override;
    void setClip(const DeviceRect& rect) override;
    void clearClip() override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    TextMetrics fontMetrics(const FontSpec& font) override { return inner_.fontMetrics(font); }
    void selectFont(const FontSpec& font) override { inner_.selectFont(font); }
    void selectStockFixedFont() override { inner_.selectStockFixedFont(); }
    TextMetrics textMetrics() override { return inner_.textMetrics(); }
    TextSize textExtent(const std::string& text) override { return inner_.textExtent(text); }
    void setTextColour(Colour colour) override;
    void setBkColour(Colour colour) override { inner_.setBkColour(colour); }
    void textOut(int x, int y, const std::string& text) override;
    void flush() override { inner_.flush(); }

    // "#RRGGBB" of a colour.
    static std::string hex(Colour colour);

private:
    Canvas& inner_;
    std::vector<std::string> calls_;
    Colour pen_ = 0;
    int penWidth_ = 1;
    Colour textColour_ = 0;
    int x_ = 0, y_ = 0;
};
