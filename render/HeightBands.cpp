#include "render/HeightBands.h"

#include <algorithm>
#include <cfloat>

namespace {

// The quotients of a piece, then each kept within 0 .. last (not a number
// to 0) and cut to an integer, in loops without branches that the
// compiler gives vector registers; the same operations in the same order
// as bandOf, so the same values.
[[gnu::always_inline]] inline void ordinaryBands(const double* z, std::size_t count, double n,
                                                 double z1, double extent, double last,
                                                 std::uint8_t* bands)
{
    constexpr std::size_t piece = 256;
    double q[piece];
    for (std::size_t first = 0; first < count; first += piece) {
        const std::size_t m = std::min(piece, count - first);
        const double* zp = z + first;
        std::uint8_t* bp = bands + first;
        for (std::size_t i = 0; i < m; ++i)
            q[i] = n * (zp[i] - z1) / extent;
        for (std::size_t i = 0; i < m; ++i) {
            const double low = q[i] >= 0 ? q[i] : 0.0;
            bp[i] = static_cast<std::uint8_t>(static_cast<int>(low < last ? low : last));
        }
    }
}

void narrowBands(const double* z, std::size_t count, double n, double z1, double extent,
                 double last, std::uint8_t* bands)
{
    ordinaryBands(z, count, n, z1, extent, last, bands);
}

#if defined(__x86_64__) && defined(__GNUC__)
// Four lanes a register where the processor has them: half the time of
// two on a dense mesh's million heights.
[[gnu::target("avx2")]] void wideBands(const double* z, std::size_t count, double n, double z1,
                                       double extent, double last, std::uint8_t* bands)
{
    ordinaryBands(z, count, n, z1, extent, last, bands);
}

// Asked once, at load; the processor's features are read first, as this
// may run before the runtime's own constructors have read them.
auto* chooseBands()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? &wideBands : &narrowBands;
}
#else
auto* chooseBands()
{
    return &narrowBands;
}
#endif

void (*const bandsOfOrdinaryBox)(const double*, std::size_t, double, double, double, double,
                                 std::uint8_t*) = chooseBands();

} // namespace

// Whenever the box's extent times 2N stays within the double range, a
// quotient that passes the range is one whose true value lies beyond
// 0 .. N on the same side, so it needs no forming on halves; larger
// boxes take bandOf sample by sample.
void HeightBands::bandsOf(const double* z, std::size_t count, std::uint8_t* bands) const
{
    if (count_ == 0 || z2_ == z1_) {
        std::fill_n(bands, count, std::uint8_t{0});
        return;
    }
    const double n = count_, extent = z2_ - z1_;
    if (!(std::abs(extent) <= DBL_MAX / (2 * n))) {
        for (std::size_t i = 0; i < count; ++i)
            bands[i] = static_cast<std::uint8_t>(bandOf(z[i]));
        return;
    }
    bandsOfOrdinaryBox(z, count, n, z1_, extent, count_ - 1, bands);
}
