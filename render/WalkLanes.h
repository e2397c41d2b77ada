#pragma once
// The walk's loops over the samples of a line, built twice: for the
// registers every x86-64 has and, in WalkLanesWide.cpp, for AVX2, which
// does four samples where the other does two. Both do the same IEEE
// operations in the same order on each sample; what has a body here has
// internal linkage, so that neither can stand in for the other.
#include <cstddef>
#include <cstdint>

// A line's products along it (the same for every line of its family) and
// across it (the same for every sample of the line), and the samples'
// heights, as PieceSeer projects them.
struct LineProjection {
    const double* forX;
    const double* forY;
    double acrossX, acrossY, cosTilt;
    // A line of constant y; otherwise of constant x.
    bool constantY;
};

// In the file built with AVX2; called only where the processor has it.
void stepsFromWide(double start, double step, std::int32_t first, std::int32_t count,
                   double* out);
void projectAlongWide(const LineProjection& p, const double* z, std::size_t count,
                      double* worldX, double* worldY);

namespace {

// out[i] = start + (first + i) x step, the ints made doubles several at
// a time.
[[maybe_unused]] void stepsFromLanes(double start, double step, std::int32_t first,
                                     std::int32_t count, double* out)
{
    for (std::int32_t i = 0; i < count; ++i)
        out[i] = start + static_cast<double>(first + i) * step;
}

// projectX and projectY of each sample, in their order of operations.
[[maybe_unused]] void projectAlongLanes(const LineProjection p, const double* z,
                                        std::size_t count, double* worldX, double* worldY)
{
    if (p.constantY) {
        for (std::size_t i = 0; i < count; ++i) {
            worldX[i] = p.forX[i] + p.acrossX;
            worldY[i] = p.acrossY - p.forY[i] + z[i] * p.cosTilt;
        }
    } else {
        for (std::size_t i = 0; i < count; ++i) {
            worldX[i] = p.acrossX + p.forX[i];
            worldY[i] = p.forY[i] - p.acrossY + z[i] * p.cosTilt;
        }
    }
}

} // namespace
