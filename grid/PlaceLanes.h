#pragma once
// Where many coordinates fall on an axis of nodes spread evenly, several
// lanes at a time: two (SSE2, in every x86-64), four (AVX2) or eight
// (AVX-512, in the files built for them). Each lane does what GridAxis::Spread::place does to one
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
    static Doubles truncated(Doubles v)
    {
        return _mm256_round_pd(v, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
    }
    static void storeInts(std::int32_t* out, Doubles v)
    {
        const __m128i ints = _mm256_cvttpd_epi32(v);
        std::memcpy(out, &ints, sizeof ints);
    }
};
#endif

// Where a register of coordinates falls on the axis: whether within the
// nodes, the node or cell of each lane (0 outside), where it lies in the
// cell (0 on a node), and whether on a node.
template <class Lanes>
struct PlacedLanes {
    using Doubles = typename Lanes::Doubles;
    using Masks = decltype(Doubles{} < Doubles{});
    Masks inside;
    Doubles node, t;
    Masks onNode;
};

template <class Lanes>
PlacedLanes<Lanes> placeRegister(const GridAxis::Spread& s, typename Lanes::Doubles xs)
{
    using Doubles = typename Lanes::Doubles;
    using Masks = typename PlacedLanes<Lanes>::Masks;
    constexpr double tolerance = GridAxis::nodeTolerance;
    const Doubles zero{};
    const Doubles u = (xs - s.first) * s.scale;
    // Outside, and not a number: cell 0, so that nothing an int cannot
    // hold is converted.
    const Masks inside = (u >= -tolerance) & (u <= s.lastNode + tolerance);
    const Doubles within = inside ? u : zero;
    const Doubles cell = Lanes::truncated(within);
    const Doubles along = within - cell;
    // 1 - along <= tolerance, as the spread asks: 1 - along is exact from
    // one half up, and no smaller along comes near the end.
    const Masks onStart = along <= tolerance;
    const Masks onEnd = along >= 1 - tolerance;
    const Masks onNode = onStart | onEnd;
    return {inside, cell + (onEnd ? zero + 1.0 : zero), onNode ? zero : along, onNode};
}

template <class Lanes>
std::size_t placeLanes(const GridAxis::Spread s, const double* x, std::size_t count,
                       std::int32_t* node, double* t)
{
    using Doubles = typename Lanes::Doubles;
    constexpr std::size_t width = sizeof(Doubles) / sizeof(double);
    std::size_t i = 0;
    for (; i + width <= count; i += width) {
        Doubles xs;
        std::memcpy(&xs, x + i, sizeof xs);
        const PlacedLanes<Lanes> placed = placeRegister<Lanes>(s, xs);
        Lanes::storeInts(node + i, placed.inside ? placed.node : Doubles{} - 1.0);
        std::memcpy(t + i, &placed.t, sizeof placed.t);
    }
    return i;
}

} // namespace
