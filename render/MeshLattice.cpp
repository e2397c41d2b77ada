#include "render/MeshLattice.h"

#include <bit>
#include <initializer_list>

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

// Each case is the renderer's own formula for that sample; the first
// sample of a mesh line is its start itself, not start + 0 x step.
void MeshLattice::points(Line line, std::int64_t first, std::size_t count, double* x,
                         double* y) const
{
    const auto end = first + static_cast<std::int64_t>(count);
    switch (line.family) {
    case Family::Front: {
        const double yLast = nk_ > 0 ? y2_ - static_cast<double>(nk_) * subDy_ : y2_;
        for (std::int64_t s = first; s < end; ++s, ++x, ++y) {
            if (s == 0) {
                *x = x1_;
                *y = y2_;
            } else if (s <= nk_) {
                *x = x1_;
                *y = y2_ - static_cast<double>(s) * subDy_;
            } else {
                *x = x1_ + static_cast<double>(s - nk_) * subDx_;
                *y = yLast;
            }
        }
        break;
    }
    case Family::ConstantY: {
        const double along = y1_ + static_cast<double>(line.index) * dy_;
        for (std::int64_t l = first; l < end; ++l, ++x, ++y) {
            *x = l == 0 ? x1_ : x1_ + static_cast<double>(l) * subDx_;
            *y = along;
        }
        break;
    }
    case Family::ConstantX: {
        const double along = x1_ + static_cast<double>(line.index) * dx_;
        for (std::int64_t i = first; i < end; ++i, ++x, ++y) {
            *x = along;
            *y = i == 0 ? y1_ : y1_ + static_cast<double>(i) * subDy_;
        }
        break;
    }
    }
}

bool MeshLattice::operator==(const MeshLattice& other) const
{
    return sameBits(x1_, other.x1_) && sameBits(x2_, other.x2_) && sameBits(y1_, other.y1_) &&
           sameBits(y2_, other.y2_) && m_ == other.m_ && n_ == other.n_ && k_ == other.k_;
}
