#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "expr/ZFunction.h"
#include "render/MeshLattice.h"

// The heights of a surface at every sample of the renderer's mesh, asked
// of its ZFunction a piece of a line at a time in one parallel loop over
// all the machine's cores (OpenMP, where it is there). The heights depend
// on the surface and on the lattice (box, m, n, k), and on nothing else,
// not on the tilt: while both stay the same, kept heights are reused.
//
// When all the heights fit the memory budget they are computed at once
// and kept; beyond it the lines are computed on demand, as many
// consecutive lines of a family at a time as fit the budget (at least
// one), each window on all cores, and nothing is kept between surfaces.
class MeshHeights {
public:
    struct Limits {
        // Bytes of heights held at once.
        std::size_t budgetBytes = std::size_t{256} << 20;
        // Threads to compute with: 0 for every core from parallelFrom
        // samples on (one below), otherwise that many.
        int threads = 0;
    };

    MeshHeights() : MeshHeights(Limits{}) {}
    explicit MeshHeights(Limits limits);

    // Makes these heights those of f over the lattice, all that are kept
    // computed before it returns. True when they are computed anew (or,
    // beyond the budget, will be window by window); false when the kept
    // ones serve. An invalid lattice holds no heights. Throws
    // std::bad_alloc when not even one line fits in memory.
    bool prepare(const ZFunction& f, const MeshLattice& lattice);

    // Whether all the heights are held at once.
    bool keepsAll() const { return keepsAll_; }

    // The heights of one line in the order of its samples. A span stays
    // valid until the next call of any of these or of prepare; while all
    // are kept, several threads may ask for lines at once. An index
    // outside the lattice throws std::out_of_range.
    std::span<const double> front() { return line({MeshLattice::Family::Front, 0}); }
    std::span<const double> lineOfConstantY(std::int64_t r)
    {
        return line({MeshLattice::Family::ConstantY, r});
    }
    std::span<const double> lineOfConstantX(std::int64_t q)
    {
        return line({MeshLattice::Family::ConstantX, q});
    }
    std::span<const double> line(MeshLattice::Line line);

    // The threads worth computing this many samples with: every core from
    // parallelFrom samples on unless the limits say how many.
    int threadsFor(std::int64_t samples) const;
    // The threads there are to compute with: OpenMP's count (set by
    // OMP_NUM_THREADS, else every core), 1 without OpenMP.
    static int availableThreads();

    // Below this many samples one thread is quicker than waking others:
    // the default page (about 16 000 samples) takes 0.6 ms on one thread,
    // and several when the other core is busy and a woken thread waits
    // for it.
    static constexpr std::int64_t parallelFrom = std::int64_t{1} << 18;

private:
    // The heights of consecutive lines of one family, one after another.
    struct Window {
        MeshLattice::Family family = MeshLattice::Family::Front;
        std::int64_t first = 0;
        std::int64_t count = 0;
        std::int64_t offset = 0;
    };

    std::int64_t firstIndex(MeshLattice::Family family) const;
    void keepAll();
    void computeWindow(MeshLattice::Family family, std::int64_t first);
    void compute();
    void computePiece(MeshLattice::Line line, std::int64_t start, std::span<double> z) const;

    Limits limits_;
    // What the heights are of: a snapshot of the last surface prepared.
    std::unique_ptr<ZFunction> f_;
    MeshLattice lattice_{0, 0, 0, 0, -1, -1, -1};
    bool keepsAll_ = false;
    std::vector<double> heights_;
    // Where each family lies in heights_: all three when keepsAll_, one
    // window otherwise.
    std::vector<Window> windows_;
};
