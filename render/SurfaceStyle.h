#pragma once

// Which mesh lines are drawn, and how the hidden parts are. lines 0 draws
// both families, 1 only the front boundary and the lines of constant y,
// 2 only the front boundary and the lines of constant x; the family left
// out is not walked at all. hidden 0 removes the hidden parts; 1 to 25
// draws the line to each hidden sample in that pen, the horizons staying
// as they were. bands 0 draws the upper side in the surface's pen and the
// underside in the pen 8 below it; 2 to 64 colours each line to a seen
// sample by the band of the box's z range its height falls in. The
// defaults draw the surface as it always was.
struct SurfaceStyle {
    enum class Lines { Both = 0, ConstantY = 1, ConstantX = 2 };
    Lines lines = Lines::Both;
    int hiddenPen = 0;
    int bands = 0;
};
