#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "expr/ZFunction.h"
#include "render/MeshLattice.h"

// The heights of a surface at every sample of the renderer's mesh, asked
// of its ZFunction a piece of a line at a time by all the machine's cores
// (OpenMP, where it is there). The heights depend on the surface and on
// the lattice (box, m, n, k), and on nothing else, not on the tilt: while
// both stay the same, kept heights are reused.
//
// When all the heights fit the memory budget they are kept. prepare
// computes them all before it returns, or, asked to, leaves them to be
// computed while the walk draws: the threads that walk the lines compute
// pieces in the order the walk needs them whenever the line they want is
// not yet there, and the others compute them all the while, so that the
// walk of the first lines overlaps the heights of the last. Beyond the
// budget the lines are computed on demand, as many consecutive lines of a
// family at a time as fit the budget (at least one), each window on all
// cores, and nothing is kept between surfaces.
class MeshHeights {
public:
    struct Limits {
        // Bytes of heights held at once.
        std::size_t budgetBytes = std::size_t{256} << 20;
        // Threads to compute with: 0 for every core from parallelFrom
        // samples on (one below), otherwise that many.
        int threads = 0;
    };
    // When prepare computes kept heights: before it returns, or as the
    // lines are asked for.
    enum class When { Now, AsAsked };

    MeshHeights() : MeshHeights(Limits{}) {}
    explicit MeshHeights(Limits limits);
    MeshHeights(const MeshHeights&) = delete;
    MeshHeights& operator=(const MeshHeights&) = delete;

    // Makes these heights those of f over the lattice. True when they are
    // computed anew (or are still to be); false when the kept ones serve.
    // With When::Now, or where one thread computes them, all that are kept
    // are computed before it returns; with When::AsAsked, where several
    // threads would, they are computed by computeRest() and by line(),
    // which may then be called from any number of threads at once. An
    // invalid lattice holds no heights. Throws std::bad_alloc when not
    // even one line fits in memory.
    bool prepare(const ZFunction& f, const MeshLattice& lattice, When when = When::Now);

    // Whether all the heights are held at once.
    bool keepsAll() const { return keepsAll_; }
    // Whether kept heights are still to be computed, and by how many
    // threads at most.
    bool pending() const { return nextPiece_.load(std::memory_order_relaxed) < pieces_.size(); }
    int pendingThreads() const { return pendingThreads_; }

    // Computes pieces still to be computed until none is left to take.
    // What computing one throws is thrown here, and again by whichever
    // thread asks for a line that it left out.
    void computeRest();
    // Runs work on the calling thread while the other threads the pending
    // heights are worth compute them, and returns once work is done and
    // each of them has finished its piece. What work throws is thrown
    // here; what a piece throws, to whoever asks for its line.
    void computeAlongside(const std::function<void()>& work);

    // The heights of one line in the order of its samples, computed first
    // where they are still to be (and other pieces, in order, while
    // another thread finishes one of this line). A span stays valid until
    // the next prepare, and, beyond the budget, until the next call of
    // any of these; while all are kept, several threads may ask for lines
    // at once. An index outside the lattice throws std::out_of_range.
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
    // The line's heights if they are kept and computed; empty otherwise.
    std::span<const double> lineIfComputed(MeshLattice::Line line) const;

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
    // The heights of consecutive lines of one family, one after another;
    // their lines counted from firstSlot among all the windows' lines.
    struct Window {
        MeshLattice::Family family = MeshLattice::Family::Front;
        std::int64_t first = 0;
        std::int64_t count = 0;
        std::int64_t offset = 0;
        std::int64_t firstSlot = 0;
    };
    // Samples start .. start + count - 1 of a line, and where their
    // heights go.
    struct Piece {
        MeshLattice::Line line;
        std::int64_t start;
        std::int64_t count;
        std::int64_t slot;
        double* z;
    };

    std::int64_t firstIndex(MeshLattice::Family family) const;
    void keepAll(When when);
    void computeWindow(MeshLattice::Family family, std::int64_t first);
    const Window* windowOf(MeshLattice::Line line) const;
    std::span<const double> heightsOf(const Window& window, MeshLattice::Line line) const;
    void orderPieces();
    void addPieces(const Window& window, std::int64_t index);
    void compute();
    bool computeNext();
    void waitFor(std::int64_t slot);
    void computePiece(const Piece& piece) const;

    Limits limits_;
    // What the heights are of: a snapshot of the last surface prepared.
    std::unique_ptr<ZFunction> f_;
    MeshLattice lattice_{0, 0, 0, 0, -1, -1, -1};
    bool keepsAll_ = false;
    std::vector<double> heights_;
    // Where each family lies in heights_: all three when keepsAll_, one
    // window otherwise.
    std::vector<Window> windows_;

    // The pieces of the windows' lines in the order the walk needs them,
    // the next to be taken, and how many of each line's are not yet
    // computed.
    std::vector<Piece> pieces_;
    std::atomic<std::size_t> nextPiece_{0};
    std::unique_ptr<std::atomic<std::int32_t>[]> piecesLeft_;
    int pendingThreads_ = 1;
    // What computing a piece threw, kept for the threads that wait for it.
    std::atomic<bool> failed_{false};
    std::mutex failureLock_;
    std::exception_ptr failure_;
};
