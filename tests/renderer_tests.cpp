#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cmath>
#include <functional>
#include <optional>
#include <string>

#include "device/PlotDevice.h"
#include "render/FrameBox.h"
#include "render/MeshHeights.h"
#include "render/SurfaceRenderer.h"
#include "tests/FakeCanvas.h"
#include "tests/SurfaceOracle.h"

namespace {

// A surface that is not a formula: heights from any function of x and y,
// counted over all its snapshots.
class Function final : public ZFunction {
public:
    explicit Function(std::function<double(double, double)> f) : f_(std::move(f)) {}
    void heights(std::span<const double> x, std::span<const double> y,
                 std::span<double> z) const override
    {
        *count_ += static_cast<long>(z.size());
        for (std::size_t i = 0; i < z.size(); ++i)
            z[i] = f_(x[i], y[i]);
    }
    bool sameHeights(const ZFunction&) const override { return false; }
    std::unique_ptr<ZFunction> snapshot() const override
    {
        return std::make_unique<Function>(*this);
    }
    long evaluations() const { return *count_; }

private:
    std::function<double(double, double)> f_;
    std::shared_ptr<std::atomic<long>> count_ = std::make_shared<std::atomic<long>>(0);
};

double defaultF(double x, double y) { return std::exp(-(x * x + 4 * y * y)); }

constexpr int surfacePen = 13;   // magenta
constexpr int undersidePen = 5;  // dark magenta

// A surface viewport set up as the page does it, with the surface pen.
// endPicture() ends the picture, keeps its calls and starts the next one
// the same way (the world window and the view stay).
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
        const SurfaceMesh mesh{{x1, x2, y1, y2, z1, z2}, m, n, k};
        view = projectionOf(mesh, tilt);
        MeshHeights heights;
        drawSurface(device, f, heights, mesh, view);
    }

    // Every sample's height once: the front, the lines of constant y and
    // those of constant x.
    static long samples(long m, long n, long k)
    {
        return 1 + (n + m) * k + n * (m * k + 1) + m * (n * k + 1);
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
    Projection view;
    std::vector<RecordedCall> drawn;
};

TEST_F(Renderer, DefaultsProjectionAndWorldWindow)
{
    Function f(defaultF);
    draw(f, 40, 20, 10, 15);
    const Projection& p = view;
    EXPECT_NEAR(p.domainRotation, -26.56505117707799, 1e-12);
    EXPECT_NEAR(device.world().x1, -2.683282, 1e-6);
    EXPECT_NEAR(device.world().x2, 2.683282, 1e-6);
    EXPECT_NEAR(device.world().y1, -0.694484, 1e-6);
    EXPECT_NEAR(device.world().y2, 1.660410, 1e-6);
    EXPECT_EQ(p.box.z2, 1);
    EXPECT_DOUBLE_EQ(p.sinTilt, std::sin(15 * 0.017453292519943295));
    const long n = 20, m = 40, k = 10;
    EXPECT_EQ(f.evaluations(), samples(m, n, k));
    EXPECT_EQ(device.penIndex(), surfacePen);
    endPicture();
    EXPECT_GT(lines(surfacePen), 1000u);
}

TEST_F(Renderer, SquareBoxWithEqualMeshIsFortyFiveDegrees)
{
    Function f(defaultF);
    draw(f, 10, 10, 2, 30);
    EXPECT_NEAR(view.domainRotation, -45, 1e-12);
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
    const double s = (view.cosRot * 4) / (2 * 2);
    const double left = view.projectX(-2, 2);
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
    EXPECT_EQ(view.domainRotation, 0);
    endPicture();
    EXPECT_EQ(lines(), 12u) << "only the line y = y2";
    draw(f, 0, 4, 3, 15);
    EXPECT_EQ(view.domainRotation, -90);
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
    EXPECT_EQ(f.evaluations(), samples(3, 2, 1));
}

TEST_F(Renderer, NegativeTiltSwapsTheHeightCorners)
{
    Function f(defaultF);
    draw(f, 40, 20, 10, -15);
    const Projection& p = view;
    EXPECT_DOUBLE_EQ(device.world().y1, p.projectY(2, 2, 0));
    EXPECT_DOUBLE_EQ(device.world().y2, p.projectY(-2, -2, 1));
    EXPECT_LT(device.world().y1, device.world().y2);
}

TEST_F(Renderer, ReversedBoxTurnsTheOtherWay)
{
    Function f(defaultF);
    draw(f, 10, 10, 2, 15, 2, -2);
    const Projection& p = view;
    EXPECT_GT(p.sinRot, 0);
    EXPECT_DOUBLE_EQ(device.world().x1, p.projectX(2, -2));
    EXPECT_DOUBLE_EQ(device.world().y1, p.projectY(-2, -2, 0));
}

struct BadMesh {
    const char* name;
    int m, n, k;
};

class BadMeshes : public Renderer, public ::testing::WithParamInterface<BadMesh> {};

