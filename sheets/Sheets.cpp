#include "sheets/Sheets.h"

#include <cstring>

namespace {

bool sameTexts(const DataLine& a, const DataLine& b)
{
    return std::strcmp(a.name, b.name) == 0 && std::strcmp(a.value, b.value) == 0 &&
           std::strcmp(a.display, b.display) == 0;
}

bool sameTexts(const DataSheet& a, const DataSheet& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!sameTexts(a[i], b[i]))
            return false;
    return true;
}

} // namespace

bool sameTexts(const Sheets& a, const Sheets& b)
{
    for (const SheetEntry& entry : sheetEntries)
        if (!sameTexts(a.*entry.sheet, b.*entry.sheet))
            return false;
    return true;
}
