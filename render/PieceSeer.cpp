#include "render/PieceSeer.h"

#include "expr/WideKernels.h"
#include "render/WalkLanes.h"

using Family = MeshLattice::Family;
// The walk's loops write how a sample is seen as these numbers.
static_assert(static_cast<int>(Seen::Hidden) == 0 && static_cast<int>(Seen::Above) == 1 &&
              static_cast<int>(Seen::Below) == 2);

// Several samples at a time, each piece fetching the heights of the next
// from memory as it goes.
void PieceSeer::see(int step, std::size_t from, std::size_t count, double* upper, double* lower)
{
    if (from >= count)
        return;
    const std::ptrdiff_t shift = step * static_cast<std::ptrdiff_t>(from);
    const double* y = worldY_ + from;
    auto* seen = reinterpret_cast<std::uint8_t*>(seen_ + from);
    const std::size_t ahead = std::min(ahead_.size(), count);
    // Without heights ahead (the last line, or one not computed yet) there
    // is nothing to fetch, and no array to point into.
    const std::size_t nextCount = ahead > from ? ahead - from : 0;
    const double* next = nextCount > 0 ? ahead_.data() + from : nullptr;
    count -= from;
    upper += shift;
    lower += shift;
    if (wideKernels())
        seeWide(step, y, count, upper, lower, seen, next, nextCount);
    else if (step > 0)
        seeLanes<2, 1>(y, count, upper, lower, seen, next, nextCount);
    else
        seeLanes<2, -1>(y, count, upper, lower, seen, next, nextCount);
}

void PieceSeer::project(MeshLattice::Line line, std::int64_t first, std::span<const double> z)
{
    const std::size_t count = z.size();
    z_ = z.data();
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

std::span<const double> PieceSeer::following(MeshLattice::Line line)
{
    if (line.family == Family::Front || line.index >= lattice_.lines(line.family))
        return {};
    return heights_.lineIfComputed({line.family, line.index + 1});
}

void PieceSeer::projectPoints(MeshLattice::Line line, std::int64_t first, std::span<const double> z)
{
    const std::size_t count = z.size();
    lattice_.points(line, first, count, x_, y_);
    for (std::size_t i = 0; i < count; ++i) {
        worldX_[i] = p_.projectX(x_[i], y_[i]);
        worldY_[i] = p_.projectY(x_[i], y_[i], z[i]);
    }
}

const PieceSeer::AlongProducts* PieceSeer::alongProducts(Family family)
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

void PieceSeer::projectAlong(const AlongProducts& along, MeshLattice::Line line,
                         std::size_t first, std::span<const double> z)
{
    double x, y;
    lattice_.points(line, 0, 1, &x, &y);
    const bool constantY = line.family == Family::ConstantY;
    const LineProjection p{along.forX.data() + first,
                           along.forY.data() + first,
                           constantY ? y * p_.sinRot : x * p_.cosRot,
                           constantY ? y * p_.cosRotSinTilt : x * p_.sinRotSinTilt,
                           p_.cosTilt,
                           constantY};
    if (wideKernels())
        projectAlongWide(p, z.data(), z.size(), worldX_, worldY_);
    else
        projectAlongLanes(p, z.data(), z.size(), worldX_, worldY_);
}

void frontHorizons(PieceSeer& seer, double* lower, double* upper)
{
    seer.forEachPiece({Family::Front, 0}, [&](std::int64_t first, std::size_t count) {
        std::copy_n(seer.worldY(), count, lower + first);
        std::copy_n(seer.worldY(), count, upper + first);
    });
}

std::int64_t firstColumn(const MeshLattice& lattice, MeshLattice::Line line)
{
    const std::int64_t nk = lattice.length(Family::ConstantX) - 1;
    const std::int64_t k = lattice.subSteps();
    return line.family == Family::ConstantY ? nk - line.index * k : nk + line.index * k;
}
