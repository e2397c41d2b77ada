#pragma once
#include "device/DeviceWindow.h"
#include "pages/PageRequest.h"

// The result of a page in the format before it is drawn: the error of a
// page past the memory bounds (then it is not drawn at all), else the
// warning of a mesh the renderer refuses (the rest of the page is drawn).
PageFileResult pageResultBefore(PageFormat format, const PageRequest& request);

// Composes the page on the window as the plot window does, keeping the
// parse warning in result.
void drawPage(const PageRequest& request, DeviceWindow& window, PageFileResult& result);
