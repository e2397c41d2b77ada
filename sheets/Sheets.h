#pragma once
#include <array>
#include <string_view>

#include "sheets/DataSheet.h"

// All the user's data: the function sheet, the settings sheet and the
// drawing style, as one value that the application owns and lends to
// whoever reads them.
struct Sheets {
    DataSheet fdata = defaultFunctionSheet();
    DataSheet sdata = defaultSettingsSheet();
    DataSheet style = defaultStyleSheet();
};

// The sheets by the names a sheet file gives their blocks, in the order it
// writes them. A sheet added to Sheets is one more entry here; a sheet
// that files from before it lack may be left out of a file, and then
// keeps its defaults.
struct SheetEntry {
    std::string_view name;
    DataSheet Sheets::*sheet;
    bool mayBeLeftOut = false;
};
inline constexpr std::array<SheetEntry, 3> sheetEntries{{
    {"fdata", &Sheets::fdata},
    {"sdata", &Sheets::sdata},
    {"style", &Sheets::style, true},
}};

// Whether every line of every sheet has the same texts in both: what a
// page and a sheet file are made of. The bytes after a field's end are
// not compared.
bool sameTexts(const Sheets& a, const Sheets& b);
