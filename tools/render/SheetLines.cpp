#include "tools/render/SheetLines.h"

#include "sheets/SheetLookup.h"

namespace {

DataLine* findIn(DataSheet& sheet, const std::string& name)
{
    for (std::size_t i = 1; i < sheet.size(); ++i)
        if (trimmedName(sheet[i]) == name)
            return &sheet[i];
    return nullptr;
}

} // namespace

DataLine* findLine(Sheets& sheets, const std::string& name)
{
    if (DataLine* line = findIn(sheets.fdata, name))
        return line;
    return findIn(sheets.sdata, name);
}
