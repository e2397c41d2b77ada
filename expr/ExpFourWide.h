#pragma once
#include <cstddef>

// exp four points at a time with AVX2 and FMA, in the file built for
// them; called only where the processor has both (expr/ExpBlock.h).
void expFourWide(const double* x, double* out, std::size_t count);
