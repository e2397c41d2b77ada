#include "render/FrameBox.h"

void drawFrameBox(PlotDevice& d, int colour)
{
    const Projection& p = d.projection;
    const double x1 = p.boxX1, x2 = p.boxX2, y1 = p.boxY1, y2 = p.boxY2;
    const double z1 = p.boxZ1, z2 = p.boxZ2;
    const int kept = d.penIndex;
    d.selectPen(colour);

    d.moveTo3D(x1, y1, z1);
    d.lineTo3D(x1, y2, z1);
    d.lineTo3D(x1, y2, z2);
    d.lineTo3D(x1, y1, z2);
    d.lineTo3D(x1, y1, z1);

    d.lineTo3D(x2, y1, z1);
    d.lineTo3D(x2, y2, z1);
    d.lineTo3D(x2, y2, z2);
    d.lineTo3D(x2, y1, z2);
    d.lineTo3D(x2, y1, z1);

    d.moveTo3D(x1, y2, z1);
    d.lineTo3D(x2, y2, z1);
    d.moveTo3D(x1, y2, z2);
    d.lineTo3D(x2, y2, z2);
    d.moveTo3D(x1, y1, z2);
    d.lineTo3D(x2, y1, z2);

    d.selectPen(kept);
}

void drawAxes(PlotDevice& d, int xColour, int yColour, int zColour)
{
    const Projection& p = d.projection;
    const int kept = d.penIndex;
    if (zColour != 0) {
        d.selectPen(zColour);
        d.moveTo(0, p.boxZ1 * p.cosTilt);
        d.lineTo(0, p.boxZ2 * p.cosTilt);
    }
    if (yColour != 0) {
        d.selectPen(yColour);
        d.moveTo(p.projectX(0, p.boxY1), p.boxY1 * p.cosRotSinTilt);
        d.lineTo(p.projectX(0, p.boxY2), p.boxY2 * p.cosRotSinTilt);
    }
    if (xColour != 0) {
        d.selectPen(xColour);
        d.moveTo(p.projectX(p.boxX1, 0), -p.boxX1 * p.sinRotSinTilt);
        d.lineTo(p.boxX2 * p.cosRot, p.projectY(p.boxX2, 0, 0));
    }
    d.selectPen(kept);
}
