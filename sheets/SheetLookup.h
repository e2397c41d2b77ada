#pragma once
#include <string>

#include "sheets/Sheets.h"

// The entry line of any sheet (fdata, sdata, style) whose name, without
// its padding, is name; null when there is none.
DataLine* findEntryLine(Sheets& sheets, const std::string& name);

// The name of a line without the blanks that pad it.
std::string trimmedName(const DataLine& line);
