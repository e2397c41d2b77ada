#include "fonts/FontRequest.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

// The system's fixed-pitch font is fontconfig's "monospace", at 12 pixels.
FontRequest naturalRequestOf(const FontSpec& font)
{
    if (font.stockFixed)
        return {"monospace", 12, false, false, 100};
    FontRequest request;
    request.family = font.face;
    request.pixelSize =
        font.height == 0 ? 12 : static_cast<int>(std::clamp(std::llabs(font.height), 1LL, 10000LL));
    request.bold = font.weight >= 700;
    request.italic = font.italic;
    return request;
}

int stretchFor(int width, int naturalAverageWidth)
{
    if (width <= 0 || naturalAverageWidth <= 0)
        return 100;
    return std::clamp(static_cast<int>(std::lround(100.0 * width / naturalAverageWidth)), 1, 4000);
}
