#include "device/DeviceMapping.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define KELVO_X86_VECTORS 1
#endif

#ifdef KELVO_X86_VECTORS
namespace {

static_assert(sizeof(DevicePoint) == 2 * sizeof(int));

// truncToDevice of two values: a value that is not a number becomes 0,
// the rest are held to the bounds whose truncations are INT_MAX and
// INT_MIN, then truncated; the two ints are in the low half.
__m128i truncToDevice2(__m128d v)
{
    const __m128d number = _mm_and_pd(v, _mm_cmpord_pd(v, v));
    const __m128d bounded = _mm_max_pd(_mm_set1_pd(-2147483648.0),
                                       _mm_min_pd(_mm_set1_pd(2147483647.0), number));
    return _mm_cvttpd_epi32(bounded);
}

// The same for four values.
__attribute__((target("avx2"))) __m128i truncToDevice4(__m256d v)
{
    const __m256d number = _mm256_and_pd(v, _mm256_cmp_pd(v, v, _CMP_ORD_Q));
    const __m256d bounded = _mm256_max_pd(_mm256_set1_pd(-2147483648.0),
                                          _mm256_min_pd(_mm256_set1_pd(2147483647.0), number));
    return _mm256_cvttpd_epi32(bounded);
}

struct Constants {
    double x1, y1, xScale, yScale, left, bottom;
};

// Points first .. count - 1 two at a time; the index it stopped at, and
// whether any was not a number.
std::size_t mapPairs(const Constants& k, const double* x, const double* y, std::size_t count,
                     DevicePoint* out, bool& notNumber)
{
    const __m128d x1 = _mm_set1_pd(k.x1), y1 = _mm_set1_pd(k.y1);
    const __m128d xScale = _mm_set1_pd(k.xScale), yScale = _mm_set1_pd(k.yScale);
    const __m128d left = _mm_set1_pd(k.left), bottom = _mm_set1_pd(k.bottom);
    const __m128d half = _mm_set1_pd(0.5);
    __m128d notNumbers = _mm_setzero_pd();
    std::size_t i = 0;
    for (; i + 2 <= count; i += 2) {
        const __m128d dx = _mm_mul_pd(_mm_sub_pd(_mm_loadu_pd(x + i), x1), xScale);
        const __m128d dy = _mm_mul_pd(_mm_sub_pd(_mm_loadu_pd(y + i), y1), yScale);
        const __m128i deviceX = truncToDevice2(_mm_add_pd(_mm_add_pd(dx, left), half));
        const __m128i deviceY = truncToDevice2(_mm_add_pd(_mm_sub_pd(bottom, dy), half));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi32(deviceX, deviceY));
        notNumbers = _mm_or_pd(notNumbers, _mm_cmpunord_pd(dx, dy));
    }
    notNumber = _mm_movemask_pd(notNumbers) != 0;
    return i;
}

// Four at a time, where the processor has the wider registers.
__attribute__((target("avx2"))) std::size_t mapQuads(const Constants& k, const double* x,
                                                     const double* y, std::size_t count,
                                                     DevicePoint* out, bool& notNumber)
{
    const __m256d x1 = _mm256_set1_pd(k.x1), y1 = _mm256_set1_pd(k.y1);
    const __m256d xScale = _mm256_set1_pd(k.xScale), yScale = _mm256_set1_pd(k.yScale);
    const __m256d left = _mm256_set1_pd(k.left), bottom = _mm256_set1_pd(k.bottom);
    const __m256d half = _mm256_set1_pd(0.5);
    __m256d notNumbers = _mm256_setzero_pd();
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m256d dx = _mm256_mul_pd(_mm256_sub_pd(_mm256_loadu_pd(x + i), x1), xScale);
        const __m256d dy = _mm256_mul_pd(_mm256_sub_pd(_mm256_loadu_pd(y + i), y1), yScale);
        const __m128i deviceX = truncToDevice4(_mm256_add_pd(_mm256_add_pd(dx, left), half));
        const __m128i deviceY = truncToDevice4(_mm256_add_pd(_mm256_sub_pd(bottom, dy), half));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi32(deviceX, deviceY));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 2),
                         _mm_unpackhi_epi32(deviceX, deviceY));
        notNumbers = _mm256_or_pd(notNumbers, _mm256_cmp_pd(dx, dy, _CMP_UNORD_Q));
    }
    notNumber = _mm256_movemask_pd(notNumbers) != 0;
    return i;
}

// Asked once, at load; the processor's features are read first, as this
// may run before the runtime's own constructors have read them.
bool hasWideRegisters()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

const bool wideRegisters = hasWideRegisters();

} // namespace
#endif

// Several points at a time where the processor can: the same operations
// in the same order as map() of one point, so the same values.
bool DeviceMapping::map(const double* x, const double* y, std::size_t count,
                        DevicePoint* out) const
{
    std::size_t i = 0;
    bool notNumber = false;
#ifdef KELVO_X86_VECTORS
    const Constants k{x1_, y1_, xScale_, yScale_, left_, bottom_};
    i = wideRegisters ? mapQuads(k, x, y, count, out, notNumber)
                      : mapPairs(k, x, y, count, out, notNumber);
#endif
    for (; i < count; ++i) {
        const MappedPoint point = map(x[i], y[i]);
        out[i] = point.at;
        notNumber = notNumber || !point.valid;
    }
    return !notNumber;
}
