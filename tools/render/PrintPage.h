#pragma once
#include "sheets/Sheets.h"

// Sends the page of the sheets to the default printer as the Print
// command's Yes answers would; 0 only when the spooler accepted it.
int printPage(const Sheets& sheets, bool blackAndWhite);
