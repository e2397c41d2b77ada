#pragma once
#include <string>
#include <vector>

#include "sheets/DataSheet.h"

// Writes an edited row back into its line: the row becomes the display
// text, and the value is cut out of it after the name and " = ". A row
// shorter than that by one empties the value; shorter still keeps it. The
// name is never changed.
void commitRow(DataLine& line, const std::string& row);

// Writes the editor's rows back into the sheet, row i into line i + 1.
// A row beyond the sheet's last line has no line and is dropped.
void commitSheetList(const std::vector<std::string>& rows, DataSheet& sheet);
