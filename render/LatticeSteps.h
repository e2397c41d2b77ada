#pragma once
// The coordinates along a line of the lattice, built twice: for the
// registers every x86-64 has and, in LatticeStepsWide.cpp, for AVX2.
// Both do the same operations on each point; what has a body here has
// internal linkage, so that neither can stand in for the other.
#include <cstdint>

// In the file built with AVX2; called only where the processor has it.
void stepsFromWide(double start, double step, std::int32_t first, std::int32_t count,
                   double* out);

namespace {

// out[i] = start + (first + i) x step, the ints made doubles several at
// a time.
void stepsFromLanes(double start, double step, std::int32_t first, std::int32_t count,
                    double* out)
{
    for (std::int32_t i = 0; i < count; ++i)
        out[i] = start + static_cast<double>(first + i) * step;
}

} // namespace
