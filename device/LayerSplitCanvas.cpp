#include "device/LayerSplitCanvas.h"

LayerSplitCanvas::LayerSplitCanvas(const Layers& layers) : layers_(layers) {}

void LayerSplitCanvas::lineLayer(PageLayer layer)
{
    line_ = layer;
}

void LayerSplitCanvas::segment(DevicePoint from, DevicePoint to, Pen pen)
{
    polyline(std::array{from, to}, pen);
}

// The new strokes go on by runs of joined ones; a repeat parts two runs,
// a segment of no length none.
void LayerSplitCanvas::polyline(std::span<const DevicePoint> points, Pen pen)
{
    run_.clear();
    for (std::size_t i = 1; i < points.size(); ++i) {
        const DevicePoint from = points[i - 1], to = points[i];
        if (from == to)
            continue;
        if (!strokes_.add(from, to, pen)) {
            flushRun(pen);
            continue;
        }
        if (run_.empty() || !(run_.back() == from)) {
            flushRun(pen);
            run_.push_back(from);
        }
        run_.push_back(to);
    }
    flushRun(pen);
}

void LayerSplitCanvas::flushRun(Pen pen)
{
    if (run_.size() >= 2) {
        on(line_).polyline(run_, pen);
        drawn_[indexOf(line_)] = true;
    }
    run_.clear();
}

void LayerSplitCanvas::fill(const DeviceRect& rect, Colour colour)
{
    page().fill(rect, colour);
    drawn_[indexOf(PageLayer::Page)] = true;
}

// A thin outline drawn before, edge for edge in the same pen, is not
// drawn again (the page frames its viewports more than once, for their
// fills): the fill then spares the outline's pixels, which keep the
// outline drawn before in the same colour.
void LayerSplitCanvas::frame(const DeviceRect& rect, Pen pen, Colour brush)
{
    drawn_[indexOf(PageLayer::Page)] = true;
    if (pen.width == 1 && rect.right - rect.left >= 2 && rect.bottom - rect.top >= 2) {
        const DevicePoint corners[] = {{rect.left, rect.top}, {rect.right - 1, rect.top},
                                       {rect.right - 1, rect.bottom - 1},
                                       {rect.left, rect.bottom - 1}};
        bool fresh = false;
        for (std::size_t i = 0; i < 4; ++i)
            fresh = strokes_.add(corners[i], corners[(i + 1) % 4], pen) || fresh;
        if (!fresh) {
            page().fill({rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1}, brush);
            return;
        }
    }
    page().frame(rect, pen, brush);
}

void LayerSplitCanvas::clip(const DeviceRect& rect)
{
    for (Canvas* layer : layers_)
        layer->clip(rect);
}

void LayerSplitCanvas::unclip()
{
    for (Canvas* layer : layers_)
        layer->unclip();
}

void LayerSplitCanvas::text(DevicePoint at, const std::string& text, const FontSpec& font,
                            Colour colour, Colour background)
{
    on(PageLayer::Text).text(at, text, font, colour, background);
    drawn_[indexOf(PageLayer::Text)] = true;
}
