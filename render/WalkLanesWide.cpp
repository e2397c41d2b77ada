// Built with AVX2, and called only where the processor has it.
#if defined(__x86_64__) && defined(__GNUC__)
#ifndef __AVX2__
#error "this file is built with -mavx2"
#endif
#include "render/WalkLanes.h"

void stepsFromWide(double start, double step, std::int32_t first, std::int32_t count,
                   double* out)
{
    stepsFromLanes(start, step, first, count, out);
}

void projectAlongWide(const LineProjection& p, const double* z, std::size_t count,
                      double* worldX, double* worldY)
{
    projectAlongLanes(p, z, count, worldX, worldY);
}

void seeWide(int step, const double* y, std::size_t count, double* upper, double* lower,
             std::uint8_t* seen, const double* ahead, std::size_t aheadCount)
{
    if (step > 0)
        seeLanes<4, 1>(y, count, upper, lower, seen, ahead, aheadCount);
    else
        seeLanes<4, -1>(y, count, upper, lower, seen, ahead, aheadCount);
}
#endif
