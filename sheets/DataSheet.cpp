#include "sheets/DataSheet.h"

#include <algorithm>

#include "sheets/Readings.h"

std::size_t entryCount(const DataSheet& sheet)
{
    if (sheet.size() == 0)
        return 0;
    const int count = std::max(integerReading(sheet[0].value), 0);
    return std::min(static_cast<std::size_t>(count), sheet.size() - 1);
}

namespace {

struct Default {
    const char* name;
    const char* value;
};

DataSheet fill(const Default* rows, std::size_t count)
{
    DataSheet sheet(count);
    for (std::size_t i = 0; i < count; ++i)
        buildLine(sheet[i], rows[i].name, rows[i].value);
    return sheet;
}

} // namespace

DataSheet defaultFunctionSheet()
{
    static const Default rows[] = {
        {"fdata  ", "6"}, {"a", "5"}, {"b", "1"}, {"c", "1"},
        {"d", "1"}, {"e", "1"}, {"f(x,y)", "exp(-(x*x+4*y*y))"},
    };
    return fill(rows, std::size(rows));
}

DataSheet defaultSettingsSheet()
{
    static const Default rows[] = {
        {"sdata    ", "15"}, {"x1       ", "-2"}, {"x2       ", "2"},
        {"y1       ", "-2"}, {"y2       ", "2"},  {"z1       ", "0"},
        {"z2       ", "1"},  {"n        ", "20"}, {"m        ", "40"},
        {"k        ", "10"}, {"tilt     ", "15"}, {"theta    ", "0"},
        {"pc       ", "13"}, {"fc       ", "0"},  {"ax       ", "0"},
        {"title    ", ""},
    };
    return fill(rows, std::size(rows));
}

// How the surface is drawn; every line at 0 draws the page as it always
// was.
DataSheet defaultStyleSheet()
{
    static const Default rows[] = {
        {"style ", "4"}, {"lines ", "0"}, {"hidden", "0"}, {"bands ", "0"}, {"ticks ", "0"},
    };
    return fill(rows, std::size(rows));
}
