#include "render/SeenAhead.h"

#include <algorithm>
#include <new>
#include <optional>

using Family = MeshLattice::Family;

// The lines of constant x drawn on a layer of thin lines on a raster,
// where only the segments drawn and their pens make the picture: the
// device's moves and lines come down to its current point, whether that
// came from numbers, and its pen, with the pens its selections give.
class LayerLine {
public:
    LayerLine(Canvas& canvas, Pen pen, std::optional<Pen> below, std::optional<Pen> surface)
        : canvas_(canvas), pen_(pen), below_(below), surface_(surface)
    {
    }

    void moveTo(MappedPoint p)
    {
        current_ = p.at;
        valid_ = p.valid;
    }

    void lineTo(MappedPoint p, Pen pen)
    {
        if (valid_ && p.valid)
            canvas_.segment(current_, p.at, pen);
        moveTo(p);
    }

    // Samples from .. count - 1, as drawSeen hands them to the device.
    void draw(const SeenSamples& s, std::size_t from, std::size_t count)
    {
        if (s.valid != nullptr) {
            for (std::size_t i = from; i < count; ++i)
                drawSample(s, i);
            return;
        }
        forEachRun(s.seen, from, count, [&](Seen seen, std::size_t i, std::size_t end) {
            if (seen == Seen::Above && valid_) {
                // From the current point, which is the sample before the
                // run, or before the piece.
                if (i == 0)
                    lineTo(s.point(0), pen_);
                const std::size_t start = i == 0 ? 0 : i - 1;
                if (end - start >= 2)
                    canvas_.polyline({s.points + start, end - start}, pen_);
                moveTo({s.points[end - 1], true});
            } else if (seen == Seen::Hidden) {
                moveTo({s.points[end - 1], true});
            } else {
                for (std::size_t j = i; j < end; ++j)
                    drawSample(s, j);
            }
        });
    }

    bool anyBelow() const { return anyBelow_; }
    MappedPoint current() const { return {current_, valid_}; }

private:
    // selectPen(pen - 8), lineTo, selectPen(pen), as the device does them.
    void drawSample(const SeenSamples& s, std::size_t i)
    {
        switch (s.seen[i]) {
        case Seen::Above: lineTo(s.point(i), pen_); break;
        case Seen::Below: {
            const Pen pen = below_.value_or(pen_);
            lineTo(s.point(i), pen);
            pen_ = surface_.value_or(pen);
            anyBelow_ = true;
            break;
        }
        case Seen::Hidden: moveTo(s.point(i)); break;
        }
    }

    Canvas& canvas_;
    Pen pen_;
    const std::optional<Pen> below_, surface_;
    DevicePoint current_;
    bool valid_ = false;
    bool anyBelow_ = false;
};

SeenAhead::~SeenAhead() = default;

std::unique_ptr<SeenAhead> SeenAhead::make(PlotDevice& device, MeshHeights& heights,
                                       const MeshLattice& lattice)
{
#ifdef _OPENMP
    const std::int64_t samples =
        lattice.lines(Family::ConstantX) * lattice.length(Family::ConstantX);
    if (!heights.keepsAll() || heights.threadsFor(2 * samples) < 2)
        return nullptr;
    try {
        auto ahead = std::unique_ptr<SeenAhead>(new SeenAhead(device, heights, lattice));
        if (ahead->layerLine_ == nullptr && !ahead->keep(static_cast<std::size_t>(samples)))
            return nullptr;
        return ahead;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
#else
    (void)device, (void)heights, (void)lattice;
    return nullptr;
#endif
}

bool SeenAhead::see() noexcept
{
    try {
        frontHorizons(seer_, lower_.get(), upper_.get());
        for (std::int64_t q = 1; q <= lattice_.lines(Family::ConstantX); ++q)
            seeLine({Family::ConstantX, q});
        return true;
    } catch (...) {
        return false;
    }
}

// The lines on the device after those of constant y; false when they
// are still to be drawn. A layer was drawn from the pen the device
// had when the surface began: it serves while the device still has it
// (the lines of constant y may have changed it only where it was not
// the pen of the surface's own index).
bool SeenAhead::draw(PlotDevice& d, int pen)
{
    if (layerLine_ != nullptr) {
        if (!(d.pen() == startPen_))
            return false;
        d.composeLayer(*layer_);
        if (layerLine_->anyBelow()) {
            d.selectPen(pen - 8);
            d.selectPen(pen);
        }
        d.moveTo(layerLine_->current());
        return true;
    }
    const auto length = static_cast<std::size_t>(lattice_.length(Family::ConstantX));
    for (std::int64_t q = 1; q <= lattice_.lines(Family::ConstantX); ++q) {
        const std::size_t at = static_cast<std::size_t>(q - 1) * length;
        const SeenSamples s{points_.get() + at, seen_.get() + at,
                            lineValid_[static_cast<std::size_t>(q - 1)] ? nullptr
                                                                        : valid_.get() + at};
        d.moveTo(s.point(0));
        drawSeen(d, pen, s, 1, length);
    }
    return true;
}

SeenAhead::SeenAhead(PlotDevice& device, MeshHeights& heights, const MeshLattice& lattice)
    : lattice_(lattice), seer_(heights, lattice, device.projection(), device.mapping()),
      startPen_(device.pen())
{
    const auto columns = static_cast<std::size_t>(lattice.length(Family::Front));
    lower_ = std::make_unique_for_overwrite<double[]>(columns);
    upper_ = std::make_unique_for_overwrite<double[]>(columns);
    const int pen = device.penIndex();
    const std::optional<Pen> below = device.penFor(pen - 8), surface = device.penFor(pen);
    auto thin = [](std::optional<Pen> p) { return !p || p->width == 1; };
    if (startPen_.width == 1 && thin(below) && thin(surface)) {
        layer_ = device.openLayer();
        if (layer_ != nullptr)
            layerLine_ = std::make_unique<LayerLine>(layer_->canvas(), startPen_, below, surface);
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
        if (layerLine_ != nullptr) {
            if (first == 0)
                layerLine_->moveTo(s.point(0));
            layerLine_->draw(s, from, count);
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
