#include "grid/GridSheetLines.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "grid/ShortestText.h"
#include "sheets/SheetLookup.h"

namespace {

struct Range {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
};

Range finiteRange(std::span<const double> values)
{
    Range r;
    for (double v : values)
        if (std::isfinite(v)) {
            r.low = std::min(r.low, v);
            r.high = std::max(r.high, v);
        }
    return r;
}

// The heights' range as a box's: never empty, never of no height.
Range zRange(const HeightGrid& grid)
{
    Range r = finiteRange(grid.heights());
    if (r.low > r.high)
        return {0, 1};
    if (r.low == r.high) {
        const double h = r.low;
        const double d = std::max(1.0, std::abs(h) / 4);
        constexpr double largest = std::numeric_limits<double>::max();
        r = {std::max(h - d, -largest), std::min(h + d, largest)};
    }
    return r;
}

// At most what a sheet value holds, cut before a character's first byte.
std::string fittedValue(std::string text)
{
    if (text.size() <= DataLine::longestValue)
        return text;
    std::size_t end = DataLine::longestValue;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    text.resize(end);
    return text;
}

std::string count(std::size_t nodes) { return std::to_string(nodes - 1); }

} // namespace

std::vector<SheetLineValue> gridSheetLines(const HeightGrid& grid, const std::string& fileName,
                                           bool titleIsEmpty)
{
    std::vector<SheetLineValue> lines{{"f(x,y)", "z"}};
    if (grid.hasCoordinates()) {
        lines.push_back({"x1", shortestText(grid.x().front())});
        lines.push_back({"x2", shortestText(grid.x().back())});
        lines.push_back({"y1", shortestText(grid.y().front())});
        lines.push_back({"y2", shortestText(grid.y().back())});
    } else {
        lines.push_back({"x1", "0"});
        lines.push_back({"x2", count(grid.columns())});
        lines.push_back({"y1", "0"});
        lines.push_back({"y2", count(grid.rows())});
    }
    const Range z = zRange(grid);
    lines.push_back({"z1", shortestText(z.low)});
    lines.push_back({"z2", shortestText(z.high)});
    lines.push_back({"n", count(grid.rows())});
    lines.push_back({"m", count(grid.columns())});
    lines.push_back({"k", "1"});
    if (titleIsEmpty)
        lines.push_back({"title", fittedValue(fileName)});
    return lines;
}

void setSheetLines(Sheets& sheets, const std::vector<SheetLineValue>& lines)
{
    for (const SheetLineValue& line : lines)
        if (DataLine* entry = findEntryLine(sheets, line.name))
            buildLine(*entry, entry->name, fittedValue(line.value).c_str());
}

void setGridLines(Sheets& sheets, const HeightGrid& grid, const std::string& fileName)
{
    const DataLine* title = findEntryLine(sheets, "title");
    const bool empty = title != nullptr &&
                       std::string(title->value).find_first_not_of(' ') == std::string::npos;
    setSheetLines(sheets, gridSheetLines(grid, fileName, empty));
}
