#include "render/KeptWalk.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <vector>

#ifdef _OPENMP
#include <omp.h>
#endif

#include "render/MeshHeights.h"
#include "render/MeshLattice.h"

namespace {

using Family = MeshLattice::Family;

// How a sample stands against its column's horizons.
enum class Seen : std::uint8_t { Hidden, Above, Below };

// Samples ready for the device: their device points, how each is seen,
// and whether each came from numbers (valid is null when all did).
struct SeenSamples {
    const DevicePoint* points;
    const Seen* seen;
    const bool* valid;

    MappedPoint point(std::size_t i) const { return {points[i], valid == nullptr || valid[i]}; }
};

// The upper side in the surface's pen, the underside in the pen 8 below.
void drawSample(PlotDevice& d, int pen, const SeenSamples& s, std::size_t i)
{
    switch (s.seen[i]) {
    case Seen::Above: d.lineTo(s.point(i)); break;
    case Seen::Below:
        d.selectPen(pen - 8);
        d.lineTo(s.point(i));
        d.selectPen(pen);
        break;
    case Seen::Hidden: d.moveTo(s.point(i)); break;
    }
}

// Samples from .. count - 1. When every point is valid, the samples seen
// above and those hidden go to the device by the run.
void drawSeen(PlotDevice& d, int pen, const SeenSamples& s, std::size_t from, std::size_t count)
{
    if (s.valid != nullptr) {
        for (std::size_t i = from; i < count; ++i)
            drawSample(d, pen, s, i);
        return;
    }
    std::size_t i = from;
    while (i < count) {
        const Seen seen = s.seen[i];
        std::size_t end = i + 1;
        while (end < count && s.seen[end] == seen)
            ++end;
        const std::span<const DevicePoint> run(s.points + i, end - i);
        if (seen == Seen::Above)
            d.lineTo(run);
        else if (seen == Seen::Hidden)
            d.moveTo(run);
        else
            for (std::size_t j = i; j < end; ++j)
                drawSample(d, pen, s, j);
        i = end;
    }
}

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
    template <class Visit>
    void forEachPiece(MeshLattice::Line line, Visit&& visitPiece)
    {
        const std::span<const double> z = heights_.line(line);
        const auto length = static_cast<std::int64_t>(z.size());
        for (std::int64_t first = 0; first < length; first += piece) {
            const auto count = static_cast<std::size_t>(
                std::min<std::int64_t>(static_cast<std::int64_t>(piece), length - first));
            project(line, first, z.subspan(static_cast<std::size_t>(first), count));
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
        for (std::size_t i = from; i < count; ++i) {
            const double y = worldY_[i];
            double& up = upper[step * static_cast<std::ptrdiff_t>(i)];
            double& low = lower[step * static_cast<std::ptrdiff_t>(i)];
            if (!(up >= y)) {
                seen_[i] = Seen::Above;
                up = y;
            } else if (!(y >= low)) {
                seen_[i] = Seen::Below;
                low = y;
            } else {
                seen_[i] = Seen::Hidden;
            }
        }
    }

    SeenSamples samples() const { return {device_, seen_, allValid_ ? nullptr : valid_}; }
    const double* worldY() const { return worldY_; }

private:
    void project(MeshLattice::Line line, std::int64_t first, std::span<const double> z)
    {
        const std::size_t count = z.size();
        const AlongProducts* along = alongProducts(line.family);
        if (along != nullptr)
            projectAlong(*along, line, static_cast<std::size_t>(first), z);
        else
            projectPoints(line, first, z);
        allValid_ = mapping_.map(worldX_, worldY_, count, device_);
        if (!allValid_)
            for (std::size_t i = 0; i < count; ++i)
                valid_[i] = mapping_.map(worldX_[i], worldY_[i]).valid;
    }

    void projectPoints(MeshLattice::Line line, std::int64_t first, std::span<const double> z)
    {
        const std::size_t count = z.size();
        lattice_.points(line, first, count, x_, y_);
        for (std::size_t i = 0; i < count; ++i) {
            worldX_[i] = p_.projectX(x_[i], y_[i]);
            worldY_[i] = p_.projectY(x_[i], y_[i], z[i]);
        }
    }

    // The products of the coordinate that runs along a line of constant y
    // (x) or of constant x (y) with the projection's factors: the same for
    // every line of the family, so made once, while they fit.
    struct AlongProducts {
        std::vector<double> forX, forY;
    };
    static constexpr std::int64_t maxAlongProducts = std::int64_t{1} << 18;

    const AlongProducts* alongProducts(Family family)
    {
        if (family == Family::Front || lattice_.length(family) > maxAlongProducts)
            return nullptr;
        AlongProducts& along = family == Family::ConstantY ? alongX_ : alongY_;
        const auto length = static_cast<std::size_t>(lattice_.length(family));
        if (along.forX.size() != length) {
            std::vector<double> x(length), y(length);
            lattice_.points({family, 1}, 0, length, x.data(), y.data());
            along.forX.resize(length);
            along.forY.resize(length);
            for (std::size_t i = 0; i < length; ++i) {
                if (family == Family::ConstantY) {
                    along.forX[i] = x[i] * p_.cosRot;
                    along.forY[i] = x[i] * p_.sinRotSinTilt;
                } else {
                    along.forX[i] = y[i] * p_.sinRot;
                    along.forY[i] = y[i] * p_.cosRotSinTilt;
                }
            }
        }
        return &along;
    }

    // projectX and projectY with the products along the line made ahead,
    // in the same order of operations.
    void projectAlong(const AlongProducts& along, MeshLattice::Line line, std::size_t first,
                      std::span<const double> z)
    {
        double x, y;
        lattice_.points(line, 0, 1, &x, &y);
        const std::size_t count = z.size();
        const double* forX = along.forX.data() + first;
        const double* forY = along.forY.data() + first;
        const double cosTilt = p_.cosTilt;
        if (line.family == Family::ConstantY) {
            const double acrossX = y * p_.sinRot, acrossY = y * p_.cosRotSinTilt;
            for (std::size_t i = 0; i < count; ++i) {
                worldX_[i] = forX[i] + acrossX;
                worldY_[i] = acrossY - forY[i] + z[i] * cosTilt;
            }
        } else {
            const double acrossX = x * p_.cosRot, acrossY = x * p_.sinRotSinTilt;
            for (std::size_t i = 0; i < count; ++i) {
                worldX_[i] = acrossX + forX[i];
                worldY_[i] = forY[i] - acrossY + z[i] * cosTilt;
            }
        }
    }

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
    AlongProducts alongX_, alongY_;
};

// The front boundary's heights as both horizons.
void frontHorizons(PieceSeer& seer, double* lower, double* upper)
{
    seer.forEachPiece({Family::Front, 0}, [&](std::int64_t first, std::size_t count) {
        std::copy_n(seer.worldY(), count, lower + first);
        std::copy_n(seer.worldY(), count, upper + first);
    });
}

// Line r of constant y runs right over the columns from nk - r k, line q
// of constant x left over those from nk + q k.
std::int64_t firstColumn(const MeshLattice& lattice, MeshLattice::Line line)
{
    const std::int64_t nk = lattice.length(Family::ConstantX) - 1;
    const std::int64_t k = lattice.subSteps();
    return line.family == Family::ConstantY ? nk - line.index * k : nk + line.index * k;
}

// The walk on this thread, drawing as it goes.
class KeptWalk {
public:
    KeptWalk(PlotDevice& device, MeshHeights& heights, const MeshLattice& lattice,
             std::vector<double>& lower, std::vector<double>& upper)
        : d_(device), lattice_(lattice), lower_(lower), upper_(upper), pen_(device.penIndex()),
          seer_(heights, lattice, device.projection(), device.mapping())
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
                for (; i < count; ++i)
                    d_.lineTo(s.point(i));
        });
        frontHorizons(seer_, lower_.data(), upper_.data());
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

    PlotDevice& device() const { return d_; }
    int pen() const { return pen_; }

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
            drawSeen(d_, pen_, s, i, count);
        });
    }

    PlotDevice& d_;
    const MeshLattice& lattice_;
    std::vector<double>& lower_;
    std::vector<double>& upper_;
    const int pen_;
    PieceSeer seer_;
};

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
        std::size_t i = from;
        while (i < count) {
            const Seen seen = s.seen[i];
            std::size_t end = i + 1;
            while (end < count && s.seen[end] == seen)
                ++end;
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
            i = end;
        }
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

