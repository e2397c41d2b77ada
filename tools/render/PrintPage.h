#pragma once
#include <memory>

#include "grid/HeightGrid.h"
#include "sheets/Sheets.h"

// Sends the page of the sheets (over the grid, if any) to the default
// printer as the Print command's Yes answers would; 0 only when the
// spooler accepted it.
int printPage(const Sheets& sheets, const std::shared_ptr<const HeightGrid>& grid,
              bool blackAndWhite);
