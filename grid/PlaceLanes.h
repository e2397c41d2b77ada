#pragma once
// Where many coordinates fall on an axis of nodes spread evenly, several
// lanes at a time: two (SSE2, in every x86-64) or four (AVX2, in the file
// built for it). Each lane does what GridAxis::Spread::place does to one
// coordinate, the same IEEE operations in the same order, so the places
// are the same. Everything here with a body has internal linkage, so that
// nothing built for the wider registers can stand in for what is built
// without them.
#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "grid/GridAxis.h"

// Points 0 .. count - 1 four at a time: node[i] and t[i] of each (node
// -1 outside), and the index it stopped at. In the file built with AVX2.
std::size_t placeFourLanes(const GridAxis::Spread& spread, const double* x, std::size_t count,
                           std::int32_t* node, double* t);

namespace {

struct TwoPlaceLanes {
    using Doubles = __m128d;
    // Truncated toward zero, for values well within the int range.
    static Doubles truncated(Doubles v) { return _mm_cvtepi32_pd(_mm_cvttpd_epi32(v)); }
    static void storeInts(std::int32_t* out, Doubles v)
    {
        const __m128i ints = _mm_cvttpd_epi32(v);
        std::memcpy(out, &ints, 2 * sizeof(std::int32_t));
    }
};

#ifdef __AVX2__
struct FourPlaceLanes {
    using Doubles = __m256d;
    static Doubles truncated(Doubles v) { return _mm256_cvtepi32_pd(_mm256_cvttpd_epi32(v)); }
    static void storeInts(std::int32_t* out, Doubles v)
    {
        const __m128i ints = _mm256_cvttpd_epi32(v);
        std::memcpy(out, &ints, sizeof ints);
    }
};
#endif

template <class Lanes>
std::size_t placeLanes(const GridAxis::Spread s, const double* x, std::size_t count,
                       std::int32_t* node, double* t)
{
    using Doubles = typename Lanes::Doubles;
    using Masks = decltype(Doubles{} < Doubles{});
    // when ? a : b, lane by lane.
    auto choose = [](Masks when, Doubles a, Doubles b) {
        return (Doubles)(((Masks)a & when) | ((Masks)b & ~when));
    };
    constexpr std::size_t width = sizeof(Doubles) / sizeof(double);
    constexpr double tolerance = GridAxis::nodeTolerance;
    const Doubles zero{}, one = zero + 1.0, none = zero - 1.0;
    std::size_t i = 0;
    for (; i + width <= count; i += width) {
        Doubles xs;
        std::memcpy(&xs, x + i, sizeof xs);
        const Doubles u = (xs - s.first) * s.scale;
        // Outside, and not a number: no node, and no conversion of what
        // an int cannot hold.
        const Masks inside = (u >= -tolerance) & (u <= s.lastNode + tolerance);
        const Doubles within = choose(inside, u, zero);
        const Doubles cell = Lanes::truncated(within);
        const Doubles along = within - cell;
        const Masks onStart = along <= tolerance;
        const Masks onEnd = ~onStart & (one - along <= tolerance);
        const Doubles nodes = choose(inside, cell + choose(onEnd, one, zero), none);
        const Doubles ts = choose(inside & ~onStart & ~onEnd, along, zero);
        Lanes::storeInts(node + i, nodes);
        std::memcpy(t + i, &ts, sizeof ts);
    }
    return i;
}

} // namespace
