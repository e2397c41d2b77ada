#include "render/KeptWalk.h"

#include <algorithm>
#include <exception>
#include <memory>

#ifdef _OPENMP
#include <omp.h>
#endif

#include "render/MeshHeights.h"
#include "render/MeshLattice.h"
#include "render/PieceSeer.h"
#include "render/SeenAhead.h"
#include "render/SeenSamples.h"

namespace {

using Family = MeshLattice::Family;

// The walk on this thread, drawing as it goes.
class KeptWalk {
public:
    KeptWalk(PlotDevice& device, const Projection& view, MeshHeights& heights,
             const MeshLattice& lattice, std::vector<double>& lower, std::vector<double>& upper,
             SurfaceStyle style)
        : d_(device), lattice_(lattice), lower_(lower), upper_(upper),
          pens_(SurfacePens::of(device, style.hiddenPen,
                                HeightBands(style.bands, view.box.z1, view.box.z2))),
          seer_(heights, lattice, view, device.mapping())
    {
    }

    // The front boundary sets both horizons; drawn, or in the reset only
    // computed.
    void frontBoundary(bool draw)
    {
        seer_.forEachPiece({Family::Front, 0}, [&](std::int64_t first, std::size_t count) {
            const SeenSamples s = seer_.samples();
            std::size_t i = 0;
            if (first == 0) {
                d_.moveTo(s.point(0));
                i = 1;
            }
            if (draw)
                drawUpperSide(d_.lines(), pens_, s, i, count);
            std::copy_n(seer_.worldY(), count, lower_.data() + first);
            std::copy_n(seer_.worldY(), count, upper_.data() + first);
        });
    }

    void linesOfConstantY()
    {
        for (std::int64_t r = 1; r <= lattice_.lines(Family::ConstantY); ++r)
            line<1>({Family::ConstantY, r});
    }

    void linesOfConstantX()
    {
        for (std::int64_t q = 1; q <= lattice_.lines(Family::ConstantX); ++q)
            line<-1>({Family::ConstantX, q});
    }

    const SurfacePens& pens() const { return pens_; }

private:
    // Each line starts with a move; sample i lies on column column0 + step i.
    template <int step>
    void line(MeshLattice::Line line)
    {
        const std::int64_t column0 = firstColumn(lattice_, line);
        seer_.forEachPiece(line, [&](std::int64_t first, std::size_t count) {
            const auto column = static_cast<std::ptrdiff_t>(column0 + step * first);
            const SeenSamples s = seer_.samples();
            std::size_t i = 0;
            if (first == 0) {
                d_.moveTo(s.point(0));
                i = 1;
            }
            seer_.see<step>(i, count, upper_.data() + column, lower_.data() + column);
            drawSeen(d_.lines(), pens_, s, i, count);
        });
    }

    PlotDevice& d_;
    const MeshLattice& lattice_;
    std::vector<double>& lower_;
    std::vector<double>& upper_;
    const SurfacePens pens_;
    PieceSeer seer_;
};

} // namespace

// Where heights are still to be computed, every thread the heights are
// worth takes part: the calling thread walks the lines of constant y, a
// second one sees those of constant x ahead where that is worth it, and
// each computes heights whenever the line it wants is not yet there; the
// rest compute heights until none are left.
void walkKeptHeights(PlotDevice& device, const Projection& view, MeshHeights& heights,
                     const MeshLattice& lattice, std::vector<double>& lower,
                     std::vector<double>& upper, SurfaceStyle style)
{
    using Lines = SurfaceStyle::Lines;
    const bool constantY = style.lines != Lines::ConstantX;
    const bool constantX = style.lines != Lines::ConstantY;
    auto walk = std::make_unique<KeptWalk>(device, view, heights, lattice, lower, upper, style);
    // Lines to hidden samples are drawn through the device: their pens
    // would leave it other than a layer can tell.
    const std::unique_ptr<SeenAhead> ahead =
        constantX ? SeenAhead::make(device, view, heights, lattice, walk->pens(),
                                    style.hiddenPen == 0)
                  : nullptr;
    const int threads = heights.pending() ? heights.pendingThreads() : ahead != nullptr ? 2 : 1;
    bool seenAhead = false;
    if (threads > 1) {
        // The device is drawn on by the calling thread alone.
        std::exception_ptr failure;
#ifdef _OPENMP
#pragma omp parallel num_threads(threads)
#endif
        {
#ifdef _OPENMP
            const int thread = omp_get_thread_num();
#else
            const int thread = 0;
#endif
            try {
                if (thread == 0) {
                    walk->frontBoundary(true);
                    if (constantY)
                        walk->linesOfConstantY();
                } else if (thread == 1 && ahead != nullptr) {
                    seenAhead = ahead->see();
                }
                heights.computeRest();
            } catch (...) {
                // A height that failed is thrown again to whoever asks for
                // its line.
                if (thread == 0)
                    failure = std::current_exception();
            }
        }
        if (failure)
            std::rethrow_exception(failure);
    } else {
        walk->frontBoundary(true);
        if (constantY)
            walk->linesOfConstantY();
    }
    if (!constantX)
        return;
    walk->frontBoundary(false);
    if (!seenAhead || !ahead->draw(device, walk->pens()))
        walk->linesOfConstantX();
}
