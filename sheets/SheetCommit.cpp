#include "sheets/SheetCommit.h"

#include <cstring>

CommitOutcome commitRow(DataLine& line, const std::string& row)
{
    const std::size_t s = std::strlen(line.name) + 3;
    const std::size_t t = std::strlen(row.c_str());
    if (t >= s && t - s > DataLine::longestValue)
        return CommitOutcome::Refused;
    copyField(line.display, DataLine::displaySize, row.c_str());
    if (t >= s)
        copyField(line.value, DataLine::valueSize, line.display + s);
    else if (t + 1 == s)
        copyField(line.value, DataLine::valueSize, "");
    return CommitOutcome::Written;
}

std::vector<std::size_t> commitSheetList(const std::vector<std::string>& rows, DataSheet& sheet)
{
    std::vector<std::size_t> refused;
    for (std::size_t i = 0; i < rows.size() && i + 1 < sheet.size(); ++i)
        if (commitRow(sheet[i + 1], rows[i]) == CommitOutcome::Refused)
            refused.push_back(i + 1);
    return refused;
}
