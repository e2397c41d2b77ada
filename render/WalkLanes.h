#pragma once
// The walk's loops over the samples of a line, built twice: for the
// registers every x86-64 has and, in WalkLanesWide.cpp, for AVX2, which
// does four samples where the other does two. Both do the same IEEE
// operations in the same order on each sample; what has a body here has
// internal linkage, so that neither can stand in for the other.
#include <cstddef>
#include <cstdint>
#include <cstring>

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
void seeWide(int step, const double* y, std::size_t count, double* upper, double* lower,
             std::uint8_t* seen, const double* ahead, std::size_t aheadCount);

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

// Samples 0 .. count - 1 against the horizons of their columns, sample
// i on upper[step i] and lower[step i], several at a time: seen[i] 1 where
// it is above the upper horizon (or not a number), 2 below the lower one,
// 0 on or between them, and the horizon it passes moved to it. Samples
// of a piece lie on different columns, so lanes never meet. Every eighth
// sample fetches the heights ahead of it from memory, spread over the
// piece as a burst would wait on memory itself.
template <int width>
struct SeeVectors;
template <>
struct SeeVectors<2> {
    typedef double Doubles __attribute__((vector_size(16)));
    typedef long long Masks __attribute__((vector_size(16)));
    typedef unsigned char Codes __attribute__((vector_size(2)));
};
template <>
struct SeeVectors<4> {
    typedef double Doubles __attribute__((vector_size(32)));
    typedef long long Masks __attribute__((vector_size(32)));
    typedef unsigned char Codes __attribute__((vector_size(4)));
};

template <int width, int step>
void seeLanes(const double* y, std::size_t count, double* upper, double* lower,
              std::uint8_t* seen, const double* ahead, std::size_t aheadCount)
{
    using Doubles = typename SeeVectors<width>::Doubles;
    using Masks = typename SeeVectors<width>::Masks;
    using Codes = typename SeeVectors<width>::Codes;
    auto reverse = [](Doubles v) {
        if constexpr (width == 4)
            return __builtin_shufflevector(v, v, 3, 2, 1, 0);
        else
            return __builtin_shufflevector(v, v, 1, 0);
    };
    std::size_t i = 0;
    for (; i + width <= count; i += width) {
        if (i % 8 == 0 && i < aheadCount)
            __builtin_prefetch(ahead + i);
        const std::ptrdiff_t at = step > 0 ? static_cast<std::ptrdiff_t>(i)
                                           : -static_cast<std::ptrdiff_t>(i + width - 1);
        Doubles ys, up, low;
        std::memcpy(&ys, y + i, sizeof ys);
        std::memcpy(&up, upper + at, sizeof up);
        std::memcpy(&low, lower + at, sizeof low);
        if (step < 0) {
            up = reverse(up);
            low = reverse(low);
        }
        const Masks above = ~(up >= ys);
        const Masks below = ~(ys >= low) & ~above;
        up = (Doubles)(((Masks)ys & above) | ((Masks)up & ~above));
        low = (Doubles)(((Masks)ys & below) | ((Masks)low & ~below));
        if (step < 0) {
            up = reverse(up);
            low = reverse(low);
        }
        std::memcpy(upper + at, &up, sizeof up);
        std::memcpy(lower + at, &low, sizeof low);
        const Codes codes = __builtin_convertvector((above & 1) | (below & 2), Codes);
        std::memcpy(seen + i, &codes, sizeof codes);
    }
    for (; i < count; ++i) {
        double& up = upper[step * static_cast<std::ptrdiff_t>(i)];
        double& low = lower[step * static_cast<std::ptrdiff_t>(i)];
        const bool above = !(up >= y[i]);
        const bool below = !above && !(y[i] >= low);
        up = above ? y[i] : up;
        low = below ? y[i] : low;
        seen[i] = static_cast<std::uint8_t>(above ? 1 : below ? 2 : 0);
    }
}

} // namespace
