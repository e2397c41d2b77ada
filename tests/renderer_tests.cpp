#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <optional>
#include <string>

#include "device/PlotDevice.h"
#include "render/FrameBox.h"
#include "render/SurfaceRenderer.h"
#include "tests/FakeCanvas.h"

namespace {

class Function final : public ZFunction {
public:
    explicit Function(std::function<double(double, double)> f) : f_(std::move(f)) {}
    void heights(std::span<const double> x, std::span<const double> y,
                 std::span<double> z) const override
    {
        for (std::size_t i = 0; i < z.size(); ++i) {
            ++evaluations;
            z[i] = f_(x[i], y[i]);
        }
    }
    bool sameHeights(const ZFunction&) const override { return false; }
    std::unique_ptr<ZFunction> snapshot() const override
    {
        return std::make_unique<Function>(f_);
    }
    mutable long evaluations = 0;

private:
    std::function<double(double, double)> f_;
};

double defaultF(double x, double y) { return std::exp(-(x * x + 4 * y * y)); }

constexpr int surfacePen = 13;   // magenta
constexpr int undersidePen = 5;  // dark magenta

// A surface viewport set up as the page does it, with the surface pen.
// endPicture() ends the picture, keeps its calls and starts the next one
// the same way (the world window and the projection stay).
class Renderer : public ::testing::Test {
protected:
    Renderer() : window(800, 600), device(window) { begin(); }
    ~Renderer() override { device.finishDrawing(); }

    void begin()
    {
        device.beginDrawing();
        device.setViewport(5, 80, 5, 85, ClipMode::Clip);
        device.selectPen(surfacePen);
        window.clearCalls();
    }

    void endPicture()
    {
        device.finishDrawing();
        drawn = window.calls(CallKind::Line);
        begin();
    }

    void draw(Function& f, int m, int n, int k, double tilt, double x1 = -2, double x2 = 2,
              double y1 = -2, double y2 = 2, double z1 = 0, double z2 = 1)
    {
        drawSurface(device, f, x1, x2, y1, y2, z1, z2, m, n, k, tilt);
    }

    // The lines of the last picture ended, only those in a pen if one is given.
    std::size_t lines(std::optional<int> pen = std::nullopt) const
    {
        if (!pen)
            return drawn.size();
        return callsOf(drawn, CallKind::Line, PenColours[static_cast<std::size_t>(*pen)]).size();
    }

