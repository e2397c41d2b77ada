#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <string>

#include "device/PlotDevice.h"
#include "render/FrameBox.h"
#include "render/SurfaceRenderer.h"
#include "tests/FakeCanvas.h"

namespace {

class Function final : public ZFunction {
public:
    explicit Function(std::function<double(double, double)> f) : f_(std::move(f)) {}
    double evaluate(double x, double y) override
    {
        ++evaluations;
        return f_(x, y);
    }
    long evaluations = 0;

private:
    std::function<double(double, double)> f_;
};

double defaultF(double x, double y) { return std::exp(-(x * x + 4 * y * y)); }

// A surface viewport set up as the page does it, with the surface pen.
class Renderer : public ::testing::Test {
protected:
    Renderer() : window(800, 600), device(&window)
    {
        device.beginDrawing(0);
        device.setViewport(5, 80, 5, 85, 1);
        device.selectPen(13);
        window.clearCalls();
    }
    ~Renderer() override { device.finishDrawing(); }

    void draw(Function& f, int m, int n, int k, double tilt, double x1 = -2, double x2 = 2,
              double y1 = -2, double y2 = 2, double z1 = 0, double z2 = 1)
    {
        drawSurface(device, f, x1, x2, y1, y2, z1, z2, m, n, k, tilt);
    }

    std::size_t lines(const std::string& colour = "") const
    {
        std::size_t count = 0;
        for (const std::string& call : window.callsStartingWith("line "))
            if (colour.empty() || call.find(colour) != std::string::npos)
                ++count;
        return count;
    }

