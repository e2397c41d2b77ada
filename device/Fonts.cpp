#include "device/Fonts.h"

#include <cmath>
#include <cstdlib>

#include "device/DeviceInt.h"

namespace {

constexpr float oneSeventySecond = 0.013888889f;
constexpr std::size_t faceLimit = 31;

// Points to device units, ten times over: the size is rounded to a whole
// unit only once it has been divided by ten again. In single precision,
// as the sizes have always been formed.
int pointsToTenDeviceUnits(double points, float dpi)
{
    const float tenths = static_cast<float>(points * 10);
    return truncToDevice(static_cast<double>(tenths * dpi * oneSeventySecond));
}

} // namespace

FontSpec createPointFont(Canvas& canvas, const std::string& faceName, double heightPoints,
                         double widthPoints, int style)
{
    const Resolution dpi = canvas.resolution();
    const float xDpi = static_cast<float>(dpi.x);
    const float yDpi = static_cast<float>(dpi.y);
    const int px = std::abs(pointsToTenDeviceUnits(widthPoints, xDpi));
    const int py = std::abs(pointsToTenDeviceUnits(heightPoints, yDpi));

    FontSpec font;
    font.height = -truncToDevice(py * 0.1 + 0.5);
    font.width = 0;
    font.weight = (style & 1) ? 700 : 0;
    font.italic = (style & 2) != 0;
    font.underline = (style & 4) != 0;
    font.strikeOut = (style & 8) != 0;
    font.face = faceName.substr(0, faceLimit);

    if (widthPoints != 0 && py != 0) {
        const TextMetrics natural = canvas.fontMetrics(font);
        font.width = truncToDevice(static_cast<double>(px) * natural.aveCharWidth / py + 0.5);
    }
    return font;
}