TEST_P(BadMeshes, DrawNoSurfaceButSetTheWorldWindow)
{
    Function f(defaultF);
    const BadMesh& mesh = GetParam();
    draw(f, mesh.m, mesh.n, mesh.k, 15);
    endPicture();
    EXPECT_EQ(lines(), 0u);
    EXPECT_EQ(f.evaluations(), 0);
    EXPECT_DOUBLE_EQ(device.world().x2, view.projectX(2, view.sinRot <= 0 ? -2 : 2));
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
    drawFrameBox(device, view, 11);
    EXPECT_EQ(device.penIndex(), surfacePen);
    endPicture();
    EXPECT_EQ(lines(11), 12u);
    EXPECT_EQ(lines(), 12u);
    drawFrameBox(device, view, 40);
    endPicture();
    EXPECT_EQ(lines(surfacePen), 12u) << "an unknown pen leaves the surface pen";
}

TEST_F(Renderer, AxesCrossAtTheFloorCentre)
{
    Function f(defaultF);
    draw(f, 40, 20, 10, 15);
    endPicture();
    drawAxes(device, view, 9, 12, 10);
    const DevicePoint origin{device.toDeviceX(0), device.toDeviceY(0)};
    endPicture();
    ASSERT_EQ(lines(), 3u);
    EXPECT_EQ(drawn[0].colour, colourOf(PenColour::Green));
    EXPECT_EQ(drawn[1].colour, colourOf(PenColour::Cyan));
    EXPECT_EQ(drawn[2].colour, colourOf(PenColour::Blue));
    EXPECT_EQ(drawn[0].from, origin) << "z rises from the origin";
    drawAxes(device, view, 0, 12, 0);
    EXPECT_EQ(device.penIndex(), surfacePen);
    endPicture();
    EXPECT_EQ(lines(), 1u);
}

// Surfaces that are not formulas, drawn by the program's renderer and by
// the oracle: the same calls, one for one.
struct OracleRow {
    const char* name;
    double (*f)(double, double);
    SurfaceMesh mesh;
    double tilt = 15;
    int pen = surfacePen;
    SurfaceStyle style = {};
};

const PlotBox unitBox{-2, 2, -2, 2, 0, 1};

