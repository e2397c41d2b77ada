// Built with AVX2, and called only where the processor has it.
#if defined(__x86_64__) && defined(__GNUC__)
#ifndef __AVX2__
#error "this file is built with -mavx2"
#endif
#include "expr/BlockKernels.h"

void runStepsWide(const Program::Step* steps, std::size_t stepCount, const Program::Block& block,
                  std::size_t count)
{
    runSteps(steps, stepCount, block, count);
}

void turnPointsWide(const TurnConstants& t, const double* x, const double* y, std::size_t count,
                    double* tx, double* ty)
{
    turnPoints(t, x, y, count, tx, ty);
}
#endif
