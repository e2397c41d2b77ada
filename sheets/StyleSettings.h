#pragma once
#include "sheets/DataSheet.h"

// How a page draws its surface, read from the style sheet. Each value is
// the line's integer reading when it lies in the line's range, else the
// line's default, 0, which draws the page as it always was.
struct StyleSettings {
    // 0 both families of mesh lines; 1 only the lines of constant y (and
    // the front boundary); 2 only those of constant x.
    int lines = 0;
    // 0 hidden parts removed; 1 to 25 the pen of lines to hidden samples.
    int hidden = 0;
    // 0 the surface's two pens; 2 to 64 colour bands by height.
    int bands = 0;
    // 0 none; 1 ticks, numbers and names along the box.
    int ticks = 0;
};

StyleSettings readStyleSettings(const DataSheet& sheet);
