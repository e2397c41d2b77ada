#include "device/DeviceMapping.h"

#if defined(__x86_64__) && defined(__GNUC__)
#define KELVO_X86_VECTORS 1
#endif

#ifdef KELVO_X86_VECTORS
#include "device/MappingLanes.h"
#include "device/WideLanes.h"
#endif

// Several points at a time where the processor can: the same operations
// in the same order as map() of one point, so the same values.
bool DeviceMapping::map(const double* x, const double* y, std::size_t count,
                        DevicePoint* out) const
{
    std::size_t i = 0;
    bool notNumber = false;
#ifdef KELVO_X86_VECTORS
    const MappingConstants k{x1_, y1_, xScale_, yScale_, left_, bottom_};
    i = wideDeviceLanes() ? mapFourLanes(k, x, y, count, out, notNumber)
                          : mapLanes<TwoLanes>(k, x, y, count, out, notNumber);
#endif
    for (; i < count; ++i) {
        const MappedPoint point = map(x[i], y[i]);
        out[i] = point.at;
        notNumber = notNumber || !point.valid;
    }
    return !notNumber;
}
