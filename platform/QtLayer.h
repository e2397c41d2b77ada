#pragma once
#include <QImage>
#include <QSize>

#include "device/Canvas.h"
#include "device/PixelView.h"
#include "platform/QtCanvas.h"

// A layer of a canvas on an image: an image of the same size and clip,
// every pixel within the clip 0 from clear() until drawn on. Every pixel a
// canvas draws is opaque, and so never 0: what is drawn is what is not 0.
class QtLayer final : public CanvasLayer {
public:
    QtLayer(QSize size, const DeviceRect& clip);

    Canvas& canvas() override { return canvas_; }
    void clear() override;
    // False when there was no memory for the image.
    bool drawable() const { return !image_.isNull(); }

    // Ends the layer's painting and sets its drawn pixels within the clip
    // into the pixels of an image of its size.
    void layOver(const PixelView& target);

private:
    QImage image_;
    QtCanvas canvas_;
    DeviceRect clip_;
};
