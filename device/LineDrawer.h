#pragma once
#include <array>
#include <cstddef>
#include <optional>
#include <span>

#include "device/Canvas.h"
#include "device/DeviceMapping.h"

// The device's rules for moves, lines and pens on one canvas: a current
// point and whether it came from numbers, the pen and its index, and the
// open line, whose points go to the canvas as one polyline. The device
// draws through one; a thread drawing on a layer of the canvas through
// another, with the same rules.
class LineDrawer {
public:
    LineDrawer() = default;
    // Lines from the pen and pen index of another drawer, on the canvas.
    LineDrawer(Canvas* canvas, const LineDrawer& penOf)
        : canvas_(canvas), layered_(canvas != nullptr && canvas->keepsLayers()),
          index_(penOf.index_), pen_(penOf.pen_)
    {
    }
    LineDrawer(const LineDrawer&) = delete;
    LineDrawer& operator=(const LineDrawer&) = delete;

    // Where lines go from now on; null draws nothing (the current point
    // still follows the moves and lines).
    void bind(Canvas* canvas);

    // A pen the device cannot give (none) is ignored, its index too; a new
    // pen ends the line.
    void selectPen(int index, std::optional<Pen> pen)
    {
        if (!pen)
            return;
        setPen(*pen);
        index_ = index;
    }
    // The index without selecting it, and the pen without an index.
    void presetIndex(int index) { index_ = index; }
    void setPen(Pen pen);
    int penIndex() const { return index_; }
    Pen pen() const { return pen_; }

    // A point that did not come from numbers is never joined by a line.
    void moveTo(MappedPoint point);
    void lineTo(MappedPoint point);
    // moveTo and lineTo of each point in turn, all from numbers: the
    // samples of a dense mesh come by the run.
    void moveTo(std::span<const DevicePoint> points);
    void lineTo(std::span<const DevicePoint> points);
    void forgetPoint() { currentValid_ = false; }
    MappedPoint current() const { return {current_, currentValid_}; }

    // Hands the open line to the canvas; the next line starts anew.
    void endLine();

    // The layer of the lines from now on, for a canvas that keeps layers
    // (for any other it costs one test): the open line is handed on first.
    void setLayer(PageLayer layer)
    {
        if (layered_ && layer != layer_)
            changeLayer(layer);
    }
    PageLayer layer() const { return layer_; }
    // Whether the canvas keeps layers.
    bool layered() const { return layered_; }

private:
    void flushLine();
    void changeLayer(PageLayer layer);

    Canvas* canvas_ = nullptr;
    bool layered_ = false;
    PageLayer layer_ = PageLayer::Page;
    int index_ = 0;
    Pen pen_;
    DevicePoint current_;
    bool currentValid_ = false;
    // Whether the last segment handed on may be followed by more of the
    // same line: until a move elsewhere, a new pen or other drawing.
    bool lineOpen_ = false;
    // The open line's points not yet handed to the canvas: they go as one
    // polyline when the line ends, or when the buffer is full.
    std::array<DevicePoint, 1024> pending_;
    std::size_t pendingCount_ = 0;
};

// Moves and lines run once for every sample of the surface: inline.
inline void LineDrawer::moveTo(MappedPoint point)
{
    if (lineOpen_ && !(point.at == current_))
        endLine();
    current_ = point.at;
    currentValid_ = point.valid;
}

// A segment joins the open line's pending points; a segment that does not
// start where they end starts a new run.
inline void LineDrawer::lineTo(MappedPoint point)
{
    const bool wasValid = currentValid_;
    const DevicePoint from = current_;
    const DevicePoint to = point.at;
    current_ = to;
    currentValid_ = point.valid;
    if (canvas_ != nullptr && wasValid && currentValid_) {
        if (pendingCount_ == 0 || !(pending_[pendingCount_ - 1] == from) ||
            pendingCount_ == pending_.size()) {
            flushLine();
            pending_[pendingCount_++] = from;
        }
        pending_[pendingCount_++] = to;
        lineOpen_ = true;
    } else if (lineOpen_ && !(to == from)) {
        endLine();
    }
}

// Lines in a layer for the scope's life, the layer before it after.
class LayerScope {
public:
    LayerScope(LineDrawer& lines, PageLayer layer) : lines_(lines), kept_(lines.layer())
    {
        lines_.setLayer(layer);
    }
    ~LayerScope() { lines_.setLayer(kept_); }
    LayerScope(const LayerScope&) = delete;
    LayerScope& operator=(const LayerScope&) = delete;

private:
    LineDrawer& lines_;
    PageLayer kept_;
};
