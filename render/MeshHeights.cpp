#include "render/MeshHeights.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <thread>

#ifdef _OPENMP
#include <omp.h>
#endif

#include "render/VectorRegisters.h"

namespace {

using Family = MeshLattice::Family;

constexpr Family families[] = {Family::Front, Family::ConstantY, Family::ConstantX};

// Samples per piece of work: long lines are shared between threads, short
// ones go whole. Taking a piece costs two atomic operations on memory the
// threads share, which pass between the cores: pieces of 512 samples
// gave the dense mesh's heights 1.46 times the speed on two threads,
// pieces of 4096, 1.9 times.
constexpr std::int64_t chunkSamples = 4096;
// Samples asked of the surface at once: a block of the expression's
// program, whose points and heights stay in the nearest cache.
constexpr std::int64_t blockSamples = 512;

std::int64_t piecesIn(std::int64_t length)
{
    return (length + chunkSamples - 1) / chunkSamples;
}

// A while on the processor, then the rest of the time slice to others: a
// piece is finished within microseconds unless its thread was preempted.
void pause(int& spins)
{
    if (++spins < 64) {
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
    } else {
        std::this_thread::yield();
    }
}

} // namespace

MeshHeights::MeshHeights(Limits limits) : limits_(limits) {}

std::int64_t MeshHeights::firstIndex(Family family) const
{
    return family == Family::Front ? 0 : 1;
}

bool MeshHeights::prepare(const ZFunction& f, const MeshLattice& lattice, When when)
{
    if (keepsAll_ && !failed_ && lattice == lattice_ && f_->sameHeights(f)) {
        if (when == When::Now && pending())
            compute();
        return false;
    }
    keepsAll_ = false;
    windows_.clear();
    pieces_.clear();
    nextPiece_ = 0;
    failed_ = false;
    failure_ = nullptr;
    f_ = f.snapshot();
    lattice_ = lattice;
    const auto bytes = static_cast<double>(lattice.samples()) * sizeof(double);
    if (lattice.valid() && bytes <= static_cast<double>(limits_.budgetBytes)) {
        try {
            keepAll(when);
            return true;
        } catch (const std::bad_alloc&) {
            keepsAll_ = false;
            windows_.clear();
            pieces_.clear();
            failed_ = false;
            failure_ = nullptr;
        }
    }
    // Window by window: the buffers are taken as the lines are asked for.
    heights_ = {};
    return true;
}

void MeshHeights::keepAll(When when)
{
    heights_.resize(static_cast<std::size_t>(lattice_.samples()));
    std::int64_t offset = 0, slot = 0;
    for (Family family : families) {
        windows_.push_back({family, firstIndex(family), lattice_.lines(family), offset, slot});
        offset += lattice_.lines(family) * lattice_.length(family);
        slot += lattice_.lines(family);
    }
    orderPieces();
    keepsAll_ = true;
    pendingThreads_ = threadsFor(lattice_.samples());
    if (when == When::Now || pendingThreads_ < 2)
        compute();
}

const MeshHeights::Window* MeshHeights::windowOf(MeshLattice::Line line) const
{
    for (const Window& w : windows_)
        if (w.family == line.family && line.index >= w.first && line.index < w.first + w.count)
            return &w;
    return nullptr;
}

std::span<const double> MeshHeights::heightsOf(const Window& window, MeshLattice::Line line) const
{
    const std::int64_t length = lattice_.length(line.family);
    const std::int64_t offset = window.offset + (line.index - window.first) * length;
    return {heights_.data() + offset, static_cast<std::size_t>(length)};
}

std::span<const double> MeshHeights::line(MeshLattice::Line line)
{
    const std::int64_t first = firstIndex(line.family);
    if (line.index < first || line.index >= first + lattice_.lines(line.family))
        throw std::out_of_range("MeshHeights: no such line");
    const Window* window = windowOf(line);
    if (window == nullptr) {
        computeWindow(line.family, line.index);
        window = &windows_.front();
    }
    waitFor(window->firstSlot + line.index - window->first);
    return heightsOf(*window, line);
}

std::span<const double> MeshHeights::lineIfComputed(MeshLattice::Line line) const
{
    const Window* window = keepsAll_ ? windowOf(line) : nullptr;
    if (window == nullptr ||
        piecesLeft_[static_cast<std::size_t>(window->firstSlot + line.index - window->first)]
                .load(std::memory_order_acquire) != 0)
        return {};
    return heightsOf(*window, line);
}

// As many lines from first on as fit the budget, at least that one.
void MeshHeights::computeWindow(Family family, std::int64_t first)
{
    const std::int64_t length = lattice_.length(family);
    const auto fitting = static_cast<std::int64_t>(limits_.budgetBytes / sizeof(double)) / length;
    const std::int64_t left = firstIndex(family) + lattice_.lines(family) - first;
    const std::int64_t count = std::clamp<std::int64_t>(fitting, 1, left);
    windows_.clear();
    heights_.resize(static_cast<std::size_t>(count * length));
    windows_.push_back({family, first, count, 0, 0});
    orderPieces();
    compute();
}

int MeshHeights::threadsFor(std::int64_t samples) const
{
#ifdef _OPENMP
    if (limits_.threads > 0)
        return limits_.threads;
    return samples < parallelFrom ? 1 : omp_get_max_threads();
#else
    (void)samples;
    return 1;
#endif
}

