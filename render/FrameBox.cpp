#include "render/FrameBox.h"

void drawFrameBox(PlotDevice& d, int colour)
{
    const PlotBox& box = d.projection().box;
    const double x1 = box.x1, x2 = box.x2, y1 = box.y1, y2 = box.y2;
    const double z1 = box.z1, z2 = box.z2;
    const int kept = d.penIndex();
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
    const Projection& p = d.projection();
    const PlotBox& box = p.box;
    const int kept = d.penIndex();
    if (zColour != 0) {
        d.selectPen(zColour);
        d.moveTo(0, box.z1 * p.cosTilt);
        d.lineTo(0, box.z2 * p.cosTilt);
    }
    if (yColour != 0) {
        d.selectPen(yColour);
        d.moveTo(p.projectX(0, box.y1), box.y1 * p.cosRotSinTilt);
        d.lineTo(p.projectX(0, box.y2), box.y2 * p.cosRotSinTilt);
    }
    if (xColour != 0) {
        d.selectPen(xColour);
        d.moveTo(p.projectX(box.x1, 0), -box.x1 * p.sinRotSinTilt);
        d.lineTo(box.x2 * p.cosRot, p.projectY(box.x2, 0, 0));
    }
    d.selectPen(kept);
}
