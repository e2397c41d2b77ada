#include "device/DeviceMapping.h"

#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#define KELVO_X86_VECTORS 1
#endif

#ifdef KELVO_X86_VECTORS
namespace {

static_assert(sizeof(DevicePoint) == 2 * sizeof(int));

// N doubles, N ints and 2N ints, in the processor's vector registers.
template <int N> struct Vectors {
    typedef double Doubles __attribute__((vector_size(N * sizeof(double))));
    typedef int Ints __attribute__((vector_size(N * sizeof(int))));
    typedef int IntPairs __attribute__((vector_size(2 * N * sizeof(int))));
};
template <int N> using Doubles = typename Vectors<N>::Doubles;
template <int N> using Ints = typename Vectors<N>::Ints;
template <int N> using IntPairs = typename Vectors<N>::IntPairs;

// truncToDevice lane by lane: a value that is not a number becomes 0,
// the rest are held to the bounds whose truncations are INT_MAX and
// INT_MIN, then truncated.
template <int N> [[gnu::always_inline]] inline Ints<N> truncToDevice(const Doubles<N>& v)
{
    const Doubles<N> number = v == v ? v : Doubles<N>{};
    const Doubles<N> below = number < 2147483647.0 ? number : 2147483647.0;
    return __builtin_convertvector(below > -2147483648.0 ? below : -2147483648.0, Ints<N>);
}

// The device points (x0, y0), (x1, y1) ... of N lanes of x and of y.
template <int N>
[[gnu::always_inline]] inline void storePoints(DevicePoint* out, const Ints<N>& x, const Ints<N>& y)
{
    IntPairs<N> points;
    if constexpr (N == 2)
        points = __builtin_shufflevector(x, y, 0, 2, 1, 3);
    else
        points = __builtin_shufflevector(x, y, 0, 4, 1, 5, 2, 6, 3, 7);
    std::memcpy(static_cast<void*>(out), &points, sizeof points);
}

struct Constants {
    double x1, y1, xScale, yScale, left, bottom;
};

// Points 0 .. count - 1, N at a time, as map() of one point takes them;
// the index it stopped at, and whether any was not a number. The
// constants are a copy, which the stores to out cannot reach.
template <int N>
[[gnu::always_inline]] inline std::size_t mapLanes(const Constants k, const double* x,
                                                   const double* y, std::size_t count,
                                                   DevicePoint* out, bool& notNumber)
{
    using Lanes = Doubles<N>;
    decltype(Lanes{} != Lanes{}) notNumbers{};
    std::size_t i = 0;
    for (; i + N <= count; i += N) {
        Lanes xs, ys;
        std::memcpy(&xs, x + i, sizeof xs);
        std::memcpy(&ys, y + i, sizeof ys);
        const Lanes dx = (xs - k.x1) * k.xScale;
        const Lanes dy = (ys - k.y1) * k.yScale;
        storePoints<N>(out + i, truncToDevice<N>(dx + k.left + 0.5),
                       truncToDevice<N>(k.bottom - dy + 0.5));
        notNumbers |= (dx != dx) | (dy != dy);
    }
    notNumber = false;
    for (int lane = 0; lane < N; ++lane)
        notNumber = notNumber || notNumbers[lane] != 0;
    return i;
}

std::size_t mapPairs(const Constants& k, const double* x, const double* y, std::size_t count,
                     DevicePoint* out, bool& notNumber)
{
    return mapLanes<2>(k, x, y, count, out, notNumber);
}

// Four at a time, where the processor has the wider registers.
__attribute__((target("avx2"))) std::size_t mapQuads(const Constants& k, const double* x,
                                                     const double* y, std::size_t count,
                                                     DevicePoint* out, bool& notNumber)
{
    return mapLanes<4>(k, x, y, count, out, notNumber);
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
