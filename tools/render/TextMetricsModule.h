#pragma once
#include <memory>
#include <string>

#include "fonts/MeasuringCanvas.h"

// The canvas kelvo-render measures a page's text on, from the package's
// private module kelvo-text-metrics.so, loaded only for a page drawn
// without Qt: fontconfig, FreeType and HarfBuzz, which it brings, take a
// process some milliseconds to load, and the pages handed to Qt, which
// loads them itself, need not pay that twice. The module stays loaded for
// the process's life. Null, with why, when it cannot be loaded.
std::unique_ptr<MeasuringCanvas> loadMeasuringCanvas(std::string& error);
