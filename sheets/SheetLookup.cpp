#include "sheets/SheetLookup.h"

std::string trimmedName(const DataLine& line)
{
    std::string name = line.name;
    name.erase(name.find_last_not_of(' ') + 1);
    return name;
}

namespace {

DataLine* findIn(DataSheet& sheet, const std::string& name)
{
    for (std::size_t i = 1; i < sheet.size(); ++i)
        if (trimmedName(sheet[i]) == name)
            return &sheet[i];
    return nullptr;
}

} // namespace

DataLine* findEntryLine(Sheets& sheets, const std::string& name)
{
    for (const SheetEntry& entry : sheetEntries)
        if (DataLine* line = findIn(sheets.*entry.sheet, name))
            return line;
    return nullptr;
}
