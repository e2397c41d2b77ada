#pragma once
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "device/Colours.h"
#include "device/Viridis.h"

// Colour by height: the box's z range z1..z2 cut into N bands of equal
// height, each with the colour of viridis at its middle, (b + 1/2) / N,
// for the upper side, and that colour at half its brightness for the
// underside. No bands (N 0) draws the surface in its two pens.
class HeightBands {
public:
    static constexpr int maxCount = 64;

    HeightBands() = default;
    // N outside 2..64 gives no bands.
    HeightBands(int count, double z1, double z2)
        : count_(count >= 2 && count <= maxCount ? count : 0), z1_(z1), z2_(z2)
    {
    }

    int count() const { return count_; }
    double z1() const { return z1_; }
    double z2() const { return z2_; }

    // b = floor(N (z - z1) / (z2 - z1)), formed in that order, kept within
    // 0 .. N - 1: a height beyond the box (infinite ones included) goes to
    // the nearer end, and z1 = z2 gives band 0 for every height, as does a
    // height that is not a number (such a sample is never joined by a
    // line). Where the extent or the product passes the double range the
    // quotient is formed on halves, so a box of -1e308..1e308 still has
    // its bands.
    int bandOf(double z) const
    {
        if (count_ == 0 || z2_ == z1_)
            return 0;
        return bandOfQuotient(count_ * (z - z1_) / (z2_ - z1_), z);
    }
    // The bands of count heights, as bandOf gives them: the quotients of
    // a piece at a time in one loop the compiler can give vector
    // registers, divisions and all, as a dense mesh asks for a million.
    void bandsOf(const double* z, std::size_t count, std::uint8_t* bands) const;

    // The colours of band 0 .. N - 1.
    Colour upper(int band) const { return viridisAt((band + 0.5) / count_); }
    Colour underside(int band) const { return halfBrightness(upper(band)); }

private:
    int bandOfQuotient(double q, double z) const
    {
        if (!std::isfinite(q) && std::isfinite(z))
            q = count_ * ((z / 2 - z1_ / 2) / (z2_ / 2 - z1_ / 2));
        if (!(q >= 0))
            return 0;
        if (q >= count_)
            return count_ - 1;
        return static_cast<int>(q);
    }

    int count_ = 0;
    double z1_ = 0, z2_ = 0;
};
