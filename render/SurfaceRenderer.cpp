#include "render/SurfaceRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <memory>
#include <new>
#include <span>
#include <vector>

#include "render/KeptWalk.h"
#include "render/MeshHeights.h"
#include "render/MeshLattice.h"

namespace {

constexpr double degreesToRadians = 0.017453292519943295;

Projection projectionOf(double x1, double x2, double y1, double y2, double z1, double z2, int m,
                        int n, double tilt)
{
    Projection p;
    p.domainRotation = -(std::atan(n * (x2 - x1) / (m * (y2 - y1))) / degreesToRadians);
    const double rotation = p.domainRotation * degreesToRadians;
    p.sinRot = std::sin(rotation);
    p.cosRot = std::cos(rotation);
    const double t = tilt * degreesToRadians;
    p.sinTilt = std::sin(t);
    p.cosTilt = std::cos(t);
    p.cosRotSinTilt = p.cosRot * p.sinTilt;
    p.sinRotSinTilt = p.sinTilt * p.sinRot;
    p.box = {x1, x2, y1, y2, z1, z2};
    return p;
}

// The world window: the bounding rectangle of the projected box.
void setProjectedWorld(PlotDevice& d, const Projection& p)
{
    const PlotBox& b = p.box;
    const double x1 = b.x1, x2 = b.x2, y1 = b.y1, y2 = b.y2, z1 = b.z1, z2 = b.z2;
    if (p.sinRot <= 0) {
        const double xFrom = p.projectX(x1, y2), xTo = p.projectX(x2, y1);
        if (p.sinTilt >= 0)
            d.setWorld(xFrom, xTo, p.projectY(x1, y1, z1), p.projectY(x2, y2, z2));
        else
            d.setWorld(xFrom, xTo, p.projectY(x2, y2, z1), p.projectY(x1, y1, z2));
    } else {
        const double xFrom = p.projectX(x1, y1), xTo = p.projectX(x2, y2);
        if (p.sinTilt >= 0)
            d.setWorld(xFrom, xTo, p.projectY(x2, y1, z1), p.projectY(x1, y2, z2));
        else
            d.setWorld(xFrom, xTo, p.projectY(x1, y2, z1), p.projectY(x2, y1, z2));
    }
}

struct ProjectedSample {
    double x, y;
};

// One sample of a mesh line against its column's horizons. The upper
// side is seen above the upper horizon, the underside below the lower
// one; a sample on a horizon is hidden. A height that is not a number
// counts as above.
inline void visitColumn(PlotDevice& d, int pen, double& upper, double& lower,
                        const ProjectedSample& s)
{
    if (!(upper >= s.y)) {
        d.lineTo(s.x, s.y);
        upper = s.y;
    } else if (!(s.y >= lower)) {
        d.selectPen(pen - 8);
        d.lineTo(s.x, s.y);
        d.selectPen(pen);
        lower = s.y;
    } else {
        d.moveTo(s.x, s.y);
    }
}

// One pass of the mesh against the two horizons.
class MeshWalk {
public:
    MeshWalk(PlotDevice& device, const ZFunction& function, std::vector<double>& lower,
             std::vector<double>& upper)
        : d_(device), f_(function), lower_(lower), upper_(upper), pen_(device.penIndex()),
          p_(device.projection()) {}

    using Sample = ProjectedSample;

    Sample sample(double x, double y)
    {
        const double z = f_.height(x, y);
        return {p_.projectX(x, y), p_.projectY(x, y, z)};
    }

    void setBoth(std::int64_t c, double height)
    {
        lower_[static_cast<std::size_t>(c)] = height;
        upper_[static_cast<std::size_t>(c)] = height;
    }

    void visit(const Sample& s, std::int64_t c)
    {
        visitColumn(d_, pen_, upper_[static_cast<std::size_t>(c)],
                    lower_[static_cast<std::size_t>(c)], s);
    }

