// Built with AVX2, and called only where the processor has it.
#if defined(__x86_64__) && defined(__GNUC__)
#ifndef __AVX2__
#error "this file is built with -mavx2"
#endif
#include "device/MappingLanes.h"

std::size_t mapFourLanes(const MappingConstants& k, const double* x, const double* y,
                         std::size_t count, DevicePoint* out, bool& notNumber)
{
    return mapLanes<FourLanes>(k, x, y, count, out, notNumber);
}
#endif
