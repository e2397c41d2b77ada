#pragma once
#include "device/DeviceWindow.h"

// Draws the page of instructions into the window, on a device of its own.
void drawHelpPage(DeviceWindow& window);
