// Built with AVX2, and called only where the processor has it.
#if defined(__x86_64__) && defined(__GNUC__)
#ifndef __AVX2__
#error "this file is built with -mavx2"
#endif
#include <immintrin.h>

#include "grid/CellReading.h"

namespace {

struct FourLanes : FourPlaceLanes {
    using Ints = __m128i;

    // Exact: a grid holds at most 2^24 nodes, so an index among them fits
    // an int, and every product and sum on the way a double.
    static Ints indices(Doubles at) { return _mm256_cvttpd_epi32(at); }
    static void store(std::int32_t* out, Ints at)
    {
        _mm_store_si128(reinterpret_cast<__m128i*>(out), at);
    }
    static void fetchEnds(const double* origin, Ints at)
    {
        _mm_prefetch(reinterpret_cast<const char*>(origin + _mm_cvtsi128_si32(at)), _MM_HINT_T0);
        _mm_prefetch(reinterpret_cast<const char*>(origin + _mm_extract_epi32(at, 3)), _MM_HINT_T0);
    }
    // The first (low) and second (high) values of the pairs at at[0 .. 3].
    static void pairs(const double* origin, const std::int32_t* at, Doubles& low, Doubles& high)
    {
        const Doubles pairs02 = _mm256_loadu2_m128d(origin + at[2], origin + at[0]);
        const Doubles pairs13 = _mm256_loadu2_m128d(origin + at[3], origin + at[1]);
        low = _mm256_unpacklo_pd(pairs02, pairs13);
        high = _mm256_unpackhi_pd(pairs02, pairs13);
    }
};

} // namespace

std::size_t cellHeightsFourLanes(const SpreadCells& cells, const double* x, const double* y,
                                 std::size_t count, double* z)
{
    return CellLoop<FourLanes>::heights(cells, x, y, count, z);
}
#endif
