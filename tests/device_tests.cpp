#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <iterator>
#include <string>
#include <vector>

#include "device/DeviceInt.h"
#include "device/DeviceMapping.h"
#include "device/Fonts.h"
#include "device/PlotDevice.h"
#include "tests/FakeCanvas.h"

namespace {

struct Conversion {
    double value;
    int device;
};

void PrintTo(const Conversion& c, std::ostream* os) { *os << ::testing::PrintToString(c.value); }

class DeviceInt : public ::testing::TestWithParam<Conversion> {};

// Truncation toward zero wherever the result fits an int, right up to
// its ends; beyond them the nearer end, and 0 for no number.
TEST_P(DeviceInt, TruncatesEveryValueThatFits)
{
    EXPECT_EQ(truncToDevice(GetParam().value), GetParam().device);
}

INSTANTIATE_TEST_SUITE_P(
    Values, DeviceInt,
    ::testing::Values(Conversion{2.99, 2}, Conversion{-2.99, -2}, Conversion{-0.5, 0},
                      Conversion{4194304.5, 4194304}, Conversion{-46336269.7, -46336269},
                      Conversion{2147483647.9, INT_MAX}, Conversion{-2147483648.9, INT_MIN},
                      Conversion{2147483648.0, INT_MAX}, Conversion{-2147483649.0, INT_MIN},
                      Conversion{1e300, INT_MAX}, Conversion{-INFINITY, INT_MIN},
                      Conversion{NAN, 0}));

// Mappings and the world points they meet: infinities, numbers beyond
// the int range, points that truncate on either side of a whole number,
// a world window of no extent (every point not a number), and lengths
// that leave every tail of the processor's lanes.
struct ManyPoints {
    const char* name;
    double x1, y1, xScale, yScale;
    int left, bottom;
};

class MappingMany : public ::testing::TestWithParam<ManyPoints> {};

TEST_P(MappingMany, GivesThePointsAndValidityOfOneAtATime)
{
    const ManyPoints& m = GetParam();
    const DeviceMapping mapping(m.x1, m.y1, m.xScale, m.yScale, m.left, m.bottom);
    const double values[] = {0,     0.25,   -0.25,  3.4999, 3.5,      -3.5,  1e9,    -1e9,
                             1e300, -1e300, INFINITY, -INFINITY, 2147483.6, 7.0,  -7.000001,
                             NAN,   12.5,   -12.5};
    const std::size_t n = std::size(values);
    for (std::size_t count = 0; count <= 2 * n; ++count) {
        for (std::size_t skip = 0; skip < 3; ++skip) {
            std::vector<double> x(count), y(count);
            bool allValid = true;
            for (std::size_t i = 0; i < count; ++i) {
                x[i] = values[(i * 7 + skip) % n];
                y[i] = values[(i * 5 + 3 * skip + 1) % n];
                // Points not numbers only where this pass puts them.
                if (skip != 2) {
                    x[i] = std::isnan(x[i]) ? 1.5 : x[i];
                    y[i] = std::isnan(y[i]) ? -1.5 : y[i];
                }
                allValid = allValid && mapping.map(x[i], y[i]).valid;
            }
            std::vector<DevicePoint> out(count);
            const bool valid = mapping.map(x.data(), y.data(), count, out.data());
            EXPECT_EQ(valid, allValid) << m.name << ", " << count << " points";
            for (std::size_t i = 0; i < count; ++i)
                ASSERT_EQ(out[i], mapping.map(x[i], y[i]).at)
                    << m.name << ": point " << i << " of " << count << " at (" << x[i] << ", "
                    << y[i] << ")";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Mappings, MappingMany,
    ::testing::Values(ManyPoints{"page", -2.5, -1.75, 160.3, 212.9, 40, 570},
                      ManyPoints{"reversed", 3, 2, -97.25, -31.5, 800, 0},
                      ManyPoints{"tiny", 0, 0, 1e-300, 1e-300, 0, 600},
                      ManyPoints{"noExtent", 1, 1, INFINITY, INFINITY, 40, 570},
                      ManyPoints{"huge", -1e10, 1e10, 1e200, 1e200, -5, 5}),
    [](const auto& info) { return std::string(info.param.name); });

DevicePoint start(const RecordedCall& line) { return line.from; }
DevicePoint end(const RecordedCall& line) { return line.to; }

// A 1000 x 800 window; the fake font of the window is 6 wide, 16 high.
class Device : public ::testing::Test {
protected:
    Device() : window(1000, 800), device(window) {}

    void begin()
    {
        device.beginDrawing();
        window.clearCalls();
    }

    TestWindow window;
    PlotDevice device;
};

TEST_F(Device, ViewportAndWorldWorkedExample)
{
    begin();
    device.setViewport(5, 80, 25, 85, ClipMode::Clip);
    EXPECT_EQ(device.viewport(), (DeviceRect{50, 120, 800, 600}));
    device.setWorld(0, 100, 0, 100);
    EXPECT_EQ(device.toDeviceX(50), 425);
    EXPECT_EQ(device.toDeviceY(50), 360);
    EXPECT_EQ(device.toDeviceX(0), 50);
    EXPECT_EQ(device.toDeviceY(100), 120);
    // The viewport's aspect 60 x 0.8 / 75 = 0.64 makes a circle round:
    // 10 world units across and 15.625 up are both 75 device units.
    device.drawCircle(50, 50, 10, 4, 0);
    const auto lines = window.calls(CallKind::Line);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(start(lines[0]), (DevicePoint{500, 360}));
    EXPECT_EQ(end(lines[0]), (DevicePoint{425, 285}));
    EXPECT_EQ(end(lines[1]), (DevicePoint{350, 360}));
    device.finishDrawing();
}

TEST_F(Device, PercentWorldMapsAsSetWorldDoes)
{
    begin();
    PlotDevice other(window);
    other.beginDrawing();
    for (PlotDevice* d : {&device, &other})
        d->setViewport(5, 80, 5, 85, ClipMode::Clip);
    device.setPercentWorld();
    other.setWorld(0, 100, 0, 100);
    for (double v : {-8.0, 0.0, 33.3, 50.0, 99.99, 108.0}) {
        EXPECT_EQ(device.toDeviceX(v), other.toDeviceX(v)) << v;
        EXPECT_EQ(device.toDeviceY(v), other.toDeviceY(v)) << v;
    }
    other.finishDrawing();
    device.finishDrawing();
}

TEST_F(Device, ViewportEdgesTruncateAndPlaceTheTextCursor)
{
    window.resize(401, 301);
    begin();
    device.setViewport(1, 99, 1, 99, ClipMode::Clip);
    EXPECT_EQ(device.viewport(), (DeviceRect{4, 3, 396, 297}));
    ASSERT_EQ(window.calls().size(), 1u);
    EXPECT_EQ(window.calls()[0].kind, CallKind::Clip);
    EXPECT_EQ(window.calls()[0].rect, device.viewport());
    device.writeText("x");
    EXPECT_EQ(window.calls().back().from, (DevicePoint{4 + 6, 3 + 16 / 3}));
    device.setViewport(1, 99, 1, 99, ClipMode::NoClip);
    EXPECT_EQ(window.calls().back().kind, CallKind::Unclip);
    device.finishDrawing();
}

TEST_F(Device, KeepLineModeKeepsTheLineWhileOneMoreFits)
{
    begin();
    device.setViewport(0, 100, 0, 100, ClipMode::Clip);
    device.newLines(43);  // 5 + 43 x 16 = 693
    device.setViewport(0, 50, 0, 50, ClipMode::NoClipKeepLine);
    device.writeText("kept");
    EXPECT_EQ(window.calls().back().from, (DevicePoint{6, 693})) << "bottom 800 leaves room below 693";
    device.newLines(6);  // 789: no line fits above 800 any more
    device.setViewport(0, 50, 0, 50, ClipMode::NoClipKeepLine);
    device.writeText("reset");
    EXPECT_EQ(window.calls().back().from, (DevicePoint{6, 400 + 16 / 3}));
    device.finishDrawing();
}

TEST_F(Device, BeginDrawingSetsUpTheWindowPage)
{
    device.beginDrawing();
    ASSERT_EQ(window.calls().size(), 1u);
    EXPECT_EQ(window.calls()[0].kind, CallKind::Fill);
    EXPECT_EQ(window.calls()[0].rect, (DeviceRect{0, 0, 1000, 800}));
    EXPECT_EQ(window.calls()[0].colour, colourOf(BrushColour::White));
    device.writeText("x");
    const RecordedCall text = window.calls().back();
    EXPECT_EQ(text.from, (DevicePoint{10 * 6, 16})) << "ten characters in, one line down";
    EXPECT_EQ(text.colour, colourOf(PenColour::DarkBlue));
    EXPECT_EQ(window.fake.textFont.face, "Times New Roman");
    EXPECT_EQ(window.fake.textFont.height, -13) << "10 points at 96 dpi";
    device.setViewport(0, 100, 0, 100, ClipMode::Clip);
    device.setWorld(0, 1, 0, 1);
    device.moveTo(0, 0);
    device.lineTo(1, 1);
    device.frameViewport();
    const auto lines = window.calls(CallKind::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].colour, colourOf(PenColour::Black));
    EXPECT_EQ(lines[0].width, 1);
    EXPECT_EQ(window.calls(CallKind::Frame).at(0).colour, colourOf(PenColour::DarkGreen));
    EXPECT_EQ(device.penIndex(), 0);
    device.finishDrawing();
    device.finishDrawing();
    EXPECT_EQ(window.acquired, 1);
    EXPECT_EQ(window.released, 1) << "a second finish releases nothing";
}

TEST_F(Device, OutOfRangeIndicesChangeNothing)
{
    begin();
    device.setViewport(0, 100, 0, 100, ClipMode::NoClip);
    device.setWorld(0, 1, 0, 1);
    device.selectPen(PenColour::Red);
    device.selectPen(26);
    device.selectPen(-1);
    device.selectBrush(10);
    device.setTextColour(26);
    device.fillViewport(10);
    EXPECT_EQ(device.penIndex(), indexOf(PenColour::Red));
    device.moveTo(0, 0);
    device.lineTo(1, 1);
    device.writeText("t");
    EXPECT_TRUE(window.calls(CallKind::Fill).empty());
    EXPECT_EQ(window.calls(CallKind::Line).at(0).colour, colourOf(PenColour::Red));
    EXPECT_EQ(window.calls(CallKind::Text).at(0).colour, colourOf(PenColour::DarkBlue));
    device.finishDrawing();
}

TEST_F(Device, FrameDrawsUnclippedInTheFramePenAndRestores)
{
    begin();
    device.setViewport(5, 80, 25, 85, ClipMode::Clip);
    device.setWorld(0, 100, 0, 100);
    device.selectPen(PenColour::Magenta);
    window.clearCalls();
    device.frameViewport();
    const auto& calls = window.calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].kind, CallKind::Unclip);
    EXPECT_EQ(calls[1].kind, CallKind::Frame);
    EXPECT_EQ(calls[1].rect, (DeviceRect{50, 120, 800, 600}));
    EXPECT_EQ(calls[1].colour, colourOf(PenColour::DarkGreen));
    EXPECT_EQ(calls[2].kind, CallKind::Clip);
    EXPECT_EQ(calls[2].rect, (DeviceRect{50, 120, 800, 600}));
    EXPECT_EQ(device.penIndex(), 13);
    device.moveTo(0, 0);
    device.lineTo(10, 10);
    device.finishDrawing();
    EXPECT_EQ(window.calls(CallKind::Line).at(0).colour, colourOf(PenColour::Magenta));
}

