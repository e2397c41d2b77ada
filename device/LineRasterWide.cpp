// Built with AVX2, and called only where the processor has it.
#if defined(__x86_64__) && defined(__GNUC__)
#ifndef __AVX2__
#error "this file is built with -mavx2"
#endif
#include <immintrin.h>

#include <cstdint>

#include "device/DistinctPoints.h"

namespace {

// For each set of the four points to keep (bit j: point j), the 32-bit
// lanes that bring them, in order, to the front. A plain array: nothing
// here may call a function that code built without AVX2 also has.
struct KeptLanes {
    alignas(32) std::int32_t lanes[16][8];
};

constexpr KeptLanes keptLanesOf()
{
    KeptLanes table{};
    for (int mask = 0; mask < 16; ++mask) {
        int at = 0;
        for (int j = 0; j < 4; ++j)
            if (mask & (1 << j)) {
                table.lanes[mask][at++] = 2 * j;
                table.lanes[mask][at++] = 2 * j + 1;
            }
    }
    return table;
}

constexpr KeptLanes keptLanes = keptLanesOf();

} // namespace

// Four points at a time, each compared whole (64 bits) with the one
// before it; the new ones moved to the front of the lanes and stored.
std::size_t keepDistinctWide(const DevicePoint* points, std::size_t count, DevicePoint* out)
{
    static_assert(sizeof(DevicePoint) == 8);
    std::size_t kept = 0, i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m256i these = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(points + i));
        const __m256i before =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(points + i - 1));
        const int same = _mm256_movemask_pd(_mm256_castsi256_pd(_mm256_cmpeq_epi64(these, before)));
        const int mask = ~same & 0xF;
        const __m256i lanes =
            _mm256_load_si256(reinterpret_cast<const __m256i*>(keptLanes.lanes[mask]));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + kept),
                            _mm256_permutevar8x32_epi32(these, lanes));
        kept += static_cast<std::size_t>(__builtin_popcount(mask));
    }
    return kept + keepDistinct(points + i, count - i, out + kept);
}
#endif
