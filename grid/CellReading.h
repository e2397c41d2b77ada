#pragma once
// The loop behind cellHeightsFourLanes and cellHeightsEightLanes, written
// once for registers of any width: Lanes gives the few operations that
// differ. Everything here has internal linkage, so that nothing built for
// one set of registers can stand in for what is built for another.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "grid/CellHeights.h"
#include "grid/PlaceLanes.h"

namespace {

template <class Lanes>
struct CellLoop {
    using Doubles = typename Lanes::Doubles;
    using Placed = PlacedLanes<Lanes>;
    using Masks = typename Placed::Masks;
    using Ints = typename Lanes::Ints;
    static constexpr std::size_t width = sizeof(Doubles) / sizeof(double);

    static Doubles broadcast(double v) { return Doubles{} + v; }
    static Doubles load(const double* p)
    {
        Doubles v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }
    static Doubles between(Doubles a, Doubles b, Doubles t) { return a + t * (b - a); }

    // A piece of points placed: where the two pairs of values each point
    // reads start, and where it lies in its cell.
    struct Piece {
        static constexpr std::size_t points = 64, groups = points / width;
        alignas(64) std::int32_t first[points], second[points];
        Doubles columnT[groups], rowT[groups];
    };

    // The heights of one step of the storage are read two at a time
    // (pairs), along the columns when they are a step apart
    // (acrossColumns), along the rows otherwise, each pair from its lower
    // address: falling, the pair of a node is the node and the one before
    // it in memory.
    template <bool acrossColumns, bool falling>
    class Reading {
    public:
        explicit Reading(const SpreadCells& cells)
            : columns_(cells.columns), rows_(cells.rows), origin_(cells.origin),
              rowStep_(broadcast(static_cast<double>(cells.rowStep))),
              columnStep_(broadcast(static_cast<double>(cells.columnStep))),
              outside_(broadcast(static_cast<double>(cells.outside) - (falling ? 1 : 0)))
        {
        }

        // Group g of the piece. The far pairs of its first and last points
        // are asked for from memory at once: a line of the mesh that runs
        // nearly along the rows of a large grid steps to the next row
        // every few points, at an address no prefetcher foresees.
        void place(Piece& piece, std::size_t g, Doubles xs, Doubles ys) const
        {
            const Doubles zero{};
            const Placed column = placeRegister<Lanes>(columns_, xs);
            const Placed row = placeRegister<Lanes>(rows_, ys);
            const Masks inside = column.inside & row.inside;
            const Doubles node = row.node * rowStep_ + column.node * columnStep_;
            // A point on a node, or on a side along the other axis, reads
            // its own pair twice. A point outside reads the NaN past the
            // heights.
            const Doubles far = acrossColumns ? (row.onNode ? zero : rowStep_)
                                              : (column.onNode ? zero : columnStep_);
            const Doubles at = inside ? (falling ? node - 1.0 : node) : outside_;
            const Ints second = Lanes::indices(inside ? at + far : at);
            Lanes::store(piece.first + width * g, Lanes::indices(at));
            Lanes::store(piece.second + width * g, second);
            piece.columnT[g] = column.t;
            piece.rowT[g] = row.t;
            Lanes::fetchEnds(origin_, second);
        }

        // The heights of group g.
        Doubles heights(const Piece& piece, std::size_t g) const
        {
            Doubles z00, z01, z10, z11;
            if (acrossColumns) {
                pairs(piece.first + width * g, z00, z01);
                pairs(piece.second + width * g, z10, z11);
            } else {
                pairs(piece.first + width * g, z00, z10);
                pairs(piece.second + width * g, z01, z11);
            }
            return blend(z00, z01, z10, z11, piece.columnT[g], piece.rowT[g]);
        }

    private:
        void pairs(const std::int32_t* at, Doubles& first, Doubles& second) const
        {
            Doubles low, high;
            Lanes::pairs(origin_, at, low, high);
            first = falling ? high : low;
            second = falling ? low : high;
        }

        // Bilinear, each blend left out where its t is 0: a point on a
        // node or a side has the height of its own nodes alone.
        static Doubles blend(Doubles z00, Doubles z01, Doubles z10, Doubles z11, Doubles columnT,
                             Doubles rowT)
        {
            const Masks onColumn = columnT == 0.0;
            const Doubles low = onColumn ? z00 : between(z00, z01, columnT);
            const Doubles high = onColumn ? z10 : between(z10, z11, columnT);
            return rowT == 0.0 ? low : between(low, high, rowT);
        }

        GridAxis::Spread columns_, rows_;
        const double* origin_;
        Doubles rowStep_, columnStep_, outside_;
    };

    // A piece at a time: placed first, then read and blended, so that
    // what was asked for from memory has come by the time it is read.
    template <bool acrossColumns, bool falling>
    static std::size_t read(const SpreadCells& cells, const double* x, const double* y,
                            std::size_t count, double* z)
    {
        const Reading<acrossColumns, falling> reading(cells);
        Piece piece;
        std::size_t i = 0;
        while (count - i >= width) {
            const std::size_t groups = std::min(Piece::groups, (count - i) / width);
            for (std::size_t g = 0; g < groups; ++g)
                reading.place(piece, g, load(x + i + width * g), load(y + i + width * g));
            for (std::size_t g = 0; g < groups; ++g) {
                const Doubles heights = reading.heights(piece, g);
                std::memcpy(z + i + width * g, &heights, sizeof heights);
            }
            i += width * groups;
        }
        return i;
    }

    static std::size_t heights(const SpreadCells& cells, const double* x, const double* y,
                               std::size_t count, double* z)
    {
        const bool acrossColumns = cells.columnStep == 1 || cells.columnStep == -1;
        const bool falling = (acrossColumns ? cells.columnStep : cells.rowStep) < 0;
        if (acrossColumns)
            return falling ? read<true, true>(cells, x, y, count, z)
                           : read<true, false>(cells, x, y, count, z);
        return falling ? read<false, true>(cells, x, y, count, z)
                       : read<false, false>(cells, x, y, count, z);
    }
};

} // namespace
