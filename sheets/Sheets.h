#pragma once
#include "sheets/DataSheet.h"

// All the user's data: the function sheet and the settings sheet, as one
// value that the application owns and lends to whoever reads them.
struct Sheets {
    DataSheet fdata = defaultFunctionSheet();
    DataSheet sdata = defaultSettingsSheet();
};
