#pragma once
#include <cstddef>
#include <cstdint>
#include <utility>
#include <type_traits>

// A fixed number of cells, all their bytes zero at the start. A large
// array is mapped whole, its pages made present at once: a hash table
// touches every page of its cells, and a new process pays for each first
// touch of a page on its own (some microseconds each on a virtual
// machine), where making them all present in one call costs about as
// much as one touch. A small one comes from the heap.
template <class T>
class ZeroedCells {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

public:
    ZeroedCells() = default;
    // Throws std::bad_alloc when the memory cannot be had.
    explicit ZeroedCells(std::size_t count);
    ZeroedCells(ZeroedCells&& other) noexcept { swap(other); }
    ZeroedCells& operator=(ZeroedCells&& other) noexcept
    {
        ZeroedCells gone(std::move(other));
        swap(gone);
        return *this;
    }
    ~ZeroedCells() { release(); }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T& operator[](std::size_t i) { return cells_[i]; }
    const T* begin() const { return cells_; }
    const T* end() const { return cells_ + size_; }

    void swap(ZeroedCells& other) noexcept
    {
        std::swap(cells_, other.cells_);
        std::swap(size_, other.size_);
        std::swap(mapped_, other.mapped_);
    }

private:
    void release() noexcept;

    T* cells_ = nullptr;
    std::size_t size_ = 0;
    bool mapped_ = false;
};

namespace zeroed_cells {
// Zeroed bytes mapped whole, or null where the system will not; freed by
// unmap.
void* mapPresent(std::size_t bytes) noexcept;
void unmap(void* bytes, std::size_t count) noexcept;
// Arrays from this size up are mapped.
inline constexpr std::size_t mappedFrom = std::size_t{64} << 10;
} // namespace zeroed_cells

template <class T>
ZeroedCells<T>::ZeroedCells(std::size_t count) : size_(count)
{
    if (count >= zeroed_cells::mappedFrom / sizeof(T) && count <= SIZE_MAX / sizeof(T)) {
        cells_ = static_cast<T*>(zeroed_cells::mapPresent(count * sizeof(T)));
        mapped_ = cells_ != nullptr;
    }
    if (cells_ == nullptr)
        cells_ = new T[count]();
}

template <class T>
void ZeroedCells<T>::release() noexcept
{
    if (mapped_)
        zeroed_cells::unmap(cells_, size_ * sizeof(T));
    else
        delete[] cells_;
    cells_ = nullptr;
    size_ = 0;
    mapped_ = false;
}
