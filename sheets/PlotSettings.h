#pragma once
#include "sheets/DataSheet.h"

// The numeric settings of a page, read from sdata.
struct PlotSettings {
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0, z1 = 0, z2 = 0;
    int n = 0, m = 0, k = 0;
    int pc = 0, fc = 0, ax = 0;
    double xCentre = 0, yCentre = 0;
};

// Reads a settings sheet; a sheet shorter than sdata's 16 lines gives
// zeros for the missing lines.
PlotSettings readPlotSettings(const DataSheet& sheet);
