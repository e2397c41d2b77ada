#pragma once
#include <array>
#include <span>
#include <string>
#include <vector>

#include "device/Canvas.h"
#include "device/StrokeSet.h"

// The canvas of a vector page in layers: each call goes to the canvas of
// its layer, lines to the layer they were told, fills and frames to the
// page's, texts to the text's, clips to all. Each layer's canvas keeps its
// own line open: it goes on where the layer's next segment starts at its
// end in its pen, though lines of other layers came between (a hidden
// sample after a hidden sample), so that the end of a line is not passed
// on. No stroke goes out twice (nor one of no length): a repeat is left
// out, which parts its line there, and a frame whose thin outline went out
// before keeps only its fill.
// Fonts and the resolution are the page layer's.
class LayerSplitCanvas final : public Canvas {
public:
    using Layers = std::array<Canvas*, pageLayerCount>;

    // Every layer's canvas, none null; they outlive this one.
    explicit LayerSplitCanvas(const Layers& layers);

    // Whether anything was drawn on the layer.
    bool drawnOn(PageLayer layer) const { return drawn_[indexOf(layer)]; }

    Resolution resolution() const override { return page().resolution(); }
    void segment(DevicePoint from, DevicePoint to, Pen pen) override;
    void polyline(std::span<const DevicePoint> points, Pen pen) override;
    void endLine() override {}
    bool keepsLayers() const override { return true; }
    void lineLayer(PageLayer layer) override;
    void fill(const DeviceRect& rect, Colour colour) override;
    void frame(const DeviceRect& rect, Pen pen, Colour brush) override;
    void clip(const DeviceRect& rect) override;
    void unclip() override;
    TextMetrics fontMetrics(const FontSpec& font) override { return page().fontMetrics(font); }
    int textWidth(const std::string& text, const FontSpec& font) override
    {
        return page().textWidth(text, font);
    }
    void text(DevicePoint at, const std::string& text, const FontSpec& font, Colour colour,
              Colour background) override;

private:
    Canvas& page() const { return *layers_[indexOf(PageLayer::Page)]; }
    Canvas& on(PageLayer layer) const { return *layers_[indexOf(layer)]; }
    void flushRun(Pen pen);

    Layers layers_;
    PageLayer line_ = PageLayer::Page;
    std::array<bool, pageLayerCount> drawn_{};
    StrokeSet strokes_;
    // The points of the line's strokes not yet handed on.
    std::vector<DevicePoint> run_;
};
