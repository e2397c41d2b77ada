#pragma once
#include <cmath>
#include <cstddef>
#include <span>

// A built-in function of one argument: its name, the computation, and
// where it is defined. Outside its domain (and for an argument that is
// not a number, which no domain holds) a point's evaluation fails and
// that point alone gets 0. Functions defined everywhere pass on whatever
// the computation gives, infinities and NaN included.
struct Builtin {
    const char* name;
    double (*function)(double);
    // Null for a function defined everywhere.
    bool (*inDomain)(double);
    // The computation over a block of points, with the same bits, where
    // one is faster than point by point; else null.
    void (*block)(const double* x, double* out, std::size_t count);
};

// The twelve built-ins in their fixed order.
std::span<const Builtin> builtins();

// The built-in whose name equals name, or null.
const Builtin* findBuiltin(const char* name);

// The division's rule: a divisor that is zero (of either sign) or not a
// number fails the point. Always inlined, as the block loops that use it
// are also built for wider registers than the rest.
[[gnu::always_inline]] inline bool divides(double divisor)
{
    return divisor != 0.0 && !__builtin_isnan(divisor);
}
