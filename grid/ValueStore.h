#pragma once
#include <algorithm>
#include <cstdint>
#include <cstddef>
#include <limits>
#include <span>
#include <vector>

#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#endif

// Asks the system to back the memory of a large array, not yet touched,
// with large pages where it can: points of a mesh line crossing the rows
// of a large grid are a row apart, a page apart with small pages.
inline void adviseLargePages(void* data, std::size_t bytes)
{
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t large = std::uintptr_t{2} << 20;
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + large - 1) & ~(large - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(large - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

// Values appended while a file is read, held in pieces of a fixed size so
// that growing never copies what is held, then made one array of exactly
// their number.
class ValueStore {
public:
    static constexpr std::size_t pieceSize = std::size_t{1} << 16;

    std::size_t size() const { return size_; }

    void append(std::span<const double> values)
    {
        while (!values.empty()) {
            // A piece grows as a vector does up to its size, so that a
            // small file takes little.
            if (pieces_.empty() || pieces_.back().size() == pieceSize)
                pieces_.emplace_back();
            std::vector<double>& piece = pieces_.back();
            const std::size_t n = std::min(values.size(), pieceSize - piece.size());
            piece.insert(piece.end(), values.begin(), values.begin() + static_cast<std::ptrdiff_t>(n));
            values = values.subspan(n);
            size_ += n;
        }
    }

    double operator[](std::size_t i) const { return pieces_[i / pieceSize][i % pieceSize]; }

    // All the values as one array, after `before` NaN and followed by
    // `after`; the store is empty afterwards. Each piece is let go as soon
    // as it is copied.
    std::vector<double> take(std::size_t before = 0, std::size_t after = 0)
    {
        constexpr double none = std::numeric_limits<double>::quiet_NaN();
        std::vector<double> all;
        all.reserve(before + size_ + after);
        adviseLargePages(all.data(), all.capacity() * sizeof(double));
        all.insert(all.end(), before, none);
        for (std::vector<double>& piece : pieces_) {
            all.insert(all.end(), piece.begin(), piece.end());
            piece = {};
        }
        all.insert(all.end(), after, none);
        pieces_.clear();
        size_ = 0;
        return all;
    }

private:
    std::vector<std::vector<double>> pieces_;
    std::size_t size_ = 0;
};