    PlotDevice& d_;
    const ZFunction& f_;
    std::vector<double>& lower_;
    std::vector<double>& upper_;
    const int pen_;
    const Projection p_;
};

struct Mesh {
    double x1, x2, y1, y2;
    std::int64_t m, n, k, mk, nk;
    double dx, dy, subDx, subDy;
};

// The front boundary along x = x1 and y = y1, setting both horizons;
// drawn, or in the reset only computed.
void frontBoundary(MeshWalk& w, const Mesh& g, bool draw)
{
    MeshWalk::Sample s = w.sample(g.x1, g.y2);
    w.d_.moveTo(s.x, s.y);
    w.setBoth(0, s.y);
    double y = g.y2;
    for (std::int64_t i = 1; i <= g.nk; ++i) {
        y = g.y2 - static_cast<double>(i) * g.subDy;
        s = w.sample(g.x1, y);
        if (draw)
            w.d_.lineTo(s.x, s.y);
        w.setBoth(i, s.y);
    }
    for (std::int64_t j = 1; j <= g.mk; ++j) {
        const double x = g.x1 + static_cast<double>(j) * g.subDx;
        s = w.sample(x, y);
        if (draw)
            w.d_.lineTo(s.x, s.y);
        w.setBoth(g.nk + j, s.y);
    }
}

// The samples of one mesh line are computed first and then visited: the
// evaluations come in the same order, and run back to back, which lets
// the processor overlap them.
void linesOfConstantY(MeshWalk& w, const Mesh& g, std::vector<MeshWalk::Sample>& line)
{
    for (std::int64_t r = 1; r <= g.n; ++r) {
        const double y = g.y1 + static_cast<double>(r) * g.dy;
        line[0] = w.sample(g.x1, y);
        for (std::int64_t l = 1; l <= g.mk; ++l)
            line[static_cast<std::size_t>(l)] = w.sample(g.x1 + static_cast<double>(l) * g.subDx, y);
        w.d_.moveTo(line[0].x, line[0].y);
        for (std::int64_t l = 1; l <= g.mk; ++l)
            w.visit(line[static_cast<std::size_t>(l)], g.nk - r * g.k + l);
    }
}

void linesOfConstantX(MeshWalk& w, const Mesh& g, std::vector<MeshWalk::Sample>& line)
{
    for (std::int64_t q = 1; q <= g.m; ++q) {
        const double x = g.x1 + static_cast<double>(q) * g.dx;
        line[0] = w.sample(x, g.y1);
        for (std::int64_t i = 1; i <= g.nk; ++i)
            line[static_cast<std::size_t>(i)] = w.sample(x, g.y1 + static_cast<double>(i) * g.subDy);
        w.d_.moveTo(line[0].x, line[0].y);
        for (std::int64_t i = 1; i <= g.nk; ++i)
            w.visit(line[static_cast<std::size_t>(i)], g.nk - i + q * g.k);
    }
}

} // namespace

MeshRefusal meshRefusal(int m, int n, int k)
{
    if (m < 0 || n < 0 || k < 0)
        return MeshRefusal::Negative;
    // In doubles: the products of three ints can pass the 64-bit range.
    const double mm = m, nn = n, kk = k;
    const double columns = kk * (mm + nn) + 1;
    const double samples = 2 * nn * mm * kk + 2 * kk * (nn + mm) + (nn + mm) + 2;
    if (columns > static_cast<double>(maxHorizonColumns))
        return MeshRefusal::TooManyColumns;
    if (samples > static_cast<double>(maxSurfaceSamples))
        return MeshRefusal::TooManySamples;
    return MeshRefusal::None;
}

void drawSurface(PlotDevice& device, const ZFunction& function, double x1, double x2, double y1,
                 double y2, double z1, double z2, int m, int n, int k, double tilt)
{
    const Projection p = projectionOf(x1, x2, y1, y2, z1, z2, m, n, tilt);
    device.setProjection(p);
    setProjectedWorld(device, p);
    const int surfacePen = device.penIndex();
    if (meshRefusal(m, n, k) != MeshRefusal::None)
        return;

    Mesh g{x1, x2, y1, y2, m, n, k, std::int64_t{m} * k, std::int64_t{n} * k, 0, 0, 0, 0};
    g.dx = (x2 - x1) / m;
    g.dy = (y2 - y1) / n;
    g.subDx = g.dx / k;
    g.subDy = g.dy / k;
    const auto columns = static_cast<std::size_t>(g.k * (g.m + g.n) + 1);
    std::vector<double> lower, upper;
    std::vector<MeshWalk::Sample> line;
    try {
        lower.resize(columns);
        upper.resize(columns);
        line.resize(static_cast<std::size_t>(std::max(g.mk, g.nk) + 1));
    } catch (const std::bad_alloc&) {
        return;
    }

    MeshWalk walk(device, function, lower, upper);
    frontBoundary(walk, g, true);
    linesOfConstantY(walk, g, line);
    frontBoundary(walk, g, false);
    linesOfConstantX(walk, g, line);
    device.selectPen(surfacePen);
}

void drawSurface(PlotDevice& device, const ZFunction& function, MeshHeights& heights,
                 double x1, double x2, double y1, double y2, double z1, double z2, int m, int n,
                 int k, double tilt)
{
    const Projection p = projectionOf(x1, x2, y1, y2, z1, z2, m, n, tilt);
    device.setProjection(p);
    setProjectedWorld(device, p);
    const int surfacePen = device.penIndex();
    if (meshRefusal(m, n, k) != MeshRefusal::None)
        return;

    const std::int64_t mk = std::int64_t{m} * k, nk = std::int64_t{n} * k;
    const auto columns = static_cast<std::size_t>(mk + nk + 1);
    const MeshLattice lattice(x1, x2, y1, y2, m, n, k);
    std::vector<double> lower, upper;
    try {
        lower.resize(columns);
        upper.resize(columns);
        heights.prepare(function, lattice);
    } catch (const std::bad_alloc&) {
        return;
    }

    try {
        walkKeptHeights(device, heights, lattice, lower, upper);
    } catch (const std::bad_alloc&) {
        // Heights beyond the budget are computed line by line; a line that
        // finds no memory ends the surface where it is.
    }
    device.selectPen(surfacePen);
}
