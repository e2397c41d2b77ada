#include "sheets/StyleSettings.h"

#include "sheets/Readings.h"

namespace {

// The integer reading of the line, or 0 when it is out of range (or the
// sheet has no such line).
int lineIn(const DataSheet& sheet, std::size_t line, bool (*inRange)(int))
{
    if (line >= sheet.size())
        return 0;
    const int value = integerReading(sheet[line].value);
    return inRange(value) ? value : 0;
}

} // namespace

StyleSettings readStyleSettings(const DataSheet& sheet)
{
    StyleSettings s;
    s.lines = lineIn(sheet, StyleLine::lines, [](int v) { return v >= 0 && v <= 2; });
    s.hidden = lineIn(sheet, StyleLine::hidden, [](int v) { return v >= 1 && v <= 25; });
    s.bands = lineIn(sheet, StyleLine::bands, [](int v) { return v >= 2 && v <= 64; });
    s.ticks = lineIn(sheet, StyleLine::ticks, [](int v) { return v == 1; });
    return s;
}
