#include "device/ZeroedCells.h"

#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#endif

namespace zeroed_cells {

void* mapPresent(std::size_t bytes) noexcept
{
#if defined(MAP_ANONYMOUS) && defined(MAP_POPULATE)
    void* at = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    return at == MAP_FAILED ? nullptr : at;
#else
    (void)bytes;
    return nullptr;
#endif
}

void unmap(void* bytes, std::size_t count) noexcept
{
#if defined(MAP_ANONYMOUS) && defined(MAP_POPULATE)
    ::munmap(bytes, count);
#else
    (void)bytes;
    (void)count;
#endif
}

} // namespace zeroed_cells