TEST_F(Device, PresetPenIsSelectedByTheNextFrame)
{
    begin();
    device.setViewport(5, 80, 25, 85, ClipMode::Clip);
    device.setWorld(0, 100, 0, 100);
    device.presetPen(9);
    device.frameViewport();
    device.moveTo(0, 0);
    device.lineTo(10, 10);
    device.presetPen(40);
    device.frameViewport();
    EXPECT_EQ(device.penIndex(), 2) << "a pen outside the table leaves the frame pen";
    device.moveTo(0, 0);
    device.lineTo(10, 10);
    device.finishDrawing();
    const auto lines = window.calls(CallKind::Line);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].colour, colourOf(PenColour::Blue));
    EXPECT_EQ(lines[1].colour, colourOf(PenColour::DarkGreen));
}

TEST_F(Device, LinesMapWorldPointsAndKeepTheCurrentPoint)
{
    begin();
    device.setViewport(5, 80, 25, 85, ClipMode::Clip);
    device.setWorld(0, 100, 0, 100);
    window.clearCalls();
    device.moveTo(0, 0);
    device.lineTo(50, 50);
    device.lineTo(100, 100);
    device.finishDrawing();
    const auto lines = window.calls(CallKind::Line);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(start(lines[0]), (DevicePoint{50, 600}));
    EXPECT_EQ(end(lines[0]), (DevicePoint{425, 360}));
    EXPECT_EQ(start(lines[1]), (DevicePoint{425, 360}));
    EXPECT_EQ(end(lines[1]), (DevicePoint{800, 120}));
}

