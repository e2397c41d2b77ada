#pragma once

// Which mesh lines are drawn, and how the hidden parts are. lines 0 draws
// both families, 1 only the front boundary and the lines of constant y,
// 2 only the front boundary and the lines of constant x; the family left
// out is not walked at all. hidden 0 removes the hidden parts; 1 to 25
// draws the line to each hidden sample in that pen, the horizons staying
// as they were. The defaults draw the surface as it always was.
struct SurfaceStyle {
    enum class Lines { Both = 0, ConstantY = 1, ConstantX = 2 };
    Lines lines = Lines::Both;
    int hiddenPen = 0;
};
