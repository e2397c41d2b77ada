#pragma once
#include <optional>
#include <string>

#include "sheets/Sheets.h"

// Sheet files on disk. Each gives the message of a failure, naming the
// file as path gives it, or nothing when it succeeded.

// Reads the file at path into the sheets, whole or not at all. dataFile,
// when given, takes the data file the sheet file records, found from the
// sheet file's folder (empty when it records none); reading that is the
// caller's.
std::optional<std::string> loadSheetFile(const std::string& path, Sheets& sheets,
                                         std::string* dataFile = nullptr);

// Writes the sheets to path through a temporary file that replaces it
// only when written whole: a failed save leaves the old file as it was.
// A dataFile (unless empty) is recorded by its path from the sheet
// file's folder, so that the two may move together.
std::optional<std::string> saveSheetFile(const std::string& path, const Sheets& sheets,
                                         const std::string& dataFile = {});
