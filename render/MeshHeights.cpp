#include "render/MeshHeights.h"

#include <algorithm>
#include <exception>
#include <new>
#include <stdexcept>

#ifdef _OPENMP
#include <omp.h>
#endif

namespace {

using Family = MeshLattice::Family;

constexpr Family families[] = {Family::Front, Family::ConstantY, Family::ConstantX};

// Samples per piece of work: long lines are shared between threads, short
// ones go whole. A block of the expression's program.
constexpr std::int64_t chunkSamples = 512;

} // namespace

MeshHeights::MeshHeights(Limits limits) : limits_(limits) {}

std::int64_t MeshHeights::firstIndex(Family family) const
{
    return family == Family::Front ? 0 : 1;
}

bool MeshHeights::prepare(const ZFunction& f, const MeshLattice& lattice)
{
    if (keepsAll_ && lattice == lattice_ && f_->sameHeights(f))
        return false;
    keepsAll_ = false;
    windows_.clear();
    f_ = f.snapshot();
    lattice_ = lattice;
    const auto bytes = static_cast<double>(lattice.samples()) * sizeof(double);
    if (lattice.valid() && bytes <= static_cast<double>(limits_.budgetBytes)) {
        try {
            keepAll();
            return true;
        } catch (const std::bad_alloc&) {
            windows_.clear();
        }
    }
    // Window by window: the buffers are taken as the lines are asked for.
    heights_ = {};
    return true;
}

void MeshHeights::keepAll()
{
    heights_.resize(static_cast<std::size_t>(lattice_.samples()));
    std::int64_t offset = 0;
    for (Family family : families) {
        windows_.push_back({family, firstIndex(family), lattice_.lines(family), offset});
        offset += lattice_.lines(family) * lattice_.length(family);
    }
    compute();
    keepsAll_ = true;
}

std::span<const double> MeshHeights::line(MeshLattice::Line line)
{
    const std::int64_t first = firstIndex(line.family);
    if (line.index < first || line.index >= first + lattice_.lines(line.family))
        throw std::out_of_range("MeshHeights: no such line");
    auto holds = [&](const Window& w) {
        return w.family == line.family && line.index >= w.first && line.index < w.first + w.count;
    };
    auto window = std::find_if(windows_.begin(), windows_.end(), holds);
    if (window == windows_.end()) {
        computeWindow(line.family, line.index);
        window = windows_.begin();
    }
    const std::int64_t length = lattice_.length(line.family);
    const std::int64_t offset = window->offset + (line.index - window->first) * length;
    return {heights_.data() + offset, static_cast<std::size_t>(length)};
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
    windows_.push_back({family, first, count, 0});
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

// The heights of samples start .. start + z.size() - 1 of the line, at
// the lattice's own points.
void MeshHeights::computePiece(MeshLattice::Line line, std::int64_t start,
                               std::span<double> z) const
{
    double x[chunkSamples], y[chunkSamples];
    lattice_.points(line, start, z.size(), x, y);
    f_->heights({x, z.size()}, {y, z.size()}, z);
}

// All the windows in one parallel loop over pieces of lines, so that the
// threads meet once. What a piece throws ends the loop's work and is
// thrown again after it.
void MeshHeights::compute()
{
    std::vector<std::int64_t> firstChunk{0};
    std::int64_t samples = 0;
    for (const Window& window : windows_) {
        const std::int64_t length = lattice_.length(window.family);
        firstChunk.push_back(firstChunk.back() +
                             window.count * ((length + chunkSamples - 1) / chunkSamples));
        samples += window.count * length;
    }
    const std::int64_t chunks = firstChunk.back();
    const auto threads = static_cast<int>(std::min<std::int64_t>(threadsFor(samples), chunks));
    std::exception_ptr failure;
#ifdef _OPENMP
#pragma omp parallel for num_threads(threads) if (threads > 1) schedule(dynamic)
#else
    (void)threads;
#endif
    for (std::int64_t c = 0; c < chunks; ++c) {
        std::size_t w = 0;
        while (c >= firstChunk[w + 1])
            ++w;
        const Window& window = windows_[w];
        const std::int64_t length = lattice_.length(window.family);
        const std::int64_t perLine = (length + chunkSamples - 1) / chunkSamples;
        const std::int64_t lineIndex = (c - firstChunk[w]) / perLine;
        const std::int64_t start = (c - firstChunk[w]) % perLine * chunkSamples;
        const auto count = static_cast<std::size_t>(std::min(chunkSamples, length - start));
        const MeshLattice::Line line{window.family, window.first + lineIndex};
        const std::span<double> z(heights_.data() + window.offset + lineIndex * length + start,
                                  count);
        try {
            computePiece(line, start, z);
        } catch (...) {
#ifdef _OPENMP
#pragma omp critical(kelvoMeshHeightsFailure)
#endif
            if (!failure)
                failure = std::current_exception();
        }
    }
    if (failure)
        std::rethrow_exception(failure);
}
