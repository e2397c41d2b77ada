#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "device/PlotDevice.h"
#include "expr/SurfaceFunction.h"
#include "render/BoxTicks.h"
#include "render/ComposePage.h"
#include "render/SurfaceRenderer.h"
#include "sheets/PlotSettings.h"
#include "sheets/Sheets.h"
#include "tests/FakeCanvas.h"

namespace {

struct Range {
    double a, b;
    std::size_t fewest;  // ticks at least (0: none at all)
};

class NiceTicks : public ::testing::TestWithParam<Range> {};

bool oneTwoFive(double step)
{
    const double decade = std::pow(10.0, std::floor(std::log10(step)));
    const double m = step / decade;
    return std::abs(m - 1) < 1e-9 || std::abs(m - 2) < 1e-9 || std::abs(m - 5) < 1e-9;
}

TEST_P(NiceTicks, StepsOfOneTwoFiveWithinTheRange)
{
    const Range r = GetParam();
    const AxisTicks t = niceTicks(r.a, r.b);
    if (r.fewest == 0) {
        EXPECT_TRUE(t.values.empty());
        return;
    }
    ASSERT_GT(t.step, 0);
    EXPECT_TRUE(oneTwoFive(t.step)) << t.step;
    EXPECT_GE(t.values.size(), r.fewest);
    EXPECT_LE(t.values.size(), 8u);
    const double lo = std::min(r.a, r.b), hi = std::max(r.a, r.b);
    for (std::size_t i = 0; i < t.values.size(); ++i) {
        const double v = t.values[i];
        EXPECT_GE(v, lo);
        EXPECT_LE(v, hi);
        const double multiple = v / t.step;
        EXPECT_NEAR(multiple, std::round(multiple), 1e-6) << v;
        if (i > 0) {
            EXPECT_NEAR(t.values[i] - t.values[i - 1], t.step, t.step * 1e-6);
        }
    }
    // The next smaller 1-2-5 step would give more than 8.
    const double smaller = oneTwoFive(t.step / 2) ? t.step / 2 : t.step / 2.5;
    EXPECT_GT(std::floor(hi / smaller) - std::ceil(lo / smaller) + 1, 8);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, NiceTicks,
    ::testing::Values(Range{-2, 2, 4}, Range{0, 1, 4}, Range{2, -2, 4}, Range{-7, -3, 4},
                      Range{0, 16, 4}, Range{1e-300, 5e-300, 4}, Range{-1e300, 1e300, 4},
                      Range{-1.7e308, 1.7e308, 4}, Range{0.1, 0.3, 4}, Range{1000, 1001, 4},
                      Range{0, 7, 4}, Range{3.7, 3.7000001, 4},
                      // A 1-2-5 step cannot always give 4 to 8: 2 gives 9, 5 gives 3.
                      Range{1, 19, 3},
                      Range{5, 5, 0}, Range{0, 0, 0}, Range{1, 1 + 1e-15, 0},
                      Range{0, INFINITY, 0}, Range{NAN, 1, 0}));

struct Label {
    double value, step;
    const char* text;
};

class TickLabels : public ::testing::TestWithParam<Label> {};

TEST_P(TickLabels, ShortestTextOfTheStepsPrecision)
{
    EXPECT_EQ(tickLabel(GetParam().value, GetParam().step), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, TickLabels,
    ::testing::Values(Label{0.5, 0.5, "0.5"}, Label{1, 0.5, "1"}, Label{1.5, 0.5, "1.5"},
                      Label{-0.0, 1, "0"}, Label{-20, 10, "-20"}, Label{100, 50, "100"},
                      Label{250000, 50000, "250000"}, Label{1e6, 1e5, "1e+06"},
                      Label{2.5e7, 5e6, "2.5e+07"}, Label{1e-6, 1e-6, "1e-06"},
                      Label{3.2e-5, 2e-6, "3.2e-05"}, Label{0.0002, 1e-4, "0.0002"},
                      Label{-1e300, 5e299, "-1e+300"}, Label{0.30000000000000004, 0.1, "0.3"}));

// Pages of the default sheets on an 800 x 600 window, ticks 0 and 1.
class TickedPage : public ::testing::Test {
protected:
    TickedPage() : window(800, 600), device(window) {}

    std::vector<RecordedCall> page(const char* ticks)
    {
        buildLine(sheets.style[4], sheets.style[4].name, ticks);
        window.clearCalls();
        composePage({device, sheets, &surface, sheetAngles(sheets.sdata)}, PageTarget::Screen);
        return window.calls();
    }
    void set(std::size_t line, const char* value)
    {
        buildLine(sheets.sdata[line], sheets.sdata[line].name, value);
    }

    TestWindow window;
    PlotDevice device;
    Sheets sheets;
    SurfaceFunction surface{sheets.fdata};
};

double distanceToSegment(DevicePoint p, double ax, double ay, double bx, double by)
{
    const double dx = bx - ax, dy = by - ay;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.x - ax) * dx + (p.y - ay) * dy) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (ax + t * dx), p.y - (ay + t * dy));
}

struct View {
    const char *tilt, *theta;
};

class TickedViews : public TickedPage, public ::testing::WithParamInterface<View> {};

