#include "tests/SurfaceOracle.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "render/HeightBands.h"

namespace {

constexpr double degreesToRadians = 0.017453292519943295;

Projection projectionOf(const PlotBox& b, int m, int n, double tilt)
{
    Projection p;
    p.domainRotation = -(std::atan(n * (b.x2 - b.x1) / (m * (b.y2 - b.y1))) / degreesToRadians);
    const double rotation = p.domainRotation * degreesToRadians;
    p.sinRot = std::sin(rotation);
    p.cosRot = std::cos(rotation);
    const double t = tilt * degreesToRadians;
    p.sinTilt = std::sin(t);
    p.cosTilt = std::cos(t);
    p.cosRotSinTilt = p.cosRot * p.sinTilt;
    p.sinRotSinTilt = p.sinTilt * p.sinRot;
    p.box = b;
    return p;
}

// The bounding rectangle of the projected box.
void setProjectedWorld(PlotDevice& d, const Projection& p)
{
    const PlotBox& b = p.box;
    if (p.sinRot <= 0) {
        const double xFrom = p.projectX(b.x1, b.y2), xTo = p.projectX(b.x2, b.y1);
        if (p.sinTilt >= 0)
            d.setWorld(xFrom, xTo, p.projectY(b.x1, b.y1, b.z1), p.projectY(b.x2, b.y2, b.z2));
        else
            d.setWorld(xFrom, xTo, p.projectY(b.x2, b.y2, b.z1), p.projectY(b.x1, b.y1, b.z2));
    } else {
        const double xFrom = p.projectX(b.x1, b.y1), xTo = p.projectX(b.x2, b.y2);
        if (p.sinTilt >= 0)
            d.setWorld(xFrom, xTo, p.projectY(b.x2, b.y1, b.z1), p.projectY(b.x1, b.y2, b.z2));
        else
            d.setWorld(xFrom, xTo, p.projectY(b.x1, b.y2, b.z1), p.projectY(b.x2, b.y1, b.z2));
    }
}

struct Sample {
    double x, y, z;
};

class Walk {
public:
    Walk(PlotDevice& d, const ZFunction& f, const Projection& p, std::size_t columns,
         int hiddenPen, int bands)
        : d_(d), f_(f), p_(p), pen_(d.penIndex()), hiddenPen_(hiddenPen),
          bands_(bands, p.box.z1, p.box.z2), lower_(columns), upper_(columns)
    {
    }

    Sample sample(double x, double y) const
    {
        const double z = f_.height(x, y);
        return {p_.projectX(x, y), p_.projectY(x, y, z), z};
    }

    // With bands, each line to a seen sample is drawn in the colour of
    // its height's band, or that colour at half the brightness for the
    // underside, and each line to a hidden one in the pen of hidden
    // lines: set as pens without an index, and not while colours are
    // ignored, when the pens are those of the surface without bands.
    bool banded() const { return bands_.count() != 0 && d_.colourDrawing(); }
    void setPen(std::optional<Pen> pen)
    {
        if (pen)
            d_.lines().setPen(*pen);
    }
    void lineInBand(const Sample& s, bool underside)
    {
        const int b = bands_.bandOf(s.z);
        setPen(d_.penOf(underside ? bands_.underside(b) : bands_.upper(b)));
        d_.lineTo(s.x, s.y);
    }
    void upperLine(const Sample& s)
    {
        if (banded())
            lineInBand(s, false);
        else
            d_.lineTo(s.x, s.y);
    }

    void setBoth(std::int64_t c, double y)
    {
        lower_[static_cast<std::size_t>(c)] = upper_[static_cast<std::size_t>(c)] = y;
    }

