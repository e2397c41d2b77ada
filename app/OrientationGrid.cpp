#include "app/OrientationGrid.h"

#include <cmath>
#include <cstdint>

#include "device/PlotDevice.h"

void drawOrientationGrid(DeviceWindow& window, double viewTilt, double viewTheta)
{
    PlotDevice device(window);
    device.beginDrawing();
    device.setPageColours(BrushColour::White, PenColour::DarkGreen, PenColour::DarkBlue);
    device.setViewport(1, 99, 1, 99, ClipMode::Clip);
    device.fillViewport(BrushColour::White);
    device.frameViewport();
    device.setWorld(-180, 180, -90, 90);
    device.drawGrid(20, 20, 400);

    const int kept = device.penIndex();
    device.selectPen(PenColour::Magenta);
    device.moveTo(-180, 0);
    device.lineTo(180, 0);
    device.moveTo(0, -90);
    device.lineTo(0, 90);
    device.selectPen(kept);

    device.selectPen(PenColour::Red);
    device.drawCircle(viewTheta, viewTilt, 1, 6, 0);
    device.drawCircle(viewTheta, viewTilt, 20, 6, 0);
    device.finishDrawing();
}

namespace {

// The offset from the centre times the range, in integers (64 bits, so a
// pointer far outside the window cannot overflow), over the extent.
double rawAngle(int offset, int range, int extent)
{
    return static_cast<double>(std::int64_t{offset} * range) / extent;
}

// A window of no extent gives no angle: 0.
int snap(double raw, double edge, int limit, double step, int multiple)
{
    if (std::isnan(raw))
        return 0;
    if (raw >= edge)
        return limit;
    if (raw <= -edge)
        return -limit;
    return static_cast<int>(raw * step) * multiple;
}

} // namespace

int snapTilt(int y, const DeviceRect& c)
{
    const double raw = rawAngle((c.top + c.bottom) / 2 - y, 180, c.bottom - c.top);
    return snap(raw, 87, 90, 0.2, 5);
}

int snapTheta(int x, const DeviceRect& c)
{
    const double raw = rawAngle(x - (c.left + c.right) / 2, 360, c.right - c.left);
    return snap(raw, 174, 180, 0.1, 10);
}
