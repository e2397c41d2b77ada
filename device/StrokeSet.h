#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "device/Canvas.h"

// The strokes a page has drawn, so that none is drawn twice: a segment
// between two device points in a pen, whichever way it runs. A segment of
// no length is no stroke. The set holds at most `capacity` strokes, in
// twice as many slots of 24 bytes (the default, half a million strokes,
// takes at most 24 MiB: a dense mesh of a million samples on a page of
// 800 x 600 draws some 160 000 strokes); once full, a stroke it does not
// hold is taken as new.
class StrokeSet {
public:
    static constexpr std::size_t defaultCapacity = std::size_t{1} << 19;

    explicit StrokeSet(std::size_t capacity = defaultCapacity);

    // True the first time a stroke comes; false when it came before, or
    // has no length.
    bool add(DevicePoint a, DevicePoint b, Pen pen);
    std::size_t size() const { return size_; }

private:
    // Ends in order, the lesser first; all zero is an empty slot (no
    // stroke has two equal ends).
    struct Slot {
        std::int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        Colour colour = 0;
        std::int32_t width = 0;
        bool operator==(const Slot&) const = default;
        bool empty() const { return x0 == x1 && y0 == y1; }
    };

    static std::uint64_t hashOf(const Slot& s);
    Slot* find(const Slot& key);
    void grow();

    std::size_t capacity_;
    std::size_t size_ = 0;
    std::vector<Slot> slots_;
};