    // Above the upper horizon the upper side is seen, below the lower one
    // the underside; on a horizon a sample is hidden. A height that is
    // not a number counts as above.
    void visit(const Sample& s, std::int64_t c)
    {
        double& upper = upper_[static_cast<std::size_t>(c)];
        double& lower = lower_[static_cast<std::size_t>(c)];
        if (!(upper >= s.y)) {
            upperLine(s);
            upper = s.y;
        } else if (!(s.y >= lower)) {
            if (banded()) {
                lineInBand(s, true);
            } else {
                d_.selectPen(pen_ - 8);
                d_.lineTo(s.x, s.y);
                d_.selectPen(pen_);
            }
            lower = s.y;
        } else if (hiddenPen_ != 0 && banded()) {
            setPen(d_.penFor(hiddenPen_));
            d_.lineTo(s.x, s.y);
        } else if (hiddenPen_ != 0) {
            d_.selectPen(hiddenPen_);
            d_.lineTo(s.x, s.y);
            d_.selectPen(pen_);
        } else {
            d_.moveTo(s.x, s.y);
        }
    }

    PlotDevice& d_;

private:
    const ZFunction& f_;
    const Projection& p_;
    const int pen_;
    const int hiddenPen_;
    const HeightBands bands_;
    std::vector<double> lower_, upper_;
};

struct Mesh {
    double x1, y1, y2;
    std::int64_t m, n, k, mk, nk;
    double dx, dy, subDx, subDy;
};

// Down x = x1, then along y = y1, setting both horizons; drawn, or in the
// reset only computed.
void frontBoundary(Walk& w, const Mesh& g, bool draw)
{
    Sample s = w.sample(g.x1, g.y2);
    w.d_.moveTo(s.x, s.y);
    w.setBoth(0, s.y);
    double y = g.y2;
    for (std::int64_t i = 1; i <= g.nk; ++i) {
        y = g.y2 - static_cast<double>(i) * g.subDy;
        s = w.sample(g.x1, y);
        if (draw)
            w.upperLine(s);
        w.setBoth(i, s.y);
    }
    for (std::int64_t j = 1; j <= g.mk; ++j) {
        s = w.sample(g.x1 + static_cast<double>(j) * g.subDx, y);
        if (draw)
            w.upperLine(s);
        w.setBoth(g.nk + j, s.y);
    }
}

} // namespace

Projection drawOracleSurface(PlotDevice& device, const ZFunction& f, const SurfaceMesh& mesh,
                             double tilt, SurfaceStyle style)
{
    const PlotBox& b = mesh.box;
    const Projection p = projectionOf(b, mesh.m, mesh.n, tilt);
    setProjectedWorld(device, p);
    const int surfacePen = device.penIndex();
    if (meshRefusal(mesh.m, mesh.n, mesh.k) != MeshRefusal::None)
        return p;
    Mesh g{b.x1, b.y1, b.y2, mesh.m, mesh.n, mesh.k, std::int64_t{mesh.m} * mesh.k,
           std::int64_t{mesh.n} * mesh.k, 0, 0, 0, 0};
    g.dx = (b.x2 - b.x1) / mesh.m;
    g.dy = (b.y2 - b.y1) / mesh.n;
    g.subDx = g.dx / mesh.k;
    g.subDy = g.dy / mesh.k;
    Walk w(device, f, p, static_cast<std::size_t>(g.mk + g.nk + 1), style.hiddenPen,
           style.bands);

    frontBoundary(w, g, true);
    for (std::int64_t r = 1; r <= g.n && style.lines != SurfaceStyle::Lines::ConstantX; ++r) {
        const double y = g.y1 + static_cast<double>(r) * g.dy;
        const Sample first = w.sample(g.x1, y);
        w.d_.moveTo(first.x, first.y);
        for (std::int64_t l = 1; l <= g.mk; ++l)
            w.visit(w.sample(g.x1 + static_cast<double>(l) * g.subDx, y), g.nk - r * g.k + l);
    }
    if (style.lines == SurfaceStyle::Lines::ConstantY) {
        device.selectPen(surfacePen);
        return p;
    }
    frontBoundary(w, g, false);
    for (std::int64_t q = 1; q <= g.m; ++q) {
        const double x = g.x1 + static_cast<double>(q) * g.dx;
        const Sample first = w.sample(x, g.y1);
        w.d_.moveTo(first.x, first.y);
        for (std::int64_t i = 1; i <= g.nk; ++i)
            w.visit(w.sample(x, g.y1 + static_cast<double>(i) * g.subDy), g.nk - i + q * g.k);
    }
    device.selectPen(surfacePen);
    return p;
}
