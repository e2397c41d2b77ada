#include "render/SurfaceRenderer.h"

#include <cmath>
#include <cstddef>
#include <new>
#include <vector>

#include "render/KeptWalk.h"
#include "render/MeshHeights.h"
#include "render/MeshLattice.h"
#include "render/VectorRegisters.h"
#include "sheets/PlotSettings.h"
#include "sheets/StyleSettings.h"

namespace {

constexpr double degreesToRadians = 0.017453292519943295;

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

} // namespace

SurfaceMesh meshOf(const PlotSettings& s)
{
    return {{s.x1, s.x2, s.y1, s.y2, s.z1, s.z2}, s.m, s.n, s.k};
}

SurfaceStyle styleOf(const StyleSettings& s)
{
    return {static_cast<SurfaceStyle::Lines>(s.lines), s.hidden, s.bands};
}

Projection projectionOf(const SurfaceMesh& mesh, double tilt)
{
    const PlotBox& b = mesh.box;
    Projection p;
    p.domainRotation =
        -(std::atan(mesh.n * (b.x2 - b.x1) / (mesh.m * (b.y2 - b.y1))) / degreesToRadians);
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

void prepareHeights(const ZFunction& f, MeshHeights& heights, const SurfaceMesh& mesh)
{
    if (meshRefusal(mesh.m, mesh.n, mesh.k) != MeshRefusal::None)
        return;
    const PlotBox& b = mesh.box;
    try {
        heights.prepare(f, MeshLattice(b.x1, b.x2, b.y1, b.y2, mesh.m, mesh.n, mesh.k),
                        MeshHeights::When::AsAsked);
    } catch (const std::bad_alloc&) {
        // drawSurface tries again, and draws no surface.
    }
}

void drawSurface(PlotDevice& device, const ZFunction& f, MeshHeights& heights,
                 const SurfaceMesh& mesh, const Projection& view, SurfaceStyle style)
{
    setProjectedWorld(device, view);
    const int surfacePen = device.penIndex();
    const LayerScope layer(device.lines(), PageLayer::UpperSide);
    if (meshRefusal(mesh.m, mesh.n, mesh.k) != MeshRefusal::None)
        return;
    // What the page drew before may leave this thread's vector registers
    // in a state that slows all that follows many times over.
    clearUpperVectorRegisters();

    const PlotBox& b = mesh.box;
    const MeshLattice lattice(b.x1, b.x2, b.y1, b.y2, mesh.m, mesh.n, mesh.k);
    const auto columns = static_cast<std::size_t>(lattice.length(MeshLattice::Family::Front));
    std::vector<double> lower, upper;
    try {
        lower.resize(columns);
        upper.resize(columns);
        heights.prepare(f, lattice, MeshHeights::When::AsAsked);
    } catch (const std::bad_alloc&) {
        return;
    }

    try {
        walkKeptHeights(device, view, heights, lattice, lower, upper, style);
    } catch (const std::bad_alloc&) {
        // Heights beyond the budget are computed line by line; a line that
        // finds no memory ends the surface where it is.
    }
    device.selectPen(surfacePen);
}