    TestWindow window;
    PlotDevice device;
    std::vector<RecordedCall> drawn;
};

TEST_F(Renderer, DefaultsProjectionAndWorldWindow)
{
    Function f(defaultF);
    draw(f, 40, 20, 10, 15);
    const Projection& p = device.projection();
    EXPECT_NEAR(p.domainRotation, -26.56505117707799, 1e-12);
    EXPECT_NEAR(device.world().x1, -2.683282, 1e-6);
    EXPECT_NEAR(device.world().x2, 2.683282, 1e-6);
    EXPECT_NEAR(device.world().y1, -0.694484, 1e-6);
    EXPECT_NEAR(device.world().y2, 1.660410, 1e-6);
    EXPECT_EQ(p.box.z2, 1);
    EXPECT_DOUBLE_EQ(p.sinTilt, std::sin(15 * 0.017453292519943295));
    const long n = 20, m = 40, k = 10;
    EXPECT_EQ(f.evaluations, 2 + 2 * k * (n + m) + (n + m) + 2 * n * m * k);
    EXPECT_EQ(device.penIndex(), surfacePen);
    endPicture();
    EXPECT_GT(lines(surfacePen), 1000u);
}

TEST_F(Renderer, SquareBoxWithEqualMeshIsFortyFiveDegrees)
{
    Function f(defaultF);
    draw(f, 10, 10, 2, 30);
    EXPECT_NEAR(device.projection().domainRotation, -45, 1e-12);
}

TEST_F(Renderer, ConstantSurfaceAboveZeroTiltIsAllSeen)
{
    Function f([](double, double) { return 0.5; });
    const int n = 1, m = 2, k = 2;
    draw(f, m, n, k, 20);
    endPicture();
    const std::size_t front = n * k + m * k;
    EXPECT_EQ(lines(), front + n * m * k + m * n * k);
    EXPECT_EQ(lines(undersidePen), 0u);
}

TEST_F(Renderer, ConstantSurfaceEdgeOnShowsOnlyTheFront)
{
    Function f([](double, double) { return 0.5; });
    draw(f, 2, 1, 2, 0);
    endPicture();
    EXPECT_EQ(lines(), 2u + 4u);
}

TEST_F(Renderer, ColumnsOfTheSmallMesh)
{
    // A flat surface above tilt 0 makes every visit visible, so the order
    // of the lines is the order of the visits: each line ends at the
    // projected X of the column it visits.
    Function f([](double, double) { return 0.0; });
    draw(f, 2, 1, 2, 30);
    const double s = (device.projection().cosRot * 4) / (2 * 2);
    const double left = device.projection().projectX(-2, 2);
    auto columnX = [&](int c) { return device.toDeviceX(left + c * s); };
    endPicture();
    ASSERT_EQ(drawn.size(), 6u + 4u + 2u + 2u);
    for (int c = 1; c <= 6; ++c)
        EXPECT_EQ(drawn[c - 1].to.x, columnX(c)) << "front boundary column " << c;
    for (int l = 1; l <= 4; ++l)
        EXPECT_EQ(drawn[5 + l].to.x, columnX(l)) << "line y = y2 visits column " << l;
    EXPECT_EQ(drawn[10].to.x, columnX(3));
    EXPECT_EQ(drawn[11].to.x, columnX(2));
    EXPECT_EQ(drawn[12].to.x, columnX(5));
    EXPECT_EQ(drawn[13].to.x, columnX(4));
}

TEST_F(Renderer, UndersideInTheDarkPenThenBack)
{
    Function f([](double, double y) { return -3 * y; });
    draw(f, 4, 4, 2, 15);
    EXPECT_EQ(device.penIndex(), surfacePen);
    device.moveTo(0, 0);
    device.lineTo(1, 1);
    endPicture();
    EXPECT_GT(lines(undersidePen), 0u);
    EXPECT_EQ(drawn.back().colour, PenColours[surfacePen]) << "the surface pen is selected again";
}

TEST_F(Renderer, LowSurfacePenDrawsTheUndersideInItself)
{
    device.selectPen(3);
    Function f([](double, double y) { return -3 * y; });
    draw(f, 4, 4, 2, 15);
    endPicture();
    EXPECT_EQ(lines(3), lines());
    EXPECT_GT(lines(), 0u);
}

TEST_F(Renderer, SingleRowOrColumnMeshes)
{
    Function f(defaultF);
    draw(f, 4, 0, 3, 15);
    EXPECT_EQ(device.projection().domainRotation, 0);
    endPicture();
    EXPECT_EQ(lines(), 12u) << "only the line y = y2";
    draw(f, 0, 4, 3, 15);
    EXPECT_EQ(device.projection().domainRotation, -90);
    endPicture();
    EXPECT_EQ(lines(), 12u) << "only the edge x = x1";
}

TEST_F(Renderer, ZeroSubStepsMovesOnly)
{
    Function f(defaultF);
    draw(f, 4, 4, 0, 15);
    endPicture();
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
    const Projection& p = device.projection();
    EXPECT_DOUBLE_EQ(device.world().y1, p.projectY(2, 2, 0));
    EXPECT_DOUBLE_EQ(device.world().y2, p.projectY(-2, -2, 1));
    EXPECT_LT(device.world().y1, device.world().y2);
}

TEST_F(Renderer, ReversedBoxTurnsTheOtherWay)
{
    Function f(defaultF);
    draw(f, 10, 10, 2, 15, 2, -2);
    const Projection& p = device.projection();
    EXPECT_GT(p.sinRot, 0);
    EXPECT_DOUBLE_EQ(device.world().x1, p.projectX(2, -2));
    EXPECT_DOUBLE_EQ(device.world().y1, p.projectY(-2, -2, 0));
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
    endPicture();
    EXPECT_EQ(lines(), 0u);
    EXPECT_EQ(f.evaluations, 0);
    EXPECT_EQ(device.projection().box.x2, 2);
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
    endPicture();
    EXPECT_GT(lines(), 0u);
    // A height that is not a number has no device point (it would show
    // at y 0, above the viewport's top at 90).
    for (const RecordedCall& line : drawn) {
        EXPECT_GE(line.from.y, 90);
        EXPECT_GE(line.to.y, 90);
    }
}

TEST_F(Renderer, InfiniteHeightsAreDrawnToTheEndOfTheIntRange)
{
    Function f([](double x, double) { return x > 1 ? INFINITY : 0.2; });
    draw(f, 8, 4, 2, 15);
    endPicture();
    bool clamped = false;
    for (const RecordedCall& line : drawn)
        clamped = clamped || line.to.y == INT_MIN;
    EXPECT_TRUE(clamped);
}

TEST_F(Renderer, ZeroExtentBoxesDrawWithoutFault)
{
    Function f(defaultF);
    draw(f, 8, 4, 2, 15, 1, 1);
    draw(f, 8, 4, 2, 15, -2, 2, 1, 1);
    draw(f, 8, 4, 2, 15, -2, 2, -2, 2, 0, 0);
    draw(f, 8, 4, 2, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(device.penIndex(), surfacePen);
}

TEST_F(Renderer, FrameBoxHasTwelveEdgesInItsPen)
{
    Function f(defaultF);
    draw(f, 4, 4, 2, 15);
    endPicture();
    drawFrameBox(device, 11);
    EXPECT_EQ(device.penIndex(), surfacePen);
    endPicture();
    EXPECT_EQ(lines(11), 12u);
    EXPECT_EQ(lines(), 12u);
    drawFrameBox(device, 40);
    endPicture();
    EXPECT_EQ(lines(surfacePen), 12u) << "an unknown pen leaves the surface pen";
}

TEST_F(Renderer, AxesCrossAtTheFloorCentre)
{
    Function f(defaultF);
    draw(f, 40, 20, 10, 15);
    endPicture();
    drawAxes(device, 9, 12, 10);
    const DevicePoint origin{device.toDeviceX(0), device.toDeviceY(0)};
    endPicture();
    ASSERT_EQ(lines(), 3u);
    EXPECT_EQ(drawn[0].colour, colourOf(PenColour::Green));
    EXPECT_EQ(drawn[1].colour, colourOf(PenColour::Cyan));
    EXPECT_EQ(drawn[2].colour, colourOf(PenColour::Blue));
    EXPECT_EQ(drawn[0].from, origin) << "z rises from the origin";
    drawAxes(device, 0, 12, 0);
    EXPECT_EQ(device.penIndex(), surfacePen);
    endPicture();
    EXPECT_EQ(lines(), 1u);
}

} // namespace
