#pragma once
#include "device/DeviceWindow.h"

// The grid of theta (across, -180..180) against tilt (up, -90..90) with
// a marker at the given angles.
void drawOrientationGrid(DeviceWindow& window, double viewTilt, double viewTheta);

// The angles under the pointer at client point (x, y): tilt in steps of 5
// and theta in steps of 10, each clamped to its range.
int snapTilt(int y, const DeviceRect& client);
int snapTheta(int x, const DeviceRect& client);
