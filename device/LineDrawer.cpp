#include "device/LineDrawer.h"

#include <algorithm>

void LineDrawer::bind(Canvas* canvas)
{
    endLine();
    canvas_ = canvas;
    layered_ = canvas_ != nullptr && canvas_->keepsLayers();
    if (layered_)
        canvas_->lineLayer(layer_);
}

void LineDrawer::changeLayer(PageLayer layer)
{
    endLine();
    layer_ = layer;
    canvas_->lineLayer(layer);
}

void LineDrawer::setPen(Pen pen)
{
    if (pen == pen_)
        return;
    endLine();
    pen_ = pen;
}

void LineDrawer::flushLine()
{
    if (pendingCount_ >= 2 && canvas_ != nullptr)
        canvas_->polyline(std::span<const DevicePoint>(pending_.data(), pendingCount_), pen_);
    pendingCount_ = 0;
}

void LineDrawer::endLine()
{
    flushLine();
    if (lineOpen_ && canvas_ != nullptr)
        canvas_->endLine();
    lineOpen_ = false;
}

void LineDrawer::moveTo(std::span<const DevicePoint> points)
{
    if (points.empty())
        return;
    // Only a move elsewhere ends the line, and only the first such one.
    if (lineOpen_)
        for (const DevicePoint& p : points)
            if (!(p == current_)) {
                endLine();
                break;
            }
    current_ = points.back();
    currentValid_ = true;
}

void LineDrawer::lineTo(std::span<const DevicePoint> points)
{
    if (points.empty())
        return;
    // The first segment as any: it may start from no point.
    if (canvas_ == nullptr || !currentValid_) {
        lineTo(MappedPoint{points.front(), true});
        points = points.subspan(1);
        if (canvas_ == nullptr) {
            for (const DevicePoint& p : points)
                lineTo(MappedPoint{p, true});
            return;
        }
    }
    // From here every point ends a segment from the one before it.
    while (!points.empty()) {
        if (pendingCount_ == 0 || !(pending_[pendingCount_ - 1] == current_) ||
            pendingCount_ == pending_.size()) {
            flushLine();
            pending_[pendingCount_++] = current_;
        }
        const std::size_t count = std::min(points.size(), pending_.size() - pendingCount_);
        std::copy_n(points.begin(), count,
                    pending_.begin() + static_cast<std::ptrdiff_t>(pendingCount_));
        pendingCount_ += count;
        current_ = points[count - 1];
        points = points.subspan(count);
        lineOpen_ = true;
    }
}
