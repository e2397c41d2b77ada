// Built with AVX-512, and called only where the processor has it.
#if defined(__x86_64__) && defined(__GNUC__)
#ifndef __AVX512F__
#error "this file is built with -mavx512f"
#endif
#include <immintrin.h>

#include "grid/CellReading.h"

namespace {

struct EightLanes {
    using Doubles = __m512d;
    using Ints = __m256i;

    static Doubles truncated(Doubles v)
    {
        return _mm512_roundscale_pd(v, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
    }
    // Exact, as for four lanes.
    static Ints indices(Doubles at) { return _mm512_cvttpd_epi32(at); }
    static void store(std::int32_t* out, Ints at)
    {
        _mm256_store_si256(reinterpret_cast<__m256i*>(out), at);
    }
    static void fetchEnds(const double* origin, Ints at)
    {
        auto fetch = [origin](int i) {
            _mm_prefetch(reinterpret_cast<const char*>(origin + i), _MM_HINT_T0);
        };
        fetch(_mm256_extract_epi32(at, 0));
        fetch(_mm256_extract_epi32(at, 3));
        fetch(_mm256_extract_epi32(at, 4));
        fetch(_mm256_extract_epi32(at, 7));
    }
    // The first (low) and second (high) values of the pairs at at[0 .. 7].
    static void pairs(const double* origin, const std::int32_t* at, Doubles& low, Doubles& high)
    {
        auto two = [origin, at](int a, int b) {
            return _mm256_loadu2_m128d(origin + at[b], origin + at[a]);
        };
        const Doubles even = _mm512_insertf64x4(_mm512_castpd256_pd512(two(0, 2)), two(4, 6), 1);
        const Doubles odd = _mm512_insertf64x4(_mm512_castpd256_pd512(two(1, 3)), two(5, 7), 1);
        low = _mm512_unpacklo_pd(even, odd);
        high = _mm512_unpackhi_pd(even, odd);
    }
};

} // namespace

std::size_t cellHeightsEightLanes(const SpreadCells& cells, const double* x, const double* y,
                                  std::size_t count, double* z)
{
    return CellLoop<EightLanes>::heights(cells, x, y, count, z);
}
#endif
