#include "platform/QtLayer.h"

#include <cstring>

namespace {

// The image's own fill would make its pixels opaque black.
QImage blankImage(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    if (!image.isNull())
        std::memset(image.bits(), 0, static_cast<std::size_t>(image.sizeInBytes()));
    return image;
}

} // namespace

QtLayer::QtLayer(QSize size, const DeviceRect& clip)
    : image_(blankImage(size)), canvas_(&image_), clip_(clip)
{
    canvas_.clip(clip);
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
