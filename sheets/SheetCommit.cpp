#include "sheets/SheetCommit.h"

#include <cstring>

void commitRow(DataLine& line, const std::string& row)
{
    copyField(line.display, DataLine::displaySize, row.c_str());
    const std::size_t s = std::strlen(line.name) + 3;
    const std::size_t t = std::strlen(line.display);
    if (t >= s)
        copyField(line.value, DataLine::valueSize, line.display + s);
    else if (t + 1 == s)
        copyField(line.value, DataLine::valueSize, "");
}

void commitSheetList(const std::vector<std::string>& rows, DataSheet& sheet)
{
    for (std::size_t i = 0; i < rows.size() && i + 1 < sheet.size(); ++i)
        commitRow(sheet[i + 1], rows[i]);
}
