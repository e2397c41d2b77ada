#pragma once
#include <QIODevice>
#include <string>

#include "device/Canvas.h"
#include "platform/LayeredPage.h"

// An SVG page whose layers Inkscape shows as its layers: a group for each
// layer that holds something, named as the layer is, stacked in the
// layers' order (device/PageLayer.h).
class SvgPage {
public:
    // Fonts are measured on the canvas given, which outlives the page.
    SvgPage(Canvas& fonts, int width, int height);

    Canvas& canvas() { return layers_.canvas(); }
    // Ends the drawing and writes the document; false when out refused
    // it or a layer could not be kept (error() says why).
    bool write(QIODevice& out);
    const std::string& error() const { return layers_.error(); }

private:
    LayeredPage layers_;
    int width_, height_;
};
