#pragma once
#include <optional>
#include <string>

#include "sheets/Sheets.h"

// Sheet files on disk. Each gives the message of a failure, naming the
// file as path gives it, or nothing when it succeeded.

// Reads the file at path into the sheets, whole or not at all.
std::optional<std::string> loadSheetFile(const std::string& path, Sheets& sheets);

// Writes the sheets to path through a temporary file that replaces it
// only when written whole: a failed save leaves the old file as it was.
std::optional<std::string> saveSheetFile(const std::string& path, const Sheets& sheets);
