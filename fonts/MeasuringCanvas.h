#pragma once
#include <string>

#include "device/Canvas.h"

// A canvas that measures text and says whether its answers may differ
// from Qt's: what a page drawn without Qt measures its text on.
class MeasuringCanvas : public Canvas {
public:
    // Why an answer given so far may differ from Qt's: the first reason;
    // empty while every answer is Qt's.
    virtual const std::string& unproven() const = 0;
    // The same, forgotten once told: what the answers since the last take
    // may lack.
    virtual std::string takeUnproven() = 0;
};

// The text measuring module (kelvo-text-metrics.so) makes its canvas
// through this one function, found by name once the module is loaded.
extern "C" {
using MakeMeasuringCanvas = MeasuringCanvas* (*)();
inline constexpr const char* makeMeasuringCanvasName = "kelvoMakeTextMetricsCanvas";
}
