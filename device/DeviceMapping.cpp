#include "device/DeviceMapping.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#if defined(__SSE2__)
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

} // namespace
#endif

// Two points at a time where the processor can: the same operations in
// the same order as map() of one point, so the same values.
bool DeviceMapping::map(const double* x, const double* y, std::size_t count,
                        DevicePoint* out) const
{
    std::size_t i = 0;
    bool valid = true;
#if defined(__SSE2__)
    const __m128d x1 = _mm_set1_pd(x1_), y1 = _mm_set1_pd(y1_);
    const __m128d xScale = _mm_set1_pd(xScale_), yScale = _mm_set1_pd(yScale_);
    const __m128d left = _mm_set1_pd(left_), bottom = _mm_set1_pd(bottom_);
    const __m128d half = _mm_set1_pd(0.5);
    __m128d notNumbers = _mm_setzero_pd();
    for (; i + 2 <= count; i += 2) {
        const __m128d dx = _mm_mul_pd(_mm_sub_pd(_mm_loadu_pd(x + i), x1), xScale);
        const __m128d dy = _mm_mul_pd(_mm_sub_pd(_mm_loadu_pd(y + i), y1), yScale);
        const __m128i deviceX = truncToDevice2(_mm_add_pd(_mm_add_pd(dx, left), half));
        const __m128i deviceY = truncToDevice2(_mm_add_pd(_mm_sub_pd(bottom, dy), half));
        const __m128i points = _mm_unpacklo_epi32(deviceX, deviceY);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), points);
        notNumbers = _mm_or_pd(notNumbers, _mm_cmpunord_pd(dx, dy));
    }
    valid = _mm_movemask_pd(notNumbers) == 0;
#endif
    for (; i < count; ++i) {
        const MappedPoint point = map(x[i], y[i]);
        out[i] = point.at;
        valid = valid && point.valid;
    }
    return valid;
}
