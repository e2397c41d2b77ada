#pragma once
#include <string>

#include "device/Canvas.h"

// A font as Qt's QFont holds the request a canvas makes of it (as
// platform/QtCanvas turns a FontSpec into a QFont): a family, a size in
// pixels, bold or not, italic or not, and a stretch in percent of the
// face's own width (100 for its natural width).
struct FontRequest {
    std::string family;
    int pixelSize = 12;
    bool bold = false;
    bool italic = false;
    int stretch = 100;
};

// The request for a font at its natural width; the stretch of a width
// request is the caller's, from that width (stretchFor).
FontRequest naturalRequestOf(const FontSpec& font);

// Qt's stretch for a width request, from the natural average character
// width: 100 * width / natural, rounded, within 1..4000; 100 when the
// natural width is 0.
int stretchFor(int width, int naturalAverageWidth);
