#pragma once
#include <string>
#include <vector>

#include "sheets/DataSheet.h"

enum class CommitOutcome { Written, Refused };

// Writes an edited row back into its line: the row becomes the display
// text, and the value is cut out of it after the name and " = ". A row
// shorter than that by one empties the value; shorter still keeps it. The
// name is never changed. A row whose value would be longer than
// DataLine::longestValue leaves the line as it was.
CommitOutcome commitRow(DataLine& line, const std::string& row);

// Writes the editor's rows back into the sheet, row i into line i + 1, and
// gives the numbers of the lines that refused their row. A row beyond the
// sheet's last line has no line and is dropped.
std::vector<std::size_t> commitSheetList(const std::vector<std::string>& rows, DataSheet& sheet);