int MeshHeights::availableThreads()
{
#ifdef _OPENMP
    return omp_get_max_threads();
#else
    return 1;
#endif
}

// The front first, as every walk starts with it; then the lines of the
// other families by how far through its family each lies, so that the
// walks of both families, each on its own thread, find their next line
// at about the same time.
void MeshHeights::orderPieces()
{
    pieces_.clear();
    nextPiece_ = 0;
    failed_ = false;
    failure_ = nullptr;
    struct Due {
        double at;
        const Window* window;
        std::int64_t index;
    };
    std::vector<Due> lines;
    std::int64_t slots = 0, pieces = 0;
    for (const Window& w : windows_) {
        for (std::int64_t i = 0; i < w.count; ++i)
            lines.push_back({w.family == Family::Front ? -1.0 : static_cast<double>(i) / w.count,
                             &w, i});
        slots += w.count;
        pieces += w.count * piecesIn(lattice_.length(w.family));
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const Due& a, const Due& b) { return a.at < b.at; });
    piecesLeft_ = std::make_unique<std::atomic<std::int32_t>[]>(static_cast<std::size_t>(slots));
    pieces_.reserve(static_cast<std::size_t>(pieces));
    for (const Due& due : lines)
        addPieces(*due.window, due.index);
}

void MeshHeights::addPieces(const Window& window, std::int64_t index)
{
    const std::int64_t length = lattice_.length(window.family);
    const std::int64_t slot = window.firstSlot + index;
    double* z = heights_.data() + window.offset + index * length;
    for (std::int64_t start = 0; start < length; start += chunkSamples)
        pieces_.push_back({{window.family, window.first + index}, start,
                           std::min(chunkSamples, length - start), slot, z + start});
    piecesLeft_[static_cast<std::size_t>(slot)] = static_cast<std::int32_t>(piecesIn(length));
}

// All the pieces not yet taken, on the threads they are worth, so that
// the threads meet once.
void MeshHeights::compute()
{
    std::int64_t samples = 0;
    for (std::size_t i = nextPiece_; i < pieces_.size(); ++i)
        samples += pieces_[i].count;
    const auto left = static_cast<std::int64_t>(pieces_.size() - nextPiece_);
    const auto threads =
        static_cast<int>(std::clamp<std::int64_t>(threadsFor(samples), 1, std::max<std::int64_t>(left, 1)));
#ifdef _OPENMP
#pragma omp parallel num_threads(threads) if (threads > 1)
#else
    (void)threads;
#endif
    {
        try {
            computeRest();
        } catch (...) {
            // Kept, and thrown below.
        }
    }
    if (failed_)
        std::rethrow_exception(failure_);
}

void MeshHeights::computeAlongside(const std::function<void()>& work)
{
    if (!pending() || pendingThreads_ < 2) {
        work();
        return;
    }
    std::atomic<bool> done{false};
    std::exception_ptr failure;
#ifdef _OPENMP
#pragma omp parallel num_threads(pendingThreads_)
#endif
    {
#ifdef _OPENMP
        const int thread = omp_get_thread_num();
#else
        const int thread = 0;
#endif
        if (thread == 0) {
            try {
                work();
            } catch (...) {
                failure = std::current_exception();
            }
            done = true;
        } else {
            try {
                while (!done && computeNext()) {
                }
            } catch (...) {
                // Kept, and thrown to whoever asks for the line.
            }
        }
    }
    if (failure)
        std::rethrow_exception(failure);
}

void MeshHeights::computeRest()
{
    while (computeNext()) {
    }
}

// Takes the next piece and computes it; false when none is left.
bool MeshHeights::computeNext()
{
    const std::size_t next = nextPiece_.fetch_add(1, std::memory_order_relaxed);
    if (next >= pieces_.size())
        return false;
    const Piece& piece = pieces_[next];
    try {
        computePiece(piece);
    } catch (...) {
        const std::lock_guard<std::mutex> hold(failureLock_);
        if (!failure_)
            failure_ = std::current_exception();
        failed_ = true;
        throw;
    }
    piecesLeft_[static_cast<std::size_t>(piece.slot)].fetch_sub(1, std::memory_order_release);
    return true;
}

// Until the line's pieces are all computed, computing others meanwhile.
void MeshHeights::waitFor(std::int64_t slot)
{
    const std::atomic<std::int32_t>& left = piecesLeft_[static_cast<std::size_t>(slot)];
    int spins = 0;
    while (left.load(std::memory_order_acquire) != 0) {
        if (failed_) {
            const std::lock_guard<std::mutex> hold(failureLock_);
            std::rethrow_exception(failure_);
        }
        if (!computeNext())
            pause(spins);
    }
}

// The heights at the lattice's own points. A thread that has drawn may
// have left its vector registers in a state that slows what follows.
void MeshHeights::computePiece(const Piece& piece) const
{
    clearUpperVectorRegisters();
    double x[blockSamples], y[blockSamples];
    for (std::int64_t done = 0; done < piece.count; done += blockSamples) {
        const auto count = static_cast<std::size_t>(std::min(blockSamples, piece.count - done));
        lattice_.points(piece.line, piece.start + done, count, x, y);
        f_->heights({x, count}, {y, count}, {piece.z + done, count});
    }
}