// Wide pens are drawn as polylines with round joins, so the lines must be
// those of the picture: a move to another point or a new pen ends one.
TEST_F(Device, LinesEndAtMovesAndNewPens)
{
    begin();
    device.setViewport(0, 100, 0, 100, ClipMode::Clip);
    device.setWorld(0, 100, 0, 100);
    device.moveTo(0, 0);
    device.lineTo(10, 10);
    device.lineTo(20, 0);
    device.moveTo(20, 0);  // the same point: the run goes on
    device.lineTo(30, 10);
    device.moveTo(50, 50);
    device.lineTo(60, 60);
    device.selectPen(PenColour::DarkMagenta);
    device.lineTo(70, 50);
    device.selectPen(PenColour::Black);
    device.lineTo(80, 60);
    device.finishDrawing();
    EXPECT_EQ(window.fake.runs, (std::vector<int>{3, 1, 1, 1}));
    EXPECT_EQ(window.calls(CallKind::Line).size(), 6u);
}

TEST_F(Device, UndefinedPointsAreNeverJoinedAndInfinitiesClamp)
{
    begin();
    device.setViewport(5, 80, 25, 85, ClipMode::Clip);
    device.setWorld(0, 100, 0, 100);
    window.clearCalls();
    device.moveTo(0, 0);
    device.lineTo(10, NAN);
    device.lineTo(20, 20);
    device.lineTo(30, 30);
    device.lineTo(40, INFINITY);
    device.setWorld(5, 5, 0, 100);
    device.moveTo(5, 0);
    device.lineTo(5, 50);
    device.finishDrawing();
    const auto lines = window.calls(CallKind::Line);
    ASSERT_EQ(lines.size(), 2u) << "a world of zero width draws nothing";
    EXPECT_EQ(start(lines[0]), (DevicePoint{200, 504}));
    EXPECT_EQ(start(lines[1]), (DevicePoint{275, 456}));
    EXPECT_EQ(end(lines[1]), (DevicePoint{350, INT_MIN}));
}

