#include "sheets/PlotSettings.h"

#include "sheets/Readings.h"

namespace {

const char* valueOf(const DataSheet& sheet, std::size_t line)
{
    return line < sheet.size() ? sheet[line].value : "";
}

} // namespace

PlotSettings readPlotSettings(const DataSheet& sheet)
{
    using namespace SettingsLine;
    PlotSettings s;
    s.x1 = realReading(valueOf(sheet, x1));
    s.x2 = realReading(valueOf(sheet, x2));
    s.y1 = realReading(valueOf(sheet, y1));
    s.y2 = realReading(valueOf(sheet, y2));
    s.z1 = realReading(valueOf(sheet, z1));
    s.z2 = realReading(valueOf(sheet, z2));
    s.n = integerReading(valueOf(sheet, n));
    s.m = integerReading(valueOf(sheet, m));
    s.k = integerReading(valueOf(sheet, k));
    s.pc = integerReading(valueOf(sheet, pc));
    s.fc = integerReading(valueOf(sheet, fc));
    s.ax = integerReading(valueOf(sheet, ax));
    s.xCentre = (s.x2 + s.x1) * 0.5;
    s.yCentre = (s.y2 + s.y1) * 0.5;
    return s;
}
