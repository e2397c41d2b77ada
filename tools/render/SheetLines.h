#pragma once
#include <string>

#include "sheets/Sheets.h"

// The entry line of fdata or sdata whose name, without its padding, is
// name; null when there is none.
DataLine* findLine(Sheets& sheets, const std::string& name);
