#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

// Memory for a page's large buffers (its image's pixels, their palette
// indices), in 2 MiB pages where the system gives them for the asking
// (transparent huge pages in madvise mode, Debian's default): each page
// of 4 KiB first touched costs a new process some 10 to 20 microseconds,
// and an 800 x 600 page's pixels take 470 of them, where a 2 MiB page
// takes one touch. Below an eighth of a huge page, ordinary memory.

struct FreeHeld {
    void operator()(void* held) const;
};

// Bytes for the buffer, uninitialised; null when there is no memory.
std::unique_ptr<std::uint8_t[], FreeHeld> bytesInHugePages(std::size_t size);
