#pragma once
#include <string>

#include "device/Canvas.h"

// A font of a face at a size in tenths of a point for the canvas's
// resolution. widthTenths is the size whose average character width the
// font is to have, 0 for the face's natural width. Style bits: 1 bold,
// 2 italic, 4 underline, 8 strike-out.
FontSpec createPointFont(Canvas& dc, const std::string& faceName, int heightTenths,
                         int widthTenths, int style);
