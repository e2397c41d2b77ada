#pragma once
// Whether the processor has AVX2, for the device's loops that are also
// built for it; asked once.
bool wideDeviceLanes();
