#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "device/DeviceMapping.h"
#include "device/Projection.h"
#include "render/MeshHeights.h"
#include "render/MeshLattice.h"
#include "render/SeenSamples.h"

// One thread's view of the mesh, a piece of a line at a time: the piece's
// samples projected and mapped to the device from their heights and the
// lattice's points, then seen against the horizons.
class PieceSeer {
public:
    static constexpr std::size_t piece = 1024;

    PieceSeer(MeshHeights& heights, const MeshLattice& lattice, const Projection& projection,
              const DeviceMapping& mapping)
        : heights_(heights), lattice_(lattice), p_(projection), mapping_(mapping)
    {
    }

    // Projects each piece of the line and hands it on as the index of its
    // first sample in the line and its count.
    // The heights of the piece after, in this line or at the start of the
    // next, are fetched from memory while a piece is seen (spread over the
    // samples, as a burst would wait on memory itself) and drawn.
    template <class Visit>
    void forEachPiece(MeshLattice::Line line, Visit&& visitPiece)
    {
        const std::span<const double> z = heights_.line(line);
        const auto length = static_cast<std::int64_t>(z.size());
        for (std::int64_t first = 0; first < length; first += piece) {
            const auto count = static_cast<std::size_t>(
                std::min<std::int64_t>(static_cast<std::int64_t>(piece), length - first));
            project(line, first, z.subspan(static_cast<std::size_t>(first), count));
            const auto after = static_cast<std::size_t>(first) + count;
            ahead_ = after < z.size() ? z.subspan(after) : following(line);
            visitPiece(first, count);
        }
    }

    // Samples from .. count - 1 of the piece against their columns'
    // horizons, sample i on upper[step i] and lower[step i]. The upper
    // side is seen above the upper horizon, the underside below the lower
    // one; a sample on a horizon is hidden. A height that is not a number
    // counts as above.
    template <int step>
    void see(std::size_t from, std::size_t count, double* upper, double* lower)
    {
        static_assert(step == 1 || step == -1);
        see(step, from, count, upper, lower);
    }

    SeenSamples samples() const { return {device_, seen_, allValid_ ? nullptr : valid_, z_}; }
    const double* worldY() const { return worldY_; }

private:
    // The products of the coordinate that runs along a line of constant y
    // (x) or of constant x (y) with the projection's factors: the same for
    // every line of the family, so made once, while they fit.
    struct AlongProducts {
        std::vector<double> forX, forY;
    };
    static constexpr std::int64_t maxAlongProducts = std::int64_t{1} << 18;

    void project(MeshLattice::Line line, std::int64_t first, std::span<const double> z);
    void see(int step, std::size_t from, std::size_t count, double* upper, double* lower);
    // The heights of the next line of the family, where they are kept
    // and computed (and so there to read without computing); empty
    // otherwise.
    std::span<const double> following(MeshLattice::Line line);
    void projectPoints(MeshLattice::Line line, std::int64_t first, std::span<const double> z);
    const AlongProducts* alongProducts(MeshLattice::Family family);
    // projectX and projectY with the products along the line made ahead,
    // in the same order of operations.
    void projectAlong(const AlongProducts& along, MeshLattice::Line line, std::size_t first,
                      std::span<const double> z);

    MeshHeights& heights_;
    const MeshLattice& lattice_;
    const Projection p_;
    const DeviceMapping mapping_;
    double x_[piece];
    double y_[piece];
    double worldX_[piece];
    double worldY_[piece];
    DevicePoint device_[piece];
    Seen seen_[piece];
    bool valid_[piece];
    bool allValid_ = true;
    // The piece's heights, where the heights keep them.
    const double* z_ = nullptr;
    std::span<const double> ahead_;
    AlongProducts alongX_, alongY_;
};

// The front boundary's heights as both horizons.
void frontHorizons(PieceSeer& seer, double* lower, double* upper);

// Line r of constant y runs right over the columns from nk - r k, line q
// of constant x left over those from nk + q k.
std::int64_t firstColumn(const MeshLattice& lattice, MeshLattice::Line line);
