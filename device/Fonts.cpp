#include "device/Fonts.h"

#include <cmath>
#include <cstdlib>

#include "device/DeviceInt.h"

namespace {

constexpr float oneSeventySecond = 0.013888889f;
constexpr std::size_t faceLimit = 31;

// Tenths of a point to device units (still ten times the size).
int tenthsToDevice(int tenths, float dpi)
{
    return truncToDevice(static_cast<double>(static_cast<float>(tenths) * dpi * oneSeventySecond));
}

} // namespace

FontSpec createPointFont(Canvas& dc, const std::string& faceName, int heightTenths,
                         int widthTenths, int style)
{
    const Resolution dpi = dc.resolution();
    const float xDpi = static_cast<float>(dpi.x);
    const float yDpi = static_cast<float>(dpi.y);
    const int px = std::abs(tenthsToDevice(widthTenths, xDpi));
    const int py = std::abs(tenthsToDevice(heightTenths, yDpi));

    FontSpec font;
    font.height = -truncToDevice(py * 0.1 + 0.5);
    font.width = 0;
    font.weight = (style & 1) ? 700 : 0;
    font.italic = (style & 2) != 0;
    font.underline = (style & 4) != 0;
    font.strikeOut = (style & 8) != 0;
    font.face = faceName.substr(0, faceLimit);

    if (widthTenths != 0 && py != 0) {
        const TextMetrics natural = dc.fontMetrics(font);
        font.width = truncToDevice(static_cast<double>(px) * natural.aveCharWidth / py + 0.5);
    }
    return font;
}
