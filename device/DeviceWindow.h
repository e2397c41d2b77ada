#pragma once
#include "device/Canvas.h"
#include "expr/MessageOwner.h"

// The window a PlotDevice is bound to: the owner of its message boxes,
// the source of its client rectangle and of its drawing context.
class DeviceWindow : public MessageOwner {
public:
    virtual DeviceRect clientRect() = 0;
    // The window's context for one picture, until releaseCanvas; never null.
    virtual Canvas* acquireCanvas() = 0;
    virtual void releaseCanvas(Canvas* canvas) = 0;
    // The client area is to be shown again once the picture is done.
    virtual void invalidate() {}

protected:
    ~DeviceWindow() = default;
};
