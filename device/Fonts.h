#pragma once
#include <string>

#include "device/Canvas.h"

// A font of a face whose characters are heightPoints high at the
// canvas's resolution (a point is 1/72 inch). widthPoints is the size, in
// points, whose average character width the font is to have: 0 for the
// face's own width at its height. Style bits: 1 bold, 2 italic,
// 4 underline, 8 strike-out.
FontSpec createPointFont(Canvas& canvas, const std::string& faceName, double heightPoints,
                         double widthPoints, int style);
