// Built with AVX2, and called only where the processor has it.
#if defined(__x86_64__) && defined(__GNUC__)
#ifndef __AVX2__
#error "this file is built with -mavx2"
#endif
#include "grid/PlaceLanes.h"

std::size_t placeFourLanes(const GridAxis::Spread& spread, const double* x, std::size_t count,
                           std::int32_t* node, double* t)
{
    return placeLanes<FourPlaceLanes>(spread, x, count, node, t);
}
#endif
