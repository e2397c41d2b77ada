#pragma once
// The device points of many world points, several lanes at a time: one
// loop over two lanes (SSE2, in every x86-64) or four (AVX2). The file
// built with AVX2 includes this too, so everything here with a body has
// internal linkage: no function made for the wider registers can stand
// in for one made without them.
#include <immintrin.h>

#include <cstddef>
#include <cstring>

#include "device/Canvas.h"

static_assert(sizeof(DevicePoint) == 2 * sizeof(int));

struct MappingConstants {
    double x1, y1, xScale, yScale, left, bottom;
};

// Points 0 .. count - 1 four at a time; the index it stopped at, and
// whether any was not a number. In the file built with AVX2.
std::size_t mapFourLanes(const MappingConstants& k, const double* x, const double* y,
                         std::size_t count, DevicePoint* out, bool& notNumber);

namespace {

// What the lanes of a width do that the vector operators do not.
struct TwoLanes {
    using Doubles = __m128d;
    static Doubles min(Doubles a, Doubles b) { return _mm_min_pd(a, b); }
    static Doubles max(Doubles a, Doubles b) { return _mm_max_pd(a, b); }
    // All bits set in each lane where a or b is not a number.
    static Doubles unordered(Doubles a, Doubles b) { return _mm_cmpunord_pd(a, b); }
    static __m128i truncate(Doubles v) { return _mm_cvttpd_epi32(v); }
    static void store(DevicePoint* out, __m128i x, __m128i y)
    {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi32(x, y));
    }
};

#ifdef __AVX2__
struct FourLanes {
    using Doubles = __m256d;
    static Doubles min(Doubles a, Doubles b) { return _mm256_min_pd(a, b); }
    static Doubles max(Doubles a, Doubles b) { return _mm256_max_pd(a, b); }
    static Doubles unordered(Doubles a, Doubles b) { return _mm256_cmp_pd(a, b, _CMP_UNORD_Q); }
    static __m128i truncate(Doubles v) { return _mm256_cvttpd_epi32(v); }
    static void store(DevicePoint* out, __m128i x, __m128i y)
    {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi32(x, y));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2), _mm_unpackhi_epi32(x, y));
    }
};
#endif

// truncToDevice lane by lane: a value that is not a number becomes 0,
// the rest are held to the bounds whose truncations are INT_MAX and
// INT_MIN, then truncated.
template <class Lanes> __m128i truncToDevice(typename Lanes::Doubles v)
{
    using Doubles = typename Lanes::Doubles;
    const Doubles number = v == v ? v : Doubles{};
    return Lanes::truncate(Lanes::max(Doubles{} - 2147483648.0,
                                      Lanes::min(Doubles{} + 2147483647.0, number)));
}

// Points 0 .. count - 1, a whole number of lanes at a time: the same
// operations in the same order as DeviceMapping::map() of one point. The
// constants are a copy, which the stores to out cannot reach. With care,
// each value held to the int range (NaN made 0), and notNumber set; or
// truncated as it is, which is right for every value that fits an int, as
// on a page: false then when a truncation gave INT_MIN, as every value
// that does not fit (and NaN) gives, so that the points must be mapped
// again with care.
template <class Lanes, bool careful>
bool mapPass(const MappingConstants k, const double* x, const double* y, std::size_t count,
             DevicePoint* out, bool& notNumber)
{
    using Doubles = typename Lanes::Doubles;
    constexpr std::size_t width = sizeof(Doubles) / sizeof(double);
    using Bits = decltype(Doubles{} != Doubles{});
    Bits notNumbers{};
    const __m128i intMin = _mm_set1_epi32(static_cast<int>(0x80000000u));
    __m128i outside = _mm_setzero_si128();
    for (std::size_t i = 0; i + width <= count; i += width) {
        Doubles xs, ys;
        std::memcpy(&xs, x + i, sizeof xs);
        std::memcpy(&ys, y + i, sizeof ys);
        const Doubles dx = (xs - k.x1) * k.xScale;
        const Doubles dy = (ys - k.y1) * k.yScale;
        if constexpr (careful) {
            Lanes::store(out + i, truncToDevice<Lanes>(dx + k.left + 0.5),
                         truncToDevice<Lanes>(k.bottom - dy + 0.5));
            notNumbers |= reinterpret_cast<Bits>(Lanes::unordered(dx, dy));
        } else {
            const __m128i deviceX = Lanes::truncate(dx + k.left + 0.5);
            const __m128i deviceY = Lanes::truncate(k.bottom - dy + 0.5);
            outside = _mm_or_si128(outside, _mm_or_si128(_mm_cmpeq_epi32(deviceX, intMin),
                                                         _mm_cmpeq_epi32(deviceY, intMin)));
            Lanes::store(out + i, deviceX, deviceY);
        }
    }
    notNumber = false;
    for (std::size_t lane = 0; lane < width; ++lane)
        notNumber = notNumber || notNumbers[lane] != 0;
    return _mm_movemask_epi8(outside) == 0;
}

// The index it stopped at, and whether any point was not a number.
template <class Lanes>
std::size_t mapLanes(const MappingConstants k, const double* x, const double* y,
                     std::size_t count, DevicePoint* out, bool& notNumber)
{
    constexpr std::size_t width = sizeof(typename Lanes::Doubles) / sizeof(double);
    if (!mapPass<Lanes, false>(k, x, y, count, out, notNumber))
        mapPass<Lanes, true>(k, x, y, count, out, notNumber);
    return count - count % width;
}

} // namespace
