#include "platform/QtLayer.h"

#include <cstring>

QtLayer::QtLayer(QSize size, const DeviceRect& clip)
    : image_(size, QImage::Format_RGB32), canvas_(&image_), clip_(clip)
{
    canvas_.clip(clip);
}

// Only the clip is ever drawn on or laid over; the image's own fill would
// make its pixels opaque black.
void QtLayer::clear()
{
    if (image_.isNull() || clip_.right <= clip_.left)
        return;
    const PixelView pixels = QtCanvas::pixelsOf(image_);
    const auto rowBytes = static_cast<std::size_t>(clip_.right - clip_.left) * sizeof(std::uint32_t);
    for (int y = clip_.top; y < clip_.bottom; ++y)
        std::memset(&pixels.at(clip_.left, y), 0, rowBytes);
}

void QtLayer::layOver(const PixelView& target)
{
    canvas_.end();
    const PixelView source = QtCanvas::pixelsOf(image_);
    for (int y = clip_.top; y < clip_.bottom; ++y) {
        const std::uint32_t* from = &source.at(0, y);
        std::uint32_t* to = &target.at(0, y);
        for (int x = clip_.left; x < clip_.right; ++x)
            to[x] = from[x] != 0 ? from[x] : to[x];
    }
}