const OracleRow oracleRows[] = {
    {"defaults", defaultF, {unitBox, 40, 20, 10}},
    {"notANumber", [](double x, double y) { return x > 0 ? NAN : x * y; }, {unitBox, 8, 6, 3}},
    {"infinite", [](double x, double y) { return x > 1 ? INFINITY : y < -1 ? -INFINITY : x; },
     {unitBox, 8, 6, 3}, 30},
    {"undersideSeen", [](double, double y) { return -3 * y; }, {unitBox, 6, 5, 2}, -20},
    {"lowPen", [](double, double y) { return -3 * y; }, {unitBox, 6, 5, 2}, 20, 3},
    {"unknownPen", [](double x, double y) { return x * y; }, {unitBox, 6, 5, 2}, 20, 30},
    {"noIntervalsAlongY", defaultF, {unitBox, 7, 0, 3}},
    {"noIntervalsAlongX", defaultF, {unitBox, 0, 7, 3}},
    {"oneSubStep", [](double x, double y) { return std::abs(x) - y; }, {unitBox, 9, 5, 1}, 45},
    {"noSubSteps", defaultF, {unitBox, 5, 4, 0}},
    {"fromAbove", [](double x, double y) { return x * y; }, {unitBox, 12, 12, 2}, 90},
    {"upsideDown", [](double x, double y) { return std::sin(3 * x) * y; }, {unitBox, 9, 7, 3},
     -90},
    {"reversedBox", [](double x, double y) { return x - 2 * y; }, {{1, -1, 3, -3, 0, 1}, 6, 4, 2}},
    {"pointBox", [](double x, double y) { return x + y; }, {{1, 1, 1, 1, 0, 0}, 4, 4, 2}},
    // Large enough for the lines of constant x to be seen on a second
    // thread while the first draws those of constant y.
    {"dense", [](double x, double y) { return std::sin(2 * x) * std::cos(3 * y); },
     {unitBox, 200, 100, 10}, 25},
    // The styles: one family left out, lines to hidden samples in a pen.
    {"linesOfConstantY", defaultF, {unitBox, 40, 20, 10}, 15, surfacePen,
     {SurfaceStyle::Lines::ConstantY, 0}},
    {"linesOfConstantX", defaultF, {unitBox, 40, 20, 10}, 15, surfacePen,
     {SurfaceStyle::Lines::ConstantX, 0}},
    {"hiddenInPen9", defaultF, {unitBox, 40, 20, 10}, 15, surfacePen,
     {SurfaceStyle::Lines::Both, 9}},
    {"hiddenUndersideSeen", [](double, double y) { return -3 * y; }, {unitBox, 6, 5, 2}, -20,
     surfacePen, {SurfaceStyle::Lines::Both, 2}},
    {"hiddenUnknownPen", [](double x, double y) { return x * y; }, {unitBox, 6, 5, 2}, 20, 30,
     {SurfaceStyle::Lines::Both, 9}},
    {"hiddenNotANumber", [](double x, double y) { return x > 0 ? NAN : x * y; },
     {unitBox, 8, 6, 3}, 15, surfacePen, {SurfaceStyle::Lines::Both, 9}},
    {"hiddenOnConstantY", defaultF, {unitBox, 40, 20, 10}, 15, surfacePen,
     {SurfaceStyle::Lines::ConstantY, 9}},
    {"denseConstantY", [](double x, double y) { return std::sin(2 * x) * std::cos(3 * y); },
     {unitBox, 200, 100, 10}, 25, surfacePen, {SurfaceStyle::Lines::ConstantY, 0}},
    {"denseConstantX", [](double x, double y) { return std::sin(2 * x) * std::cos(3 * y); },
     {unitBox, 200, 100, 10}, 25, surfacePen, {SurfaceStyle::Lines::ConstantX, 0}},
    {"denseHidden", [](double x, double y) { return std::sin(2 * x) * std::cos(3 * y); },
     {unitBox, 200, 100, 10}, 25, surfacePen, {SurfaceStyle::Lines::Both, 9}},
    {"denseHiddenOnConstantY",
     [](double x, double y) { return std::sin(2 * x) * std::cos(3 * y); },
     {unitBox, 200, 100, 10}, 25, surfacePen, {SurfaceStyle::Lines::ConstantY, 9}},
    // Colour bands by height: heights not numbers and infinite, the
    // underside, hidden lines, a surface pen that cannot be selected (the
    // pen after the surface is the last band's), and the dense mesh, its
    // heights beyond the box, on two threads.
    {"bandsNotANumber", [](double x, double y) { return x > 0 ? NAN : x * y; },
     {unitBox, 8, 6, 3}, 15, surfacePen, {SurfaceStyle::Lines::Both, 0, 5}},
    {"bandsInfinite",
     [](double x, double y) { return x > 1 ? INFINITY : y < -1 ? -INFINITY : x; },
     {unitBox, 8, 6, 3}, 30, surfacePen, {SurfaceStyle::Lines::Both, 0, 3}},
    {"bandsUndersideSeen", [](double, double y) { return -3 * y; }, {unitBox, 6, 5, 2}, -20,
     surfacePen, {SurfaceStyle::Lines::Both, 0, 4}},
    {"bandsHidden", defaultF, {unitBox, 40, 20, 10}, 15, surfacePen,
     {SurfaceStyle::Lines::Both, 9, 16}},
    {"bandsUnknownPen", [](double x, double y) { return x * y; }, {unitBox, 6, 5, 2}, 20, 30,
     {SurfaceStyle::Lines::Both, 0, 6}},
    {"bandsOnConstantX", defaultF, {unitBox, 40, 20, 10}, 15, surfacePen,
     {SurfaceStyle::Lines::ConstantX, 0, 10}},
    {"denseBands", [](double x, double y) { return std::sin(2 * x) * std::cos(3 * y); },
     {unitBox, 200, 100, 10}, 25, surfacePen, {SurfaceStyle::Lines::Both, 0, 64}},
};

class AgainstTheOracle : public ::testing::TestWithParam<OracleRow> {};

std::vector<RecordedCall> picture(const OracleRow& row, bool oracle)
{
    TestWindow window(800, 600);
    PlotDevice device(window);
    device.beginDrawing();
    device.setViewport(5, 80, 5, 85, ClipMode::Clip);
    device.selectPen(row.pen);
    window.clearCalls();
    Function f(row.f);
    if (oracle) {
        drawOracleSurface(device, f, row.mesh, row.tilt, row.style);
    } else {
        MeshHeights heights;
        drawSurface(device, f, heights, row.mesh, projectionOf(row.mesh, row.tilt), row.style);
    }
    device.moveTo(0, 0);
    device.lineTo(1, 1);
    device.finishDrawing();
    return window.calls();
}

bool operator==(const RecordedCall& a, const RecordedCall& b)
{
    return a.kind == b.kind && a.from == b.from && a.to == b.to && a.rect == b.rect &&
           a.colour == b.colour && a.width == b.width && a.text == b.text;
}

TEST_P(AgainstTheOracle, DrawsTheOraclesCalls)
{
    const std::vector<RecordedCall> got = picture(GetParam(), false);
    const std::vector<RecordedCall> want = picture(GetParam(), true);
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i)
        ASSERT_TRUE(got[i] == want[i]) << "call " << i << " to (" << got[i].to.x << ", "
                                       << got[i].to.y << "), should be to (" << want[i].to.x
                                       << ", " << want[i].to.y << ")";
}

INSTANTIATE_TEST_SUITE_P(Surfaces, AgainstTheOracle, ::testing::ValuesIn(oracleRows),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
