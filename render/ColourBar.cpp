#include "render/ColourBar.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

std::string heightLabel(double z)
{
    if (z == 0)
        return "0";
    int digits = 4;
    if (std::isfinite(z)) {
        const int exponent = static_cast<int>(std::floor(std::log10(std::abs(z))));
        if (exponent < 6)
            digits = std::max(digits, exponent + 1);
    }
    std::array<char, 40> text{};
    std::snprintf(text.data(), text.size(), "%.*g", digits, z);
    return text.data();
}

namespace {

// The label with its cell's left edge at x, centred on height y.
void label(PlotDevice& d, double z, int x, int y)
{
    d.moveTextCursor({x, y - d.lineHeight() / 2});
    d.writeText(heightLabel(z));
}

} // namespace

void drawColourBar(PlotDevice& d, const HeightBands& bands)
{
    const int n = bands.count();
    const int line = d.lineHeight(), column = d.charWidth();
    if (n == 0 || !d.colourDrawing() || line <= 0)
        return;
    const DevicePoint cursor = d.textCursor();
    const int head = cursor.y + line;
    const int height = std::min(12 * line, d.viewport().bottom - line - head);
    if (height < 2 * line)
        return;
    const int foot = head + height;
    const int left = cursor.x, right = left + 2 * column;
    // Band b spans the edges b and b + 1, edge b at foot - height b / N.
    const auto edge = [&](int b) { return foot - height * b / n; };
    for (int b = 0; b < n; ++b)
        if (edge(b + 1) < edge(b))
            d.fillRect({left, edge(b + 1), right, edge(b)}, bands.upper(b));
    const int labels = right + column;
    label(d, bands.z2(), labels, head);
    label(d, bands.z1() / 2 + bands.z2() / 2, labels, foot - height / 2);
    label(d, bands.z1(), labels, foot);
}
