#pragma once
#include <QIODevice>
#include <string>

#include "device/Canvas.h"
#include "platform/LayeredPage.h"

// An HPGL page for a pen plotter: IN, then the page's layers one after
// another in their order (device/PageLayer.h), each selecting its pens,
// then the pen lifted and put away.
class HpglPage {
public:
    // Fonts are measured on the canvas given, which outlives the page.
    HpglPage(Canvas& fonts, int width, int height);

    Canvas& canvas() { return layers_.canvas(); }
    // Ends the drawing and writes the plot; false when out refused it or
    // a layer could not be kept (error() says why).
    bool write(QIODevice& out);
    const std::string& error() const { return layers_.error(); }

private:
    LayeredPage layers_;
};