TEST_F(Device, GridOfTheOrientationWindow)
{
    begin();
    device.setViewport(5, 80, 25, 85, ClipMode::Clip);
    device.setWorld(-180, 180, -90, 90);
    device.selectPen(PenColour::Magenta);
    window.clearCalls();
    device.drawGrid(20, 20, 400);
    device.drawGrid(0, 20, 400);
    EXPECT_EQ(device.world().x1, -180);
    EXPECT_EQ(device.world().y2, 90);
    EXPECT_EQ(device.penIndex(), 13);
    device.finishDrawing();
    const auto lines = window.calls(CallKind::Line);
    ASSERT_EQ(lines.size(), 38u) << "19 up and 19 across; no columns draws nothing";
    EXPECT_EQ(window.calls(CallKind::Line, colourOf(PenColour::DarkGreen)).size(), 38u);
    // Vertical lines rise from the bottom edge 1.2 viewport widths long.
    EXPECT_EQ(start(lines[0]).y, 600);
    EXPECT_EQ(start(lines[0]).x, end(lines[0]).x);
    EXPECT_NEAR(start(lines[0]).y - end(lines[0]).y, 900, 1) << "each end rounded";
    EXPECT_EQ(start(lines[19]).x, 50);
    EXPECT_EQ(start(lines[19]).y, end(lines[19]).y);
    EXPECT_NEAR(end(lines[19]).x - start(lines[19]).x, 900, 1);
}

TEST_F(Device, CircleIsAHexagonEndingAtTheCentre)
{
    begin();
    device.setViewport(0, 100, 0, 100, ClipMode::Clip);
    device.setWorld(-100, 100, -100, 100);
    device.drawCircle(0, 0, 20, 6, 0);
    device.lineTo(50, 0);
    device.drawCircle(0, 0, 20, 0, 0);
    device.finishDrawing();
    const auto lines = window.calls(CallKind::Line);
    ASSERT_EQ(lines.size(), 7u) << "six sides, then the line from the centre; no segments draws nothing";
    EXPECT_EQ(start(lines[0]), (DevicePoint{600, 400}));
    EXPECT_EQ(end(lines[5]), (DevicePoint{600, 400}));
    EXPECT_EQ(start(lines[6]), (DevicePoint{500, 400}));
}

