#include "render/VectorRegisters.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>

namespace {

__attribute__((target("avx"))) void zeroUpper()
{
    _mm256_zeroupper();
}

// Asked once, at load; the processor's features are read first, as this
// may run before the runtime's own constructors have read them.
bool hasWideRegisters()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx");
}

const bool wideRegisters = hasWideRegisters();

} // namespace

void clearUpperVectorRegisters()
{
    if (wideRegisters)
        zeroUpper();
}
#else
void clearUpperVectorRegisters() {}
#endif
