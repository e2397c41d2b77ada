#pragma once

// The box of a surface: its x, y and z ranges.
struct PlotBox {
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0, z1 = 0, z2 = 0;
};

// The view of a surface: the domain turned about the vertical axis and
// seen from an elevation. A value made once per page and handed to the
// surface renderer, the frame box and the axes.
struct Projection {
    double sinRot = 0, cosRot = 0;
    double sinTilt = 0, cosTilt = 0;
    double cosRotSinTilt = 0, sinRotSinTilt = 0;
    double domainRotation = 0;
    PlotBox box;

    double projectX(double x, double y) const { return x * cosRot + y * sinRot; }
    double projectY(double x, double y, double z) const
    {
        return y * cosRotSinTilt - x * sinRotSinTilt + z * cosTilt;
    }
};
