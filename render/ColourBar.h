#pragma once
#include <string>

#include "device/PlotDevice.h"
#include "render/HeightBands.h"

// The text of a height beside the colour bar: four significant digits,
// or all the integer digits below a million ("0.5", "-0.3333", "1235",
// "250000"), trailing zeros dropped; exponent form below 1e-4 and from
// 1e6 on ("1e-05", "2.5e+07"). Zero is "0", never "-0".
std::string heightLabel(double z);

// The bands' colours as a bar in the data panel, one empty line below the
// line the text cursor stands on: two character widths wide at the lines'
// left margin, band 0 at the foot and band N - 1 at the head, each an
// equal share of the bar's height (the integer share of each edge), with
// z1 written beside the foot, z2 beside the head and the height half-way
// between them beside the middle, each centred on its edge. The bar is
// twelve lines high, or less where the panel ends sooner, and left out
// where the panel has not two lines for it (the panel's text may already
// run past its foot on a small page), or while colours are ignored.
void drawColourBar(PlotDevice& device, const HeightBands& bands);
