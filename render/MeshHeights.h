#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "expr/ZFunction.h"
#include "render/MeshLattice.h"

// The heights of f at every sample of the renderer's mesh, computed a
// piece of a line at a time through any ZFunction and on all cores where
// OpenMP is there. The heights depend on f (a snapshot of it is kept) and
// on the lattice (box, m, n, k), and on nothing else, not on the tilt:
// while both give the same heights, kept heights are reused.
//
// When all the heights fit the memory budget they are computed at once
// and kept; beyond it the lines are computed on demand, as many
// consecutive lines of a family at a time as fit the budget (at least
// one), and nothing is kept between surfaces.
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

    // When heights that are kept are computed: all at once, on all cores;
    // or, where several threads are worth it, each line of constant y or x
    // when it is first asked for, by the thread that asks (the front at
    // once). Then two threads of one OpenMP team may ask for lines at the
    // same time, never for the same line.
    enum class Computing { AtOnce, AsAsked };

    // Makes these heights those of f over the lattice. True when they are
    // computed anew (or, beyond the budget, will be line by line); false
    // when the kept ones serve. An invalid lattice holds no heights.
    // Throws std::bad_alloc when not even one line fits in memory.
    bool prepare(const ZFunction& f, const MeshLattice& lattice,
                 Computing computing = Computing::AtOnce);

    // Whether all the heights are held at once.
    bool keepsAll() const { return keepsAll_; }

    // The heights of one line in the order of its samples. A span stays
    // valid until the next call of any of these or of prepare. An index
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
    // One thread's working memory.
    struct Worker {
        std::vector<double> x, y;
    };

    std::int64_t firstIndex(MeshLattice::Family family) const;
    void keepAll(Computing computing);
    std::size_t ordinal(MeshLattice::Line line) const;
    void computeLine(const Window& window, MeshLattice::Line line);
    void evaluate(MeshLattice::Line line, std::int64_t start, std::span<double> z,
                  Worker& worker) const;
    void computeWindow(MeshLattice::Family family, std::int64_t first);
    void compute();
    void prepareWorkers(int threads);

    Limits limits_;
    std::unique_ptr<ZFunction> f_;
    MeshLattice lattice_{0, 0, 0, 0, -1, -1, -1};
    bool keepsAll_ = false;
    std::vector<double> heights_;
    // Where each family lies in heights_: all three when keepsAll_, one
    // window otherwise.
    std::vector<Window> windows_;
    std::vector<Worker> workers_;
    // Computing as asked: whether each line (the front, then the lines of
    // constant y, then those of constant x) holds its heights yet; each
    // entry written only by the thread that computes its line.
    std::vector<std::uint8_t> lineReady_;
};
