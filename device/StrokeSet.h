#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "device/Canvas.h"
#include "device/ZeroedCells.h"

// The strokes a page has drawn, so that none is drawn twice: a segment
// between two device points in a pen, whichever way it runs. A segment of
// no length is no stroke. The set holds at most `capacity` strokes (the
// default, half a million strokes, takes at most 24 MiB: a dense mesh of
// a million samples on a page of 800 x 600 draws some 160 000 strokes);
// once full, a stroke it does not hold is taken as new.
//
// Every page of memory a new process touches first costs it some 20
// microseconds, more than the searches, so the set is small: a stroke
// of a mesh's usual kind, within 32 767 pixels of the origin and less
// than 128 either way, in one of the page's first 65 535 pens, takes 8
// bytes, any other 24, in tables kept at most three quarters full. The
// default page's 12 400 strokes take 256 KiB.
class StrokeSet {
public:
    static constexpr std::size_t defaultCapacity = std::size_t{1} << 19;

    explicit StrokeSet(std::size_t capacity = defaultCapacity);

    // True the first time a stroke comes; false when it came before, or
    // has no length.
    bool add(DevicePoint a, DevicePoint b, Pen pen);
    std::size_t size() const { return size_; }

private:
    // A short stroke: its lesser end, the way to the other, the number of
    // its pen from 1 (0 is an empty cell).
    struct ShortStroke {
        // Tables start small: a page of a few lines takes a few pages of
        // memory, and long strokes are few (frames, axes, steep lines).
        static constexpr std::size_t firstCells = 4096;
        std::int16_t x = 0, y = 0;
        std::int8_t dx = 0, dy = 0;
        std::uint16_t pen = 0;
        bool operator==(const ShortStroke&) const = default;
        bool empty() const { return pen == 0; }
        std::uint64_t hash() const;
    };
    static_assert(sizeof(ShortStroke) == 8);
    // Any stroke whole, ends in order, the lesser first; all zero is an
    // empty cell (no stroke has two equal ends).
    struct LongStroke {
        static constexpr std::size_t firstCells = 256;
        std::int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        Colour colour = 0;
        std::int32_t width = 0;
        bool operator==(const LongStroke&) const = default;
        bool empty() const { return x0 == x1 && y0 == y1; }
        std::uint64_t hash() const;
    };
    // Open addressing with linear probing over a power of two of cells.
    template <class Stroke>
    struct Table {
        ZeroedCells<Stroke> cells;
        std::size_t size = 0;
        Stroke* find(const Stroke& key);
        void grow();
    };

    template <class Stroke>
    bool add(Table<Stroke>& table, const Stroke& key);
    // The pen's number from 1; 0 once 65 535 pens are numbered.
    std::uint16_t penNumber(Pen pen);
    std::uint16_t numberOf(Pen pen);

    std::size_t capacity_;
    std::size_t size_ = 0;
    Table<ShortStroke> short_;
    Table<LongStroke> long_;
    std::vector<Pen> pens_;
    std::uint16_t lastPen_ = 0;
};
