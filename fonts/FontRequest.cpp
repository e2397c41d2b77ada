#include "fonts/FontRequest.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

// The system's fixed-pitch font is fontconfig's "monospace", at 12 pixels.
FontRequest naturalRequestOf(const FontSpec& spec)
{
    if (spec.stockFixed)
        return {"monospace", 12, false, false, 100};
    FontRequest request;
    request.family = spec.face;
    request.pixelSize =
        spec.height == 0 ? 12 : static_cast<int>(std::clamp(std::llabs(spec.height), 1LL, 10000LL));
    request.bold = spec.weight >= 700;
    request.italic = spec.italic;
    return request;
}

int stretchFor(int width, int naturalAverageWidth)
{
    if (width <= 0 || naturalAverageWidth <= 0)
        return 100;
    return std::clamp(static_cast<int>(std::lround(100.0 * width / naturalAverageWidth)), 1, 4000);
}
