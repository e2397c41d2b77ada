#include "expr/SurfaceHeights.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <stdexcept>

#include "expr/BlockKernels.h"
#include "expr/SurfaceFunction.h"

namespace {

bool sameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

bool sameField(const ZFunction* a, const ZFunction* b)
{
    return a == b || (a != nullptr && b != nullptr && a->sameHeights(*b));
}

} // namespace

bool PointTurn::operator==(const PointTurn& other) const
{
    return sameBits(centreX, other.centreX) && sameBits(centreY, other.centreY) &&
           sameBits(sinTheta, other.sinTheta) && sameBits(cosTheta, other.cosTheta);
}

SurfaceHeights::SurfaceHeights(Program program, const PointTurn& turn,
                               std::shared_ptr<const ZFunction> field)
    : program_(std::move(program)), turn_(turn),
      field_(program_.readsZ() ? std::move(field) : nullptr)
{
}

// A block at a time: the points turned as SurfaceFunction has always
// turned them, so that they round the same way, then the field's heights
// there, then f (unless f is z itself, when the field's heights are its
// own).
void SurfaceHeights::heights(std::span<const double> x, std::span<const double> y,
                             std::span<double> z) const
{
    if (x.size() < z.size() || y.size() < z.size())
        throw std::invalid_argument("SurfaceHeights: fewer points than heights");
    if (flat()) {
        std::fill(z.begin(), z.end(), 0.0);
        return;
    }
    constexpr std::size_t block = Program::blockSize;
    double tx[block], ty[block], tz[block];
    const TurnConstants turn{turn_.centreX, turn_.centreY, turn_.sinTheta, turn_.cosTheta};
    const bool wide = wideKernels();
    const bool fieldOnly = field_ != nullptr && program_.givesZ();
    for (std::size_t start = 0; start < z.size(); start += block) {
        const std::size_t count = std::min(block, z.size() - start);
        if (wide)
            turnPointsWide(turn, x.data() + start, y.data() + start, count, tx, ty);
        else
            turnPoints(turn, x.data() + start, y.data() + start, count, tx, ty);
        if (fieldOnly) {
            field_->heights({tx, count}, {ty, count}, z.subspan(start, count));
            continue;
        }
        if (field_ != nullptr)
            field_->heights({tx, count}, {ty, count}, {tz, count});
        program_.run(tx, ty, field_ != nullptr ? tz : nullptr, z.subspan(start, count));
    }
}

bool SurfaceHeights::sameHeights(const ZFunction& other) const
{
    const auto* heights = dynamic_cast<const SurfaceHeights*>(&other);
    if (const auto* surface = dynamic_cast<const SurfaceFunction*>(&other))
        heights = &surface->current();
    return heights != nullptr && program_ == heights->program_ && turn_ == heights->turn_ &&
           sameField(field_.get(), heights->field_.get());
}

std::unique_ptr<ZFunction> SurfaceHeights::snapshot() const
{
    auto copy = std::make_unique<SurfaceHeights>(*this);
    if (field_ != nullptr)
        copy->field_ = field_->snapshot();
    return copy;
}
