#pragma once
#include <cstddef>

// out[i] = exp(x[i]) over a block, bit for bit what the C library's exp
// gives on this machine: four points at a time where the processor has
// AVX2 and FMA and the library computes exp as the four-wide loop does
// (checked once, on points across its whole range), else point by point
// through the library.
void expBlock(const double* x, double* out, std::size_t count);

// Whether expBlock works four points at a time here.
bool fourWideExp();
