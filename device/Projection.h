#pragma once

// The view of the surface renderer, left in the device for the frame box
// and the axes drawn after it on the same page.
struct Projection {
    double sinRot = 0, cosRot = 0;
    double sinTilt = 0, cosTilt = 0;
    double cosRotSinTilt = 0, sinRotSinTilt = 0;
    double domainRotation = 0;
    double tiltAngle = 0;
    double boxX1 = 0, boxX2 = 0, boxY1 = 0, boxY2 = 0, boxZ1 = 0, boxZ2 = 0;

    double projectX(double x, double y) const { return x * cosRot + y * sinRot; }
    double projectY(double x, double y, double z) const
    {
        return y * cosRotSinTilt - x * sinRotSinTilt + z * cosTilt;
    }
};
