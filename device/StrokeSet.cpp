#include "device/StrokeSet.h"

#include <algorithm>
#include <new>

namespace {

// Starts small: the default page draws some 12 000 strokes.
constexpr std::size_t firstSlots = std::size_t{1} << 12;

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

} // namespace

StrokeSet::StrokeSet(std::size_t capacity) : capacity_(std::max<std::size_t>(capacity, 1)) {}

std::uint64_t StrokeSet::hashOf(const Slot& s)
{
    std::uint64_t h = mix(0, pair(s.x0, s.y0));
    h = mix(h, pair(s.x1, s.y1));
    h = mix(h, pair(static_cast<std::int32_t>(s.colour), s.width));
    return h ^ (h >> 29);
}

// The key's slot, or the empty slot where it would go.
StrokeSet::Slot* StrokeSet::find(const Slot& key)
{
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hashOf(key) & mask;; i = (i + 1) & mask) {
        Slot& slot = slots_[i];
        if (slot.empty() || slot == key)
            return &slot;
    }
}

void StrokeSet::grow()
{
    std::vector<Slot> old(slots_.empty() ? firstSlots : slots_.size() * 2);
    old.swap(slots_);
    for (const Slot& s : old)
        if (!s.empty())
            *find(s) = s;
}

bool StrokeSet::add(DevicePoint a, DevicePoint b, Pen pen)
{
    if (a == b)
        return false;
    if (b.x < a.x || (b.x == a.x && b.y < a.y))
        std::swap(a, b);
    const Slot key{a.x, a.y, b.x, b.y, pen.colour, pen.width};
    // At most half the slots are taken, so a search always ends.
    const bool full = size_ >= capacity_;
    if (!full && 2 * (size_ + 1) > slots_.size()) {
        try {
            grow();
        } catch (const std::bad_alloc&) {
            capacity_ = size_;
        }
    }
    if (slots_.empty())
        return true;
    Slot* slot = find(key);
    if (!slot->empty())
        return false;
    if (size_ < capacity_) {
        *slot = key;
        ++size_;
    }
    return true;
}