TEST_P(TickedViews, TicksOnTheThreeEdgesLabelsApartAfterTodaysPage)
{
    set(SettingsLine::tilt, GetParam().tilt);
    set(SettingsLine::theta, GetParam().theta);
    set(SettingsLine::fc, "1");
    const std::vector<RecordedCall> before = page("0");
    const std::vector<RecordedCall> after = page("1");
    std::size_t closing = 0;
    while (closing < before.size() && before[before.size() - 1 - closing].kind != CallKind::Line &&
           before[before.size() - 1 - closing].kind != CallKind::Text)
        ++closing;
    ASSERT_GT(after.size(), before.size());
    for (std::size_t i = 0; i + closing < before.size(); ++i)
        ASSERT_EQ(after[i].kind, before[i].kind) << i;
    for (std::size_t i = 0; i + closing < before.size(); ++i) {
        ASSERT_EQ(after[i].from, before[i].from) << i;
        ASSERT_EQ(after[i].to, before[i].to) << i;
        ASSERT_EQ(after[i].text, before[i].text) << i;
    }

    // The edges the ticks stand on, in device points.
    const PlotSettings s = readPlotSettings(sheets.sdata);
    const Projection view = projectionOf(meshOf(s), sheetAngles(sheets.sdata).tilt);
    const PlotBox& b = view.box;
    const double fy = view.cosRotSinTilt >= 0 ? b.y1 : b.y2;
    const double fx = view.sinRotSinTilt >= 0 ? b.x2 : b.x1;
    const double lx = view.cosRot >= 0 ? b.x1 : b.x2;
    const double ly = view.sinRot >= 0 ? b.y1 : b.y2;
    struct Edge {
        double x1, y1, z1, x2, y2, z2;
    };
    const Edge edges[] = {{b.x1, fy, b.z1, b.x2, fy, b.z1},
                          {fx, b.y1, b.z1, fx, b.y2, b.z1},
                          {lx, ly, b.z1, lx, ly, b.z2}};
    auto dx = [&](double x, double y) { return double(device.toDeviceX(view.projectX(x, y))); };
    auto dy = [&](double x, double y, double z) {
        return double(device.toDeviceY(view.projectY(x, y, z)));
    };
    std::size_t ticks[3] = {0, 0, 0};
    std::vector<RecordedCall> labels;
    for (std::size_t i = before.size() - closing; i < after.size(); ++i) {
        const RecordedCall& c = after[i];
        if (c.kind == CallKind::Text) {
            labels.push_back(c);
            continue;
        }
        if (c.kind != CallKind::Line)
            continue;
        bool onEdge = false;
        for (std::size_t e = 0; e < 3 && !onEdge; ++e) {
            const Edge& g = edges[e];
            if (distanceToSegment(c.from, dx(g.x1, g.y1), dy(g.x1, g.y1, g.z1), dx(g.x2, g.y2),
                                  dy(g.x2, g.y2, g.z2)) <= 1.5) {
                onEdge = true;
                ++ticks[e];
            }
        }
        EXPECT_TRUE(onEdge) << c.from.x << "," << c.from.y;
    }
    // A tick at a corner lies on two edges: count them together.
    EXPECT_EQ(ticks[0] + ticks[1] + ticks[2], niceTicks(b.x1, b.x2).values.size() +
                                                  niceTicks(b.y1, b.y2).values.size() +
                                                  niceTicks(b.z1, b.z2).values.size());
    EXPECT_GE(ticks[0], 3u);
    EXPECT_GE(ticks[1], 3u);
    EXPECT_GE(ticks[2], 3u);
    EXPECT_GE(labels.size(), 6u);
    const int h = window.fake.fontMetrics(window.fake.textFont).height;
    // Numbers stand whole within the clip of the surface: none is cut.
    DeviceRect clip;
    for (std::size_t i = 0; i < before.size() - closing; ++i)
        if (after[i].kind == CallKind::Clip)
            clip = after[i].rect;
    for (const RecordedCall& l : labels) {
        if (l.text == "x" || l.text == "y" || l.text == "z")
            continue;
        const int w = window.fake.textWidth(l.text, window.fake.textFont);
        EXPECT_TRUE(l.from.x >= clip.left && l.from.x + w <= clip.right && l.from.y >= clip.top &&
                    l.from.y + h <= clip.bottom)
            << l.text << " at " << l.from.x << "," << l.from.y;
    }
    for (std::size_t i = 0; i < labels.size(); ++i)
        for (std::size_t j = i + 1; j < labels.size(); ++j) {
            const int wi = window.fake.textWidth(labels[i].text, window.fake.textFont);
            const int wj = window.fake.textWidth(labels[j].text, window.fake.textFont);
            const bool apart = labels[i].from.x + wi <= labels[j].from.x ||
                               labels[j].from.x + wj <= labels[i].from.x ||
                               labels[i].from.y + h <= labels[j].from.y ||
                               labels[j].from.y + h <= labels[i].from.y;
            EXPECT_TRUE(apart) << labels[i].text << " / " << labels[j].text;
        }
}

INSTANTIATE_TEST_SUITE_P(Angles, TickedViews,
                         ::testing::Values(View{"15", "0"}, View{"30", "20"}, View{"60", "135"},
                                           View{"-20", "250"}, View{"5", "300"}));

} // namespace