TEST_F(Device, TextRunsOnLinesAdvanceAndColumnsIndent)
{
    begin();
    device.setViewport(0, 100, 0, 100, ClipMode::Clip);
    const int x = 6, y = 16 / 3;
    device.writeText("ab");
    device.writeText("c");
    device.newLines(2);
    device.writeText("two down");
    device.newLines(0);
    device.writeText("below the top");
    device.nextLineAt(14);
    device.writeText("column 14");
    device.indentLines(3);
    device.tabTo(5);
    device.writeText("indented");
    device.newLines(1);
    device.writeText("margin");
    device.finishDrawing();
    const auto texts = window.calls(CallKind::Text);
    ASSERT_EQ(texts.size(), 7u);
    EXPECT_EQ(texts[0].from, (DevicePoint{x, y}));
    EXPECT_EQ(texts[0].text, "ab");
    EXPECT_EQ(texts[1].from, (DevicePoint{x + 2 * 6, y})) << "no space between";
    EXPECT_EQ(texts[2].from, (DevicePoint{x, y + 2 * 16}));
    EXPECT_EQ(texts[3].from, (DevicePoint{x, 16}));
    EXPECT_EQ(texts[4].from, (DevicePoint{x + 14 * 6, 2 * 16}));
    EXPECT_EQ(texts[5].from, (DevicePoint{3 * 6 + 5 * 6, 2 * 16}));
    EXPECT_EQ(texts[6].from, (DevicePoint{3 * 6, 3 * 16}));
}

TEST_F(Device, CentredTextSitsOnTheWorldPoint)
{
    begin();
    device.setViewport(5, 80, 25, 85, ClipMode::Clip);
    device.setPercentWorld();
    device.writeCentredText("abcd", 50, 108);
    device.writeText("cursor");
    device.finishDrawing();
    const auto texts = window.calls(CallKind::Text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].from, (DevicePoint{425 - 4 * 6 / 2, static_cast<int>(600 - 108 * 4.8 + 0.5) - 8}));
    EXPECT_EQ(texts[1].from, (DevicePoint{50 + 6, 120 + 16 / 3})) << "the cursor stays";
}

TEST(Fonts, PointSizesAtTheCanvasResolution)
{
    FakeCanvas screen(96);
    const FontSpec natural = createPointFont(screen, "Times New Roman", 10, 0, 0);
    EXPECT_EQ(natural.height, -13);
    EXPECT_EQ(natural.width, 0);
    EXPECT_EQ(screen.fontMetricsCalls, 0) << "made once when the width is natural";
    FakeCanvas printer(600);
    const FontSpec print = createPointFont(printer, "Times New Roman", 14, 16, 0);
    EXPECT_EQ(print.height, -117);
    EXPECT_EQ(print.width, static_cast<int>(1333.0 * (117 / 2) / 1166 + 0.5));
    EXPECT_EQ(createPointFont(printer, "x", 10.5, 0, 0).height, -88) << "875 dots, to the nearest tenth";
    EXPECT_EQ(createPointFont(screen, "x", 10, 0, 1).weight, 700);
    const FontSpec six = createPointFont(screen, "x", 10, 0, 6);
    EXPECT_EQ(six.weight, 0);
    EXPECT_TRUE(six.italic);
    EXPECT_TRUE(six.underline);
    EXPECT_FALSE(six.strikeOut);
    EXPECT_EQ(createPointFont(screen, std::string(40, 'f'), 10, 0, 0).face.size(), 31u);
}

TEST(EmptyWindow, APageOfNothingIsStillFinished)
{
    TestWindow window(0, 0);
    PlotDevice device(window);
    device.beginDrawing();
    device.setViewport(5, 80, 5, 85, ClipMode::Clip);
    device.setWorld(0, 100, 0, 100);
    device.moveTo(10, 10);
    device.lineTo(20, 20);
    device.drawGrid(20, 20, 400);
    device.drawCircle(0, 0, 20, 6, 0);
    device.writeText("x");
    device.finishDrawing();
    EXPECT_EQ(window.released, 1);
}

} // namespace
