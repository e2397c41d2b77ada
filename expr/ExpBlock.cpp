#include "expr/ExpBlock.h"

#include <math.h>

#include <array>

#include "expr/ExpFourWide.h"

namespace {

bool processorHasAvx2AndFma()
{
#if defined(__x86_64__) && defined(__GNUC__)
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0 && __builtin_cpu_supports("fma") != 0;
#else
    return false;
#endif
}

// Whether the four-wide loop gives the library's bits on points across
// exp's range: steps of about 0.18 from -746 to 710, each nudged by a
// varying fraction, and small ones. Where the library computes otherwise
// (its build without FMA, chosen on another processor or by a tunable,
// or another algorithm), some thousandths of such points differ at least.
bool sameAsTheLibrary()
{
#if defined(__x86_64__) && defined(__GNUC__)
    constexpr std::size_t count = 8192;
    std::array<double, count> x{}, wide{};
    for (std::size_t i = 0; i < count; ++i) {
        const double nudge = static_cast<double>((i * 2654435761u) % 1000003u) / 1000003.0;
        x[i] = i % 16 == 0 ? (nudge - 0.5) * 0x1p-50 : -746.0 + (static_cast<double>(i) + nudge) * 0.1778;
    }
    expFourWide(x.data(), wide.data(), count);
    for (std::size_t i = 0; i < count; ++i) {
        const double library = ::exp(x[i]);
        if (__builtin_memcmp(&library, &wide[i], sizeof library) != 0)
            return false;
    }
    return true;
#else
    return false;
#endif
}

} // namespace

bool fourWideExp()
{
    static const bool usable = processorHasAvx2AndFma() && sameAsTheLibrary();
    return usable;
}

void expBlock(const double* x, double* out, std::size_t count)
{
#if defined(__x86_64__) && defined(__GNUC__)
    if (count >= 4 && fourWideExp()) {
        expFourWide(x, out, count);
        return;
    }
#endif
    for (std::size_t i = 0; i < count; ++i)
        out[i] = ::exp(x[i]);
}
