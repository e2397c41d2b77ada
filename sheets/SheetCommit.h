#pragma once
#include <string>

#include "sheets/DataLine.h"

// Writes an edited row back into its line: the row becomes the display
// text, and the value is cut out of it after the name and " = ". A row
// shorter than that by one empties the value; shorter still keeps it. The
// name is never changed.
void commitRow(DataLine& line, const std::string& row);