// The lines of constant x seen ahead on another thread, against horizons
// of their own from the front boundary, while this one draws the lines of
// constant y. Where the canvas has a layer for thin lines they are drawn
// on it there, and the layer laid on the page here; otherwise they are
// kept and drawn here in order. Only a large mesh whose heights are all
// kept (so that both threads may read them) is worth it, and only while
// what is kept fits its budget.
class SeenAhead {
public:
    static constexpr std::size_t budgetBytes = std::size_t{64} << 20;

    static std::unique_ptr<SeenAhead> make(PlotDevice& device, MeshHeights& heights,
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

    // On the other thread; true when every line was seen.
    bool see() noexcept
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
    bool draw(PlotDevice& d, int pen)
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

private:
    SeenAhead(PlotDevice& device, MeshHeights& heights, const MeshLattice& lattice)
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

    // Room to keep the seen lines, within the budget.
    bool keep(std::size_t samples)
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

    void seeLine(MeshLattice::Line line)
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

    void keepPiece(const SeenSamples& s, std::int64_t q, std::size_t to, std::int64_t first,
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

    const MeshLattice& lattice_;
    PieceSeer seer_;
    const Pen startPen_;
    std::unique_ptr<double[]> lower_, upper_;
    std::unique_ptr<CanvasLayer> layer_;
    std::unique_ptr<LayerLine> layerLine_;
    std::unique_ptr<DevicePoint[]> points_;
    std::unique_ptr<Seen[]> seen_;
    std::unique_ptr<bool[]> valid_;
    std::unique_ptr<bool[]> lineValid_;
};

} // namespace

void walkKeptHeights(PlotDevice& device, MeshHeights& heights, const MeshLattice& lattice,
                     std::vector<double>& lower, std::vector<double>& upper)
{
    auto walk = std::make_unique<KeptWalk>(device, heights, lattice, lower, upper);
    const std::unique_ptr<SeenAhead> ahead = SeenAhead::make(device, heights, lattice);
    bool seenAhead = false;
    if (ahead != nullptr) {
        // The device is drawn on by the calling thread alone.
        std::exception_ptr failure;
#ifdef _OPENMP
#pragma omp parallel num_threads(2)
#endif
        {
#ifdef _OPENMP
            const int thread = omp_get_thread_num();
#else
            const int thread = 0;
#endif
            if (thread == 0) {
                try {
                    walk->frontBoundary(true);
                    walk->linesOfConstantY();
                } catch (...) {
                    failure = std::current_exception();
                }
            } else {
                seenAhead = ahead->see();
            }
        }
        if (failure)
            std::rethrow_exception(failure);
    } else {
        walk->frontBoundary(true);
        walk->linesOfConstantY();
    }
    walk->frontBoundary(false);
    if (!seenAhead || !ahead->draw(device, walk->pen()))
        walk->linesOfConstantX();
}
