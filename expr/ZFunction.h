#pragma once
#include <memory>
#include <span>

// The heights of a surface: all the renderer needs of it. Heights come by
// the block (a line of the mesh, or a piece of one), so that whatever
// computes them pays its dispatch once per block rather than once per
// point, and a single point is a block of one.
//
// heights() is const and reads nothing that another thread writes, so any
// number of threads may ask one ZFunction for heights at the same time.
class ZFunction {
public:
    virtual ~ZFunction() = default;

    // z[i] = the height at (x[i], y[i]) for every i below z.size(); x and y
    // hold at least as many points. z may be x or y itself.
    virtual void heights(std::span<const double> x, std::span<const double> y,
                         std::span<double> z) const = 0;

    // Whether other gives the same heights as this one at every point, bit
    // for bit, so that heights kept from one serve for the other.
    virtual bool sameHeights(const ZFunction& other) const = 0;

    // A copy that gives the same heights from now on, whatever later
    // happens to this one: what kept heights are compared against.
    virtual std::unique_ptr<ZFunction> snapshot() const = 0;

    double height(double x, double y) const
    {
        double z = 0.0;
        heights({&x, 1}, {&y, 1}, {&z, 1});
        return z;
    }

protected:
    ZFunction() = default;
    ZFunction(const ZFunction&) = default;
    ZFunction& operator=(const ZFunction&) = default;
};
