#pragma once
#include <string>
#include <utility>
#include <vector>

#include "device/Canvas.h"

// The resolution text is measured at, as a Qt image reports it under
// kelvo-render's offscreen platform.
inline constexpr Resolution measuringResolution{96, 96};

// A canvas that measures text and says whether its answers may differ
// from Qt's: what a page drawn without Qt measures its text on. It draws
// nothing.
class MeasuringCanvas : public Canvas {
public:
    Resolution resolution() const final { return measuringResolution; }
    void segment(DevicePoint, DevicePoint, Pen) final {}
    void fill(const DeviceRect&, Colour) final {}
    void frame(const DeviceRect&, Pen, Colour) final {}
    void clip(const DeviceRect&) final {}
    void unclip() final {}
    void text(DevicePoint, const std::string&, const FontSpec&, Colour, Colour) final {}

    // Why an answer given so far may differ from Qt's: the first reason;
    // empty while every answer is Qt's.
    const std::string& unproven() const { return unproven_; }
    // The same, forgotten once told: what the answers since the last take
    // may lack.
    std::string takeUnproven() { return std::exchange(unproven_, {}); }
    // The files and folders whose change may change an answer given so
    // far (fonts/FontSetupFiles.h): what a kept answer is valid with.
    virtual std::vector<std::string> setupFiles() const = 0;

protected:
    // Notes why the last answer may differ from Qt's, unless an earlier
    // reason stands.
    void note(std::string why)
    {
        if (unproven_.empty())
            unproven_ = std::move(why);
    }

private:
    std::string unproven_;
};

// The text measuring module (kelvo-text-metrics.so) makes its canvas
// through this one function, found by name once the module is loaded.
extern "C" {
using MakeMeasuringCanvas = MeasuringCanvas* (*)();
inline constexpr const char* makeMeasuringCanvasName = "kelvoMakeTextMetricsCanvas";
}
