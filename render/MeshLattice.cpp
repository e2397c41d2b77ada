#include "render/MeshLattice.h"

#include <algorithm>
#include <bit>
#include <initializer_list>

#include "expr/WideKernels.h"
#include "render/WalkLanes.h"

namespace {

bool sameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

} // namespace

MeshLattice::MeshLattice(double x1, double x2, double y1, double y2, int m, int n, int k)
    : x1_(x1), x2_(x2), y1_(y1), y2_(y2), m_(m), n_(n), k_(k)
{
    dx_ = (x2 - x1) / m;
    dy_ = (y2 - y1) / n;
    subDx_ = dx_ / k;
    subDy_ = dy_ / k;
    // In doubles: the products of ints can pass the 64-bit range.
    const double longest = static_cast<double>(k) * (static_cast<double>(m) + n) + 1;
    valid_ = m >= 0 && n >= 0 && k >= 0 && longest <= static_cast<double>(maxLineSamples);
    if (valid_) {
        mk_ = m_ * k_;
        nk_ = n_ * k_;
    }
}

std::int64_t MeshLattice::length(Family family) const
{
    if (!valid_)
        return 0;
    switch (family) {
    case Family::Front: return 1 + nk_ + mk_;
    case Family::ConstantY: return mk_ + 1;
    case Family::ConstantX: return nk_ + 1;
    }
    return 0;
}

std::int64_t MeshLattice::lines(Family family) const
{
    if (!valid_)
        return 0;
    switch (family) {
    case Family::Front: return 1;
    case Family::ConstantY: return n_;
    case Family::ConstantX: return m_;
    }
    return 0;
}

std::int64_t MeshLattice::samples() const
{
    std::int64_t total = 0;
    for (Family family : {Family::Front, Family::ConstantY, Family::ConstantX})
        total += lines(family) * length(family);
    return total;
}

namespace {

// out[i] = start + (first + i) x step. Every index of a line fits an int
// (a line has at most maxLineSamples), and ints become doubles several at
// a time.
static_assert(MeshLattice::maxLineSamples <= std::int64_t{1} << 31);

void stepsFrom(double start, double step, std::int64_t first, std::size_t count, double* out)
{
    const auto base = static_cast<std::int32_t>(first);
    const auto n = static_cast<std::int32_t>(count);
    if (wideKernels())
        stepsFromWide(start, step, base, n, out);
    else
        stepsFromLanes(start, step, base, n, out);
}

} // namespace

// Each line is the renderer's own formula for its samples; the first
// sample of a line is its start itself, not start + 0 x step (which
// differs for an infinite step).
void MeshLattice::points(Line line, std::int64_t first, std::size_t count, double* x,
                         double* y) const
{
    if (count == 0)
        return;
    switch (line.family) {
    case Family::Front: {
        // Down the edge x = x1 to (x1, y1), then along y = y1 to x2.
        const double yLast = nk_ > 0 ? y2_ - static_cast<double>(nk_) * subDy_ : y2_;
        const auto down = static_cast<std::size_t>(
            std::clamp<std::int64_t>(nk_ + 1 - first, 0, static_cast<std::int64_t>(count)));
        std::fill_n(x, down, x1_);
        for (std::size_t i = 0; i < down; ++i) {
            const std::int64_t s = first + static_cast<std::int64_t>(i);
            y[i] = s == 0 ? y2_ : y2_ - static_cast<double>(s) * subDy_;
        }
        const std::int64_t along = first + static_cast<std::int64_t>(down) - nk_;
        stepsFrom(x1_, subDx_, along, count - down, x + down);
        std::fill_n(y + down, count - down, yLast);
        break;
    }
    case Family::ConstantY:
        std::fill_n(y, count, y1_ + static_cast<double>(line.index) * dy_);
        stepsFrom(x1_, subDx_, first, count, x);
        if (first == 0)
            x[0] = x1_;
        break;
    case Family::ConstantX:
        std::fill_n(x, count, x1_ + static_cast<double>(line.index) * dx_);
        stepsFrom(y1_, subDy_, first, count, y);
        if (first == 0)
            y[0] = y1_;
        break;
    }
}

bool MeshLattice::operator==(const MeshLattice& other) const
{
    return sameBits(x1_, other.x1_) && sameBits(x2_, other.x2_) && sameBits(y1_, other.y1_) &&
           sameBits(y2_, other.y2_) && m_ == other.m_ && n_ == other.n_ && k_ == other.k_;
}
