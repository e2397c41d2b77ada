#include "render/SeenAhead.h"

#include <algorithm>
#include <new>
#include <optional>

#ifdef _OPENMP
#include <omp.h>
#endif

using Family = MeshLattice::Family;

SeenAhead::~SeenAhead() = default;

std::unique_ptr<SeenAhead> SeenAhead::make(PlotDevice& device, const Projection& view,
                                           MeshHeights& heights, const MeshLattice& lattice,
                                           const SurfacePens& pens, bool layered)
{
#ifdef _OPENMP
    const std::int64_t samples =
        lattice.lines(Family::ConstantX) * lattice.length(Family::ConstantX);
    if (!heights.keepsAll() || 2 * samples < worthFrom || omp_get_max_threads() < 2)
        return nullptr;
    try {
        auto ahead = std::unique_ptr<SeenAhead>(
            new SeenAhead(device, view, heights, lattice, pens, layered));
        if (ahead->layerLines_ == nullptr && !ahead->keep(static_cast<std::size_t>(samples)))
            return nullptr;
        return ahead;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
#else
    (void)device, (void)view, (void)heights, (void)lattice, (void)pens, (void)layered;
    return nullptr;
#endif
}

bool SeenAhead::see() noexcept
{
    try {
        if (layer_ != nullptr)
            layer_->clear();
        frontHorizons(seer_, lower_.get(), upper_.get());
        for (std::int64_t q = 1; q <= lattice_.lines(Family::ConstantX); ++q)
            seeLine({Family::ConstantX, q});
        if (layerLines_ != nullptr)
            layerLines_->endLine();
        return true;
    } catch (...) {
        return false;
    }
}

// The lines on the device after those of constant y; false when they
// are still to be drawn. A layer was drawn from the pen the device
// had when the surface began: it serves while the device still has it
// (the lines of constant y may have changed it only where it was not
// the pen of the surface's own index), or wherever colour bands set the
// pen of every line. The device then ends as the layer's lines did: at
// their point, and with the pens of their last underside selected, or
// with bands in their last pen.
bool SeenAhead::draw(PlotDevice& d, const SurfacePens& pens)
{
    if (layerLines_ != nullptr) {
        const bool banded = pens_.bands.choose();
        if (!banded && !(d.pen() == startPen_))
            return false;
        d.composeLayer(*layer_);
        if (banded) {
            d.lines().setPen(layerLines_->pen());
        } else if (anyBelow_) {
            d.selectPen(pens.index - 8);
            d.selectPen(pens.index);
        }
        d.moveTo(layerLines_->current());
        return true;
    }
    const auto length = static_cast<std::size_t>(lattice_.length(Family::ConstantX));
    for (std::int64_t q = 1; q <= lattice_.lines(Family::ConstantX); ++q) {
        const std::size_t at = static_cast<std::size_t>(q - 1) * length;
        const SeenSamples s{points_.get() + at, seen_.get() + at,
                            lineValid_[static_cast<std::size_t>(q - 1)] ? nullptr
                                                                        : valid_.get() + at,
                            heights_.line({Family::ConstantX, q}).data()};
        d.moveTo(s.point(0));
        drawSeen(d.lines(), pens, s, 1, length);
    }
    return true;
}

SeenAhead::SeenAhead(PlotDevice& device, const Projection& view, MeshHeights& heights,
                     const MeshLattice& lattice, const SurfacePens& pens, bool layered)
    : lattice_(lattice), heights_(heights), seer_(heights, lattice, view, device.mapping()),
      startPen_(device.pen()), pens_(pens)
{
    const auto columns = static_cast<std::size_t>(lattice.length(Family::Front));
    lower_ = std::make_unique_for_overwrite<double[]>(columns);
    upper_ = std::make_unique_for_overwrite<double[]>(columns);
    auto thin = [](std::optional<Pen> p) { return !p || p->width == 1; };
    if (layered && startPen_.width == 1 && thin(pens_.underside) && thin(pens_.surface) &&
        thin(pens_.bands.upper[0])) {
        layer_ = device.openLayer();
        if (layer_ != nullptr)
            layerLines_ = std::make_unique<LineDrawer>(&layer_->canvas(), device.lines());
    }
}

bool SeenAhead::keep(std::size_t samples)
{
    const double bytes = static_cast<double>(samples) *
                         (sizeof(DevicePoint) + sizeof(Seen) + sizeof(bool));
    if (bytes > static_cast<double>(budgetBytes))
        return false;
    points_ = std::make_unique_for_overwrite<DevicePoint[]>(samples);
    seen_ = std::make_unique_for_overwrite<Seen[]>(samples);
    valid_ = std::make_unique_for_overwrite<bool[]>(samples);
    lineValid_ = std::make_unique_for_overwrite<bool[]>(
        static_cast<std::size_t>(lattice_.lines(Family::ConstantX)));
    return true;
}

void SeenAhead::seeLine(MeshLattice::Line line)
{
    const std::int64_t column0 = firstColumn(lattice_, line);
    const auto at = static_cast<std::size_t>((line.index - 1) *
                                             lattice_.length(Family::ConstantX));
    seer_.forEachPiece(line, [&](std::int64_t first, std::size_t count) {
        const auto column = static_cast<std::ptrdiff_t>(column0 - first);
        const std::size_t from = first == 0 ? 1 : 0;
        seer_.see<-1>(from, count, upper_.get() + column, lower_.get() + column);
        const SeenSamples s = seer_.samples();
        if (layerLines_ != nullptr) {
            if (first == 0)
                layerLines_->moveTo(s.point(0));
            anyBelow_ = drawSeen(*layerLines_, pens_, s, from, count) || anyBelow_;
        } else {
            keepPiece(s, line.index, at + static_cast<std::size_t>(first), first, count);
        }
    });
}

void SeenAhead::keepPiece(const SeenSamples& s, std::int64_t q, std::size_t to, std::int64_t first,
               std::size_t count)
{
    bool& lineValid = lineValid_[static_cast<std::size_t>(q - 1)];
    if (first == 0)
        lineValid = true;
    std::copy_n(s.points, count, points_.get() + to);
    std::copy_n(s.seen, count, seen_.get() + to);
    if (s.valid == nullptr) {
        std::fill_n(valid_.get() + to, count, true);
    } else {
        std::copy_n(s.valid, count, valid_.get() + to);
        lineValid = false;
    }
}
