#include "platform/HugePages.h"

#include <cstdlib>

#include <sys/mman.h>

namespace {

constexpr std::size_t hugePage = std::size_t{2} << 20;

} // namespace

void FreeHeld::operator()(void* held) const
{
    std::free(held);
}

std::unique_ptr<std::uint8_t[], FreeHeld> bytesInHugePages(std::size_t size)
{
    if (size < hugePage / 8)
        return std::unique_ptr<std::uint8_t[], FreeHeld>(
            static_cast<std::uint8_t*>(std::malloc(size > 0 ? size : 1)));
    if (size > SIZE_MAX - hugePage)
        return nullptr;
    const std::size_t whole = (size + hugePage - 1) / hugePage * hugePage;
    void* bytes = std::aligned_alloc(hugePage, whole);
    if (bytes != nullptr)
        ::madvise(bytes, whole, MADV_HUGEPAGE);
    return std::unique_ptr<std::uint8_t[], FreeHeld>(static_cast<std::uint8_t*>(bytes));
}