    TestWindow window;
    PlotDevice device;
};

TEST_F(Renderer, DefaultsProjectionAndWorldWindow)
{
    Function f(defaultF);
    draw(f, 40, 20, 10, 15);
    const Projection& p = device.projection;
    EXPECT_NEAR(p.domainRotation, -26.56505117707799, 1e-12);
    EXPECT_NEAR(device.x1, -2.683282, 1e-6);
    EXPECT_NEAR(device.x2, 2.683282, 1e-6);
    EXPECT_NEAR(device.y1, -0.694484, 1e-6);
    EXPECT_NEAR(device.y2, 1.660410, 1e-6);
    EXPECT_EQ(p.boxZ2, 1);
    EXPECT_EQ(p.tiltAngle, 15);
    const long n = 20, m = 40, k = 10;
    EXPECT_EQ(f.evaluations, 2 + 2 * k * (n + m) + (n + m) + 2 * n * m * k);
    EXPECT_EQ(device.penIndex, 13);
    EXPECT_GT(lines("#FF00FF"), 1000u);
}

TEST_F(Renderer, SquareBoxWithEqualMeshIsFortyFiveDegrees)
{
    Function f(defaultF);
    draw(f, 10, 10, 2, 30);
    EXPECT_NEAR(device.projection.domainRotation, -45, 1e-12);
}

TEST_F(Renderer, ConstantSurfaceAboveZeroTiltIsAllSeen)
{
    Function f([](double, double) { return 0.5; });
    const int n = 1, m = 2, k = 2;
    draw(f, m, n, k, 20);
    const std::size_t front = n * k + m * k;
    EXPECT_EQ(lines(), front + n * m * k + m * n * k);
    EXPECT_EQ(lines("#A000A0"), 0u);
}

TEST_F(Renderer, ConstantSurfaceEdgeOnShowsOnlyTheFront)
{
    Function f([](double, double) { return 0.5; });
    draw(f, 2, 1, 2, 0);
    EXPECT_EQ(lines(), 2u + 4u);
}

TEST_F(Renderer, ColumnsOfTheSmallMesh)
{
    // Heights that rise with the drawing order make every visit visible,
    // so the visited columns show in the upper horizon's order of lines:
    // each line segment ends at the column's projected X.
    Function f([](double, double) { return 0.0; });
    draw(f, 2, 1, 2, 30);
    const auto all = window.callsStartingWith("line ");
    ASSERT_EQ(all.size(), 6u + 4u + 2u + 2u);
    const double s = (device.projection.cosRot * 4) / (2 * 2);
    auto columnX = [&](int c) { return device.toDeviceX(device.projectX(-2, 2) + c * s); };
    auto endX = [&](const std::string& call) {
        int x0, y0, x1, y1;
        std::sscanf(call.c_str(), "line %d %d %d %d", &x0, &y0, &x1, &y1);
        return x1;
    };
    for (int c = 1; c <= 6; ++c)
        EXPECT_EQ(endX(all[c - 1]), columnX(c)) << "front boundary column " << c;
    for (int l = 1; l <= 4; ++l)
        EXPECT_EQ(endX(all[5 + l]), columnX(l)) << "line y = y2 visits column " << l;
    EXPECT_EQ(endX(all[10]), columnX(3));
    EXPECT_EQ(endX(all[11]), columnX(2));
    EXPECT_EQ(endX(all[12]), columnX(5));
    EXPECT_EQ(endX(all[13]), columnX(4));
}

TEST_F(Renderer, UndersideInTheDarkPenThenBack)
{
    Function f([](double, double y) { return -3 * y; });
    draw(f, 4, 4, 2, 15);
    EXPECT_GT(lines("#A000A0"), 0u);
    EXPECT_EQ(device.penIndex, 13);
    window.clearCalls();
    device.moveTo(0, 0);
    device.lineTo(1, 1);
    EXPECT_NE(window.calls().back().find("#FF00FF"), std::string::npos);
}

TEST_F(Renderer, LowSurfacePenDrawsTheUndersideInItself)
{
    device.selectPen(3);
    Function f([](double, double y) { return -3 * y; });
    draw(f, 4, 4, 2, 15);
    EXPECT_EQ(lines("#A00000"), lines());
    EXPECT_GT(lines(), 0u);
}

TEST_F(Renderer, SingleRowOrColumnMeshes)
{
    Function f(defaultF);
    draw(f, 4, 0, 3, 15);
    EXPECT_EQ(device.projection.domainRotation, 0);
    EXPECT_EQ(lines(), 12u) << "only the line y = y2";
    window.clearCalls();
    draw(f, 0, 4, 3, 15);
    EXPECT_EQ(device.projection.domainRotation, -90);
    EXPECT_EQ(lines(), 12u) << "only the edge x = x1";
}

TEST_F(Renderer, ZeroSubStepsMovesOnly)
{
    Function f(defaultF);
    draw(f, 4, 4, 0, 15);
    EXPECT_EQ(lines(), 0u);
}

TEST_F(Renderer, SubStepOneSamplesMeshPointsOnly)
{
    Function f(defaultF);
    draw(f, 3, 2, 1, 15);
    EXPECT_EQ(f.evaluations, 2 + 2 * 5 + 5 + 2 * 6);
}

TEST_F(Renderer, NegativeTiltSwapsTheHeightCorners)
{
    Function f(defaultF);
    draw(f, 40, 20, 10, -15);
    const Projection& p = device.projection;
    EXPECT_DOUBLE_EQ(device.y1, p.projectY(2, 2, 0));
    EXPECT_DOUBLE_EQ(device.y2, p.projectY(-2, -2, 1));
    EXPECT_LT(device.y1, device.y2);
}

TEST_F(Renderer, ReversedBoxTurnsTheOtherWay)
{
    Function f(defaultF);
    draw(f, 10, 10, 2, 15, 2, -2);
    const Projection& p = device.projection;
    EXPECT_GT(p.sinRot, 0);
    EXPECT_DOUBLE_EQ(device.x1, p.projectX(2, -2));
    EXPECT_DOUBLE_EQ(device.y1, p.projectY(-2, -2, 0));
}

struct BadMesh {
    const char* name;
    int m, n, k;
};

class BadMeshes : public Renderer, public ::testing::WithParamInterface<BadMesh> {};

TEST_P(BadMeshes, DrawNoSurfaceButSetTheProjection)
{
    Function f(defaultF);
    const BadMesh& mesh = GetParam();
    draw(f, mesh.m, mesh.n, mesh.k, 15);
    EXPECT_EQ(lines(), 0u);
    EXPECT_EQ(f.evaluations, 0);
    EXPECT_EQ(device.projection.boxX2, 2);
}

INSTANTIATE_TEST_SUITE_P(Meshes, BadMeshes, ::testing::Values(
    BadMesh{"negativeM", -1, 20, 10}, BadMesh{"negativeN", 40, -3, 10},
    BadMesh{"negativeK", 40, 20, -1}, BadMesh{"hugeK", 40, 20, INT_MAX},
    BadMesh{"hugeMesh", INT_MAX, INT_MAX, INT_MAX}, BadMesh{"tooManySamples", 20000, 20000, 10},
    BadMesh{"mostNegative", INT_MIN, INT_MIN, INT_MIN}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Renderer, NotANumberCountsAsAboveAndIsNeverJoined)
{
    Function f([](double x, double) { return x > 0 ? NAN : 0.2; });
    draw(f, 8, 4, 2, 15);
    EXPECT_GT(lines(), 0u);
    for (const std::string& call : window.callsStartingWith("line "))
        EXPECT_EQ(call.find("-0 "), std::string::npos) << call;
}

TEST_F(Renderer, InfiniteHeightsAreDrawnToTheClampedEdge)
{
    Function f([](double x, double) { return x > 1 ? INFINITY : 0.2; });
    draw(f, 8, 4, 2, 15);
    bool clamped = false;
    for (const std::string& call : window.callsStartingWith("line "))
        clamped = clamped || call.find(std::to_string(-(1 << 22))) != std::string::npos;
    EXPECT_TRUE(clamped);
}

TEST_F(Renderer, ZeroExtentBoxesDrawWithoutFault)
{
    Function f(defaultF);
    draw(f, 8, 4, 2, 15, 1, 1);
    draw(f, 8, 4, 2, 15, -2, 2, 1, 1);
    draw(f, 8, 4, 2, 15, -2, 2, -2, 2, 0, 0);
    draw(f, 8, 4, 2, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(device.penIndex, 13);
}

TEST_F(Renderer, FrameBoxHasTwelveEdgesInItsPen)
{
    Function f(defaultF);
    draw(f, 4, 4, 2, 15);
    window.clearCalls();
    drawFrameBox(device, 11);
    EXPECT_EQ(lines("#FF0000"), 12u);
    EXPECT_EQ(lines(), 12u);
    EXPECT_EQ(device.penIndex, 13);
    window.clearCalls();
    drawFrameBox(device, 40);
    EXPECT_EQ(lines("#FF00FF"), 12u) << "an unknown pen leaves the surface pen";
}

TEST_F(Renderer, AxesCrossAtTheFloorCentre)
{
    Function f(defaultF);
    draw(f, 40, 20, 10, 15);
    window.clearCalls();
    drawAxes(device, 9, 12, 10);
    const auto all = window.callsStartingWith("line ");
    ASSERT_EQ(all.size(), 3u);
    EXPECT_NE(all[0].find("#00FF00"), std::string::npos);
    EXPECT_NE(all[1].find("#00FFFF"), std::string::npos);
    EXPECT_NE(all[2].find("#0000FF"), std::string::npos);
    const std::string origin =
        std::to_string(device.toDeviceX(0)) + " " + std::to_string(device.toDeviceY(0));
    EXPECT_EQ(all[0].substr(5, origin.size()), origin) << "z rises from the origin";
    window.clearCalls();
    drawAxes(device, 0, 12, 0);
    EXPECT_EQ(lines(), 1u);
    EXPECT_EQ(device.penIndex, 13);
}

} // namespace
