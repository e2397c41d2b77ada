#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <vector>

#include "device/Colours.h"
#include "device/PlotDevice.h"
#include "render/HeightBands.h"
#include "render/MeshHeights.h"
#include "render/SurfaceRenderer.h"
#include "tests/FakeCanvas.h"

// The surface's styles against the page drawn without them.
namespace {

class Heights final : public ZFunction {
public:
    explicit Heights(double (*f)(double, double)) : f_(f) {}
    void heights(std::span<const double> x, std::span<const double> y,
                 std::span<double> z) const override
    {
        for (std::size_t i = 0; i < z.size(); ++i)
            z[i] = f_(x[i], y[i]);
    }
    bool sameHeights(const ZFunction&) const override { return false; }
    std::unique_ptr<ZFunction> snapshot() const override
    {
        return std::make_unique<Heights>(*this);
    }

private:
    double (*f_)(double, double);
};

constexpr int surfacePen = 13;
constexpr int hiddenPen = 9;  // blue: neither the surface's nor the underside's colour

struct StyleRow {
    const char* name;
    double (*f)(double, double);
    SurfaceMesh mesh;
    double tilt;
};

const PlotBox unitBox{-2, 2, -2, 2, 0, 1};

// Each with parts of both families hidden, and an underside seen in some.
const StyleRow styleRows[] = {
    {"hill", [](double x, double y) { return std::exp(-(x * x + 4 * y * y)); },
     {unitBox, 40, 20, 10}, 15},
    {"saddleFromBelow", [](double x, double y) { return x * y / 4; }, {unitBox, 12, 9, 3}, -25},
    {"ripples", [](double x, double y) { return 0.5 + 0.4 * std::sin(3 * x) * std::cos(2 * y); },
     {unitBox, 30, 30, 4}, 35},
    // Seen on two threads where there are two.
    {"dense", [](double x, double y) { return std::sin(2 * x) * std::cos(3 * y); },
     {unitBox, 200, 100, 10}, 25},
};

std::vector<RecordedCall> surfaceLines(const StyleRow& row, SurfaceStyle style)
{
    TestWindow window(800, 600);
    PlotDevice device(window);
    device.beginDrawing();
    device.setViewport(5, 80, 5, 85, ClipMode::Clip);
    device.selectPen(surfacePen);
    window.clearCalls();
    const Heights f(row.f);
    MeshHeights heights;
    drawSurface(device, f, heights, row.mesh, projectionOf(row.mesh, row.tilt), style);
    device.finishDrawing();
    return window.calls(CallKind::Line);
}

bool operator==(const RecordedCall& a, const RecordedCall& b)
{
    return a.kind == b.kind && a.from == b.from && a.to == b.to && a.colour == b.colour;
}

std::vector<RecordedCall> notIn(const std::vector<RecordedCall>& calls, Colour colour)
{
    std::vector<RecordedCall> kept;
    for (const RecordedCall& c : calls)
        if (!(c.colour == colour))
            kept.push_back(c);
    return kept;
}

class SurfaceStyles : public ::testing::TestWithParam<StyleRow> {};

// Both pages begin with today's front boundary; then lines 1 goes on as
// today's page does up to the lines of constant x, and lines 2 as today's
// page does after the lines of constant y.
TEST_P(SurfaceStyles, EachFamilyAloneIsTodaysPageWithoutTheOther)
{
    const StyleRow& row = GetParam();
    const std::vector<RecordedCall> today = surfaceLines(row, {});
    const std::vector<RecordedCall> alongX =
        surfaceLines(row, {SurfaceStyle::Lines::ConstantY, 0});
    const std::vector<RecordedCall> alongY =
        surfaceLines(row, {SurfaceStyle::Lines::ConstantX, 0});
    const auto front = static_cast<std::size_t>(row.mesh.k) * (row.mesh.m + row.mesh.n);
    ASSERT_GT(alongX.size(), front);
    ASSERT_GT(alongY.size(), front);
    std::vector<RecordedCall> both = alongX;
    both.insert(both.end(), alongY.begin() + static_cast<std::ptrdiff_t>(front), alongY.end());
    ASSERT_EQ(both.size(), today.size());
    for (std::size_t i = 0; i < today.size(); ++i)
        ASSERT_TRUE(both[i] == today[i]) << "call " << i;
}

// Every sample after a line's first is joined, the hidden ones in the pen
// of hidden lines; what is drawn in the other pens is today's page.
TEST_P(SurfaceStyles, HiddenSamplesAreJoinedInTheirPenAndTheSeenAsToday)
{
    const StyleRow& row = GetParam();
    const Colour hidden = PenColours[hiddenPen];
    for (const auto lines : {SurfaceStyle::Lines::Both, SurfaceStyle::Lines::ConstantY}) {
        const std::vector<RecordedCall> today = surfaceLines(row, {lines, 0});
        const std::vector<RecordedCall> shown = surfaceLines(row, {lines, hiddenPen});
        const std::vector<RecordedCall> seen = notIn(shown, hidden);
        ASSERT_EQ(seen.size(), today.size());
        for (std::size_t i = 0; i < today.size(); ++i)
            ASSERT_TRUE(seen[i] == today[i]) << "call " << i;

        const std::int64_t m = row.mesh.m, n = row.mesh.n, k = row.mesh.k;
        const std::int64_t alongX = n * m * k;
        const std::int64_t alongY = lines == SurfaceStyle::Lines::Both ? m * n * k : 0;
        EXPECT_GT(shown.size(), seen.size()) << "some samples are hidden";
        EXPECT_EQ(static_cast<std::int64_t>(shown.size()), k * (m + n) + alongX + alongY);
        for (std::size_t i = 1; i < shown.size(); ++i) {
            if (shown[i].colour == hidden) {
                ASSERT_EQ(shown[i].from, shown[i - 1].to) << "from the sample before, call " << i;
            }
        }
    }
}

// Bands change pens only: every segment's ends, in the same order, as
// the page without bands; the upper side in the bands' colours and the
// underside in theirs at half the brightness, both changing with height.
TEST_P(SurfaceStyles, BandsKeepTodaysSegmentsAndColourThem)
{
    const StyleRow& row = GetParam();
    const HeightBands bands(16, row.mesh.box.z1, row.mesh.box.z2);
    std::set<Colour> uppers, undersides;
    for (int b = 0; b < 16; ++b) {
        uppers.insert(bands.upper(b));
        undersides.insert(bands.underside(b));
    }
    const std::vector<RecordedCall> today = surfaceLines(row, {});
    const std::vector<RecordedCall> banded =
        surfaceLines(row, {SurfaceStyle::Lines::Both, 0, 16});
    ASSERT_EQ(banded.size(), today.size());
    std::set<Colour> upperSeen, undersideSeen;
    for (std::size_t i = 0; i < today.size(); ++i) {
        ASSERT_EQ(banded[i].from, today[i].from) << "call " << i;
        ASSERT_EQ(banded[i].to, today[i].to) << "call " << i;
        if (today[i].colour == PenColours[surfacePen]) {
            ASSERT_TRUE(uppers.count(banded[i].colour)) << "call " << i;
            upperSeen.insert(banded[i].colour);
        } else {
            ASSERT_EQ(today[i].colour, PenColours[surfacePen - 8]);
            ASSERT_TRUE(undersides.count(banded[i].colour)) << "call " << i;
            undersideSeen.insert(banded[i].colour);
        }
    }
    EXPECT_GT(upperSeen.size(), 3u) << "the upper side changes colour with height";
    if (row.tilt < 0) {
        EXPECT_FALSE(undersideSeen.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Surfaces, SurfaceStyles, ::testing::ValuesIn(styleRows),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
