#include "device/WideLanes.h"

// The processor's features are read first, as this may run before the
// runtime's own constructors have read them.
bool wideDeviceLanes()
{
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool wide = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return wide;
#else
    return false;
#endif
}
