#include "device/StrokeSet.h"

#include <algorithm>
#include <new>

namespace {

constexpr std::uint16_t mostPens = 0xffff;

std::uint64_t mix(std::uint64_t h, std::uint64_t v)
{
    h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    h ^= h >> 31;
    h *= 0xbf58476d1ce4e5b9ULL;
    return h;
}

std::uint64_t pair(std::int32_t a, std::int32_t b)
{
    return (std::uint64_t{static_cast<std::uint32_t>(a)} << 32) | static_cast<std::uint32_t>(b);
}

bool fitsEnd(int v)
{
    return v >= -32768 && v <= 32767;
}

bool fitsWay(long long d)
{
    return d >= -128 && d <= 127;
}

} // namespace

std::uint64_t StrokeSet::ShortStroke::hash() const
{
    const std::uint64_t h = mix(0, (std::uint64_t{static_cast<std::uint16_t>(x)} << 48) |
                                       (std::uint64_t{static_cast<std::uint16_t>(y)} << 32) |
                                       (std::uint64_t{static_cast<std::uint8_t>(dx)} << 24) |
                                       (std::uint64_t{static_cast<std::uint8_t>(dy)} << 16) | pen);
    return h ^ (h >> 29);
}

std::uint64_t StrokeSet::LongStroke::hash() const
{
    std::uint64_t h = mix(0, pair(x0, y0));
    h = mix(h, pair(x1, y1));
    h = mix(h, pair(static_cast<std::int32_t>(colour), width));
    return h ^ (h >> 29);
}

// The key's cell, or the empty cell where it would go.
template <class Stroke>
Stroke* StrokeSet::Table<Stroke>::find(const Stroke& key)
{
    const std::size_t mask = cells.size() - 1;
    for (std::size_t i = key.hash() & mask;; i = (i + 1) & mask) {
        Stroke& cell = cells[i];
        if (cell.empty() || cell == key)
            return &cell;
    }
}

template <class Stroke>
void StrokeSet::Table<Stroke>::grow()
{
    ZeroedCells<Stroke> old(cells.empty() ? Stroke::firstCells : cells.size() * 2);
    old.swap(cells);
    for (const Stroke& s : old)
        if (!s.empty())
            *find(s) = s;
}

StrokeSet::StrokeSet(std::size_t capacity) : capacity_(std::max<std::size_t>(capacity, 1)) {}

// A line's strokes come in one pen: the last pen's number is at hand.
std::uint16_t StrokeSet::penNumber(Pen pen)
{
    if (lastPen_ != 0 && pens_[lastPen_ - 1] == pen)
        return lastPen_;
    lastPen_ = numberOf(pen);
    return lastPen_;
}

std::uint16_t StrokeSet::numberOf(Pen pen)
{
    const auto found = std::find(pens_.begin(), pens_.end(), pen);
    if (found != pens_.end())
        return static_cast<std::uint16_t>(found - pens_.begin() + 1);
    if (pens_.size() >= mostPens)
        return 0;
    pens_.push_back(pen);
    return static_cast<std::uint16_t>(pens_.size());
}

// At most three quarters of a table's cells are taken, so a search
// always ends, after a few cells on average.
template <class Stroke>
bool StrokeSet::add(Table<Stroke>& table, const Stroke& key)
{
    const bool full = size_ >= capacity_;
    if (!full && 4 * (table.size + 1) > 3 * table.cells.size()) {
        try {
            table.grow();
        } catch (const std::bad_alloc&) {
            capacity_ = size_;
        }
    }
    if (table.cells.empty())
        return true;
    Stroke* cell = table.find(key);
    if (!cell->empty())
        return false;
    if (size_ < capacity_) {
        *cell = key;
        ++table.size;
        ++size_;
    }
    return true;
}

bool StrokeSet::add(DevicePoint a, DevicePoint b, Pen pen)
{
    if (a == b)
        return false;
    if (b.x < a.x || (b.x == a.x && b.y < a.y))
        std::swap(a, b);
    const long long dx = static_cast<long long>(b.x) - a.x;
    const long long dy = static_cast<long long>(b.y) - a.y;
    const bool isShort = fitsEnd(a.x) && fitsEnd(a.y) && fitsWay(dx) && fitsWay(dy);
    const std::uint16_t number = isShort ? penNumber(pen) : 0;
    if (number != 0)
        return add(short_, ShortStroke{static_cast<std::int16_t>(a.x), static_cast<std::int16_t>(a.y),
                                       static_cast<std::int8_t>(dx), static_cast<std::int8_t>(dy),
                                       number});
    return add(long_, LongStroke{a.x, a.y, b.x, b.y, pen.colour, pen.width});
}
