#include "render/FrameBox.h"

namespace {

// Moves and lines to points of the box, through the view.
class BoxPen {
public:
    BoxPen(PlotDevice& device, const Projection& view) : d_(device), p_(view) {}
    void moveTo3D(double x, double y, double z)
    {
        d_.moveTo(p_.projectX(x, y), p_.projectY(x, y, z));
    }
    void lineTo3D(double x, double y, double z)
    {
        d_.lineTo(p_.projectX(x, y), p_.projectY(x, y, z));
    }

private:
    PlotDevice& d_;
    const Projection& p_;
};

} // namespace

void drawFrameBox(PlotDevice& device, const Projection& view, int colour)
{
    const PlotBox& box = view.box;
    const double x1 = box.x1, x2 = box.x2, y1 = box.y1, y2 = box.y2;
    const double z1 = box.z1, z2 = box.z2;
    const int kept = device.penIndex();
    device.selectPen(colour);
    const LayerScope layer(device.lines(), PageLayer::FrameBox);
    BoxPen d(device, view);

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

    device.selectPen(kept);
}

void drawAxes(PlotDevice& d, const Projection& p, int xColour, int yColour, int zColour)
{
    const PlotBox& box = p.box;
    const int kept = d.penIndex();
    const LayerScope layer(d.lines(), PageLayer::AxesAndTicks);
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
