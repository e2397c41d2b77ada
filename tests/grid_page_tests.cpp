// A grid of heights written at the mesh's own points from a formula draws
// the page of that formula, call for call.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>

#include "device/PlotDevice.h"
#include "expr/SurfaceFunction.h"
#include "grid/GridReader.h"
#include "grid/GridSurface.h"
#include "render/MeshHeights.h"
#include "render/SurfaceRenderer.h"
#include "sheets/DataSheet.h"
#include "tests/FakeCanvas.h"

namespace {

// A box and mesh whose steps are exact in binary, so that every sample
// point is computed without rounding.
struct Page {
    const char* name;
    const char* formula;
    double x1, x2, y1, y2, z1, z2;
    int m, n;
    double tilt;
};

std::ostream& operator<<(std::ostream& out, const Page& page) { return out << page.name; }

// The drawing calls of one surface through the program's renderer, set
// up as the page does it.
std::string surfaceCalls(const ZFunction& f, const Page& p)
{
    TestWindow window(800, 600);
    PlotDevice device(window);
    device.beginDrawing();
    device.setViewport(5, 80, 5, 85, ClipMode::Clip);
    device.selectPen(13);
    window.clearCalls();
    const SurfaceMesh mesh{{p.x1, p.x2, p.y1, p.y2, p.z1, p.z2}, p.m, p.n, 1};
    MeshHeights heights;
    drawSurface(device, f, heights, mesh, projectionOf(mesh, p.tilt));
    device.finishDrawing();
    return trace(window.calls(CallKind::Line));
}

std::string number(double z)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", z);
    return text;
}

// f at the mesh's nodes, as a matrix: row i at y1 + i Dy, column j at
// x1 + j Dx.
std::string matrixOf(const ZFunction& f, const Page& p)
{
    const double dx = (p.x2 - p.x1) / p.m, dy = (p.y2 - p.y1) / p.n;
    std::string text = "# " + std::string(p.formula) + "\n";
    for (int i = 0; i <= p.n; ++i) {
        for (int j = 0; j <= p.m; ++j)
            text += number(f.height(p.x1 + j * dx, p.y1 + i * dy)) + (j < p.m ? "," : "\n");
    }
    return text;
}

// The same as triples, a block for each x, y falling.
std::string triplesOf(const ZFunction& f, const Page& p)
{
    const double dx = (p.x2 - p.x1) / p.m, dy = (p.y2 - p.y1) / p.n;
    std::string text = "x y z\n";
    for (int j = 0; j <= p.m; ++j) {
        const double x = p.x1 + j * dx;
        for (int i = p.n; i >= 0; --i) {
            const double y = p.y1 + i * dy;
            text += number(x) + " " + number(y) + " " + number(f.height(x, y)) + "\n";
        }
        text += "\n";
    }
    return text;
}

std::shared_ptr<const HeightGrid> read(const std::string& text)
{
    std::istringstream in(text);
    GridRead r = readGrid(in, "page.csv");
    EXPECT_TRUE(r) << r.error;
    return r.grid;
}

class GridPage : public ::testing::TestWithParam<Page> {
protected:
    void SetUp() override
    {
        const Page& p = GetParam();
        buildLine(fdata[6], "f(x,y)", p.formula);
        formula.setCentre((p.x1 + p.x2) / 2, (p.y1 + p.y2) / 2);
        ASSERT_TRUE(formula.parse());
        formula.setParameters();
        formula.setTheta(0);
        expected = surfaceCalls(formula, p);
        // Not a page that any surface draws alike.
        ASSERT_GT(std::count(expected.begin(), expected.end(), '\n'), 2 * (p.m + p.n));
    }

    DataSheet fdata = defaultFunctionSheet();
    SurfaceFunction formula{fdata};
    std::string expected;
};

TEST_P(GridPage, AMatrixDrawsTheFormulasPage)
{
    const Page& p = GetParam();
    const GridSurface grid(read(matrixOf(formula, p)), p.x1, p.x2, p.y1, p.y2);
    EXPECT_EQ(surfaceCalls(grid, p), expected);
}

TEST_P(GridPage, TriplesDrawTheFormulasPage)
{
    const Page& p = GetParam();
    // Their own coordinates: the box they are given is not used.
    const GridSurface grid(read(triplesOf(formula, p)), 0, 1, 0, 1);
    EXPECT_EQ(surfaceCalls(grid, p), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Formulas, GridPage,
    ::testing::Values(
        Page{"DefaultFormula", "exp(-(x*x+4*y*y))", -2, 2, -2, 2, 0, 1, 32, 16, 15},
        Page{"Saddle", "x*x-y*y", -2, 2, -2, 2, -4, 4, 16, 16, 30},
        Page{"Waves", "sin(3*x)*cos(2*y)", -1, 3, 0, 2, -1, 1, 64, 32, 25},
        Page{"Ridges", "a*sin(x*y)+0.1*x", -4, 4, -2, 2, -6, 6, 32, 64, 10},
        Page{"FromBelow", "exp(-(x*x+y*y))", -2, 2, -1, 1, 0, 1, 16, 8, -20}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
