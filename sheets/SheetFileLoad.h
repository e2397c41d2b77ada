#pragma once
#include <optional>
#include <string>

#include "sheets/Sheets.h"

// Reads the sheet file at path into the sheets, whole or not at all, or
// gives the message of the failure, naming the file as path gives it.
// dataFile, when given, takes the data file the sheet file records, found
// from the sheet file's folder (empty when it records none); reading that
// is the caller's.
std::optional<std::string> loadSheetFile(const std::string& path, Sheets& sheets,
                                         std::string* dataFile = nullptr);

// A path with repeated slashes, "." and the ".." that follow a name taken
// out, and no slash at its end: "a/./b/../c/" is "a/c", "a/.." is ".",
// "/../x" stays as it is.
std::string cleanPath(const std::string& path);
