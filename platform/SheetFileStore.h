#pragma once
#include <optional>
#include <string>

#include "sheets/SheetFileLoad.h"
#include "sheets/Sheets.h"

// Writes the sheets to path through a temporary file that replaces it
// only when written whole: a failed save leaves the old file as it was.
// A dataFile (unless empty) is recorded by its path from the sheet
// file's folder, so that the two may move together. The message of a
// failure names the file as path gives it.
std::optional<std::string> saveSheetFile(const std::string& path, const Sheets& sheets,
                                         const std::string& dataFile = {});
