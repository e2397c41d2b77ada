#include "tools/render/FrameRun.h"

#include <array>
#include <charconv>
#include <cmath>

#include "sheets/DataLine.h"
#include "sheets/Readings.h"
#include "sheets/SheetLookup.h"

bool holdsNumber(const std::string& line)
{
    Sheets defaults;
    return findEntryLine(defaults, line) != nullptr && line != "f(x,y)" && line != "title";
}

double frameValue(const FrameRun& run, double start, int frame)
{
    if (run.kind == FrameRun::Kind::Turn)
        return start + 360.0 * frame / run.count;
    if (run.count == 1)
        return run.from;
    // std::lerp ends exactly at `to`.
    return std::lerp(run.from, run.to, static_cast<double>(frame) / (run.count - 1));
}

std::string frameValueText(double value)
{
    std::array<char, 32> text;
    const auto end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
    return std::string(text.data(), end);
}

Sheets frameSheets(const Sheets& given, const FrameRun& run, int frame)
{
    Sheets sheets = given;
    DataLine* line = findEntryLine(sheets, run.line);
    const double start = realReading(line->value);
    buildLine(*line, line->name, frameValueText(frameValue(run, start, frame)).c_str());
    return sheets;
}
