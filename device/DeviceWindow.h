#pragma once
#include "device/Canvas.h"
#include "device/Prompter.h"

// The window a PlotDevice is bound to: the source of its client rectangle
// and of its canvas, and the owner of the boxes the shell shows before and
// after a picture (the device itself asks nothing).
class DeviceWindow : public Prompter {
public:
    virtual DeviceRect clientRect() = 0;
    // The window's canvas for one picture, until releaseCanvas; never null.
    virtual Canvas* acquireCanvas() = 0;
    virtual void releaseCanvas(Canvas* canvas) = 0;

protected:
    ~DeviceWindow() = default;
};
