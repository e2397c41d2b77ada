#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "device/DeviceInt.h"
#include "device/Fonts.h"
#include "device/PlotDevice.h"
#include "tests/FakeCanvas.h"

namespace {

TEST(DeviceInt, TruncatesInRangeAndClampsBeyond)
{
    EXPECT_EQ(truncToDevice(2.99), 2);
    EXPECT_EQ(truncToDevice(-2.99), -2);
    EXPECT_EQ(truncToDevice(1e300), deviceLimit);
    EXPECT_EQ(truncToDevice(-INFINITY), -deviceLimit);
    EXPECT_EQ(truncToDevice(NAN), 0);
}

class Device : public ::testing::Test {
protected:
    Device() : window(1000, 800), device(&window) {}
    TestWindow window;
    PlotDevice device;
};

TEST_F(Device, ViewportAndWorldWorkedExample)
{
    device.beginDrawing(0);
    device.setViewport(5, 80, 25, 85, 1);
    EXPECT_EQ(device.left, 50);
    EXPECT_EQ(device.right, 800);
    EXPECT_EQ(device.top, 120);
    EXPECT_EQ(device.bottom, 600);
    EXPECT_DOUBLE_EQ(device.viewportAspect, 0.64);
    device.setWorld(0, 100, 0, 100);
    EXPECT_DOUBLE_EQ(device.xScale, 7.5);
    EXPECT_DOUBLE_EQ(device.yScale, 4.8);
    EXPECT_DOUBLE_EQ(device.worldAspect, 0.64);
    EXPECT_EQ(device.toDeviceX(50), 425);
    EXPECT_EQ(device.toDeviceY(50), 360);
    EXPECT_EQ(device.toDeviceX(0), 50);
    EXPECT_EQ(device.toDeviceY(100), 120);
    EXPECT_EQ(device.toWorldX(device.left - 5, 1), 0);
    EXPECT_EQ(device.toWorldX(device.right + 5, 1), 100);
    EXPECT_LT(device.toWorldX(device.left - 5, 0), 0);
    EXPECT_GT(device.toWorldX(device.right + 5, 0), 100);
    device.finishDrawing();
}

TEST_F(Device, ViewportEdgesTruncateAndPlaceTheTextCursor)
{
    window.resize(401, 301);
    device.beginDrawing(0);
    device.setViewport(1, 99, 1, 99, 1);
    EXPECT_EQ(device.viewportRect, (DeviceRect{4, 3, 396, 297}));
    EXPECT_EQ(device.textX, 4 + device.charWidth);
    EXPECT_EQ(device.lineStartX, 4 + device.charWidth);
    EXPECT_EQ(device.textY, 3 + device.lineHeight / 3);
    EXPECT_EQ(window.calls().back(), "clip 4 3 396 297");
    device.setViewport(1, 99, 1, 99, 0);
    EXPECT_EQ(window.calls().back(), "clip off");
    device.finishDrawing();
}

TEST_F(Device, ModeTwoKeepsTheLineWhileOneMoreFits)
{
    device.beginDrawing(0);
    device.setViewport(0, 100, 0, 100, 1);
    device.textY = 700;
    device.setViewport(0, 50, 0, 50, 2);
    EXPECT_EQ(device.textY, 700 - 0) << "bottom 800 leaves room below 700";
    device.textY = 790;
    device.setViewport(0, 50, 0, 50, 2);
    EXPECT_EQ(device.textY, device.top + device.lineHeight / 3);
    device.finishDrawing();
}

TEST_F(Device, BeginDrawingSetsUpTheWindowPage)
{
    device.beginDrawing(0);
    EXPECT_EQ(window.calls().front(), "fill 0 0 1000 800 #FFFFFF");
    EXPECT_EQ(device.pageWidth, 1000);
    EXPECT_DOUBLE_EQ(device.pageAspect, 0.8);
    EXPECT_EQ(device.textColourIndex, 1);
    EXPECT_EQ(device.framePenIndex, 2);
    EXPECT_EQ(device.brushIndex, 5);
    EXPECT_EQ(device.penIndex, 0);
    EXPECT_EQ(window.fake.selected.face, "Times New Roman");
    EXPECT_EQ(window.fake.selected.height, -13);
    EXPECT_EQ(device.textY, device.lineHeight);
    EXPECT_EQ(device.textX, 10 * device.charWidth);
    device.finishDrawing();
    device.finishDrawing();
    EXPECT_EQ(window.acquired, 1);
    EXPECT_EQ(window.released, 1) << "a second finish releases nothing";
}

TEST_F(Device, OutOfRangeIndicesChangeNothing)
{
    device.beginDrawing(0);
    device.selectPen(11);
    device.selectPen(26);
    device.selectPen(-1);
    device.selectBrush(10);
    device.setTextColour(26);
    device.fillViewport(10);
    EXPECT_EQ(device.penIndex, 11);
    EXPECT_EQ(device.brushIndex, 5);
    EXPECT_EQ(device.textColourIndex, 1);
    EXPECT_EQ(window.calls().size(), 1u);
    device.finishDrawing();
}

TEST_F(Device, BlackAndWhitePrintIgnoresColourChanges)
{
    device.beginDrawing(0);
    device.printing = 1;
    device.colour = 0;
    device.selectPen(11);
    device.setTextColour(3);
    device.fillViewport(6);
    device.selectBrush(6);
    EXPECT_EQ(device.penIndex, 0);
    EXPECT_EQ(device.textColourIndex, 1);
    EXPECT_EQ(device.brushIndex, 5);
    EXPECT_EQ(window.calls().size(), 1u);
    device.printing = 0;
    device.colour = 1;
    device.finishDrawing();
}

TEST_F(Device, FrameDrawsUnclippedInTheFramePenAndRestores)
{
    device.beginDrawing(0);
    device.setViewport(5, 80, 25, 85, 1);
    device.selectPen(13);
    window.clearCalls();
    device.frameViewport(-1);
    ASSERT_EQ(window.calls().size(), 3u);
    EXPECT_EQ(window.calls()[0], "clip off");
    EXPECT_EQ(window.calls()[1], "frame 50 120 800 600 #00A000 1");
    EXPECT_EQ(window.calls()[2], "clip 50 120 800 600");
    EXPECT_EQ(device.penIndex, 13);
    EXPECT_EQ(device.clip, 1);
    device.moveTo(0, 0);
    device.lineTo(0, 0);
    EXPECT_EQ(window.calls().back().substr(window.calls().back().size() - 9), "#FF00FF 1");
    device.finishDrawing();
}

TEST_F(Device, LinesMapWorldPointsAndKeepTheCurrentPoint)
{
    device.beginDrawing(0);
    device.setViewport(5, 80, 25, 85, 1);
    device.setWorld(0, 100, 0, 100);
    window.clearCalls();
    device.moveTo(0, 0);
    device.lineTo(50, 50);
    device.lineTo(100, 100);
    ASSERT_EQ(window.calls().size(), 2u);
    EXPECT_EQ(window.calls()[0], "line 50 600 425 360 #000000 1");
    EXPECT_EQ(window.calls()[1], "line 425 360 800 120 #000000 1");
    EXPECT_EQ(device.curDevX, 800);
    EXPECT_EQ(device.curX, 100);
    device.finishDrawing();
}

TEST_F(Device, UndefinedPointsAreNeverJoinedAndInfinitiesClamp)
{
    device.beginDrawing(0);
    device.setViewport(5, 80, 25, 85, 1);
    device.setWorld(0, 100, 0, 100);
    window.clearCalls();
    device.moveTo(0, 0);
    device.lineTo(10, NAN);
    device.lineTo(20, 20);
    device.lineTo(30, 30);
    device.lineTo(40, INFINITY);
    ASSERT_EQ(window.calls().size(), 2u);
    EXPECT_EQ(window.calls()[1], "line 275 456 350 " + std::to_string(-deviceLimit) + " #000000 1");
    device.setWorld(5, 5, 0, 100);
    window.clearCalls();
    device.moveTo(5, 0);
    device.lineTo(5, 50);
    EXPECT_TRUE(window.calls().empty()) << "a world of zero width draws nothing";
    device.finishDrawing();
}

TEST_F(Device, GridOfTheOrientationWindow)
{
    device.beginDrawing(0);
    device.setViewport(5, 80, 25, 85, 1);
    device.setWorld(-180, 180, -90, 90);
    device.selectPen(13);
    window.clearCalls();
    device.drawGrid(20, 20, 400);
    const auto lines = window.callsStartingWith("line");
    ASSERT_EQ(lines.size(), 38u);
    EXPECT_EQ(device.x1, -180);
    EXPECT_EQ(device.y2, 90);
    EXPECT_EQ(device.penIndex, 13);
    // Vertical lines rise from the bottom edge 1.2 viewport widths long.
    int x0, y0, x1, y1;
    ASSERT_EQ(std::sscanf(lines[0].c_str(), "line %d %d %d %d", &x0, &y0, &x1, &y1), 4);
    EXPECT_EQ(y0, 600);
    EXPECT_EQ(x0, x1);
    EXPECT_NEAR(y0 - y1, 900, 1) << "1.2 viewport widths, each end rounded";
    ASSERT_EQ(std::sscanf(lines[19].c_str(), "line %d %d %d %d", &x0, &y0, &x1, &y1), 4);
    EXPECT_EQ(x0, 50);
    EXPECT_NEAR(x1 - x0, 900, 1);
    EXPECT_NE(lines[0].find("#00A000"), std::string::npos);
    window.clearCalls();
    device.drawGrid(0, 20, 400);
    EXPECT_TRUE(window.callsStartingWith("line").empty());
    EXPECT_EQ(device.x1, -180);
    device.finishDrawing();
}

TEST_F(Device, CircleIsAHexagonEndingAtTheCentre)
{
    device.beginDrawing(0);
    device.setViewport(0, 100, 0, 100, 1);
    device.setWorld(-100, 100, -100, 100);
    window.clearCalls();
    device.drawCircle(0, 0, 20, 6, 0);
    const auto lines = window.callsStartingWith("line");
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0].substr(0, 13), "line 600 400 ");
    EXPECT_EQ(device.curX, 0);
    EXPECT_EQ(device.curY, 0);
    window.clearCalls();
    device.drawCircle(0, 0, 20, 0, 0);
    EXPECT_TRUE(window.calls().empty());
    device.finishDrawing();
}

TEST_F(Device, TextRunsOnAndLinesAdvance)
{
    device.beginDrawing(0);
    device.setViewport(0, 100, 0, 100, 1);
    const int x = device.textX, y = device.textY;
    device.writeText("ab");
    device.writeText("c");
    EXPECT_EQ(window.calls()[window.calls().size() - 2], "text " + std::to_string(x) + " " +
                                                             std::to_string(y) + " #0000A0 \"ab\"");
    EXPECT_EQ(device.textX, x + 3 * device.charWidth);
    device.newLines(2);
    EXPECT_EQ(device.textY, y + 2 * device.lineHeight);
    EXPECT_EQ(device.textX, device.lineStartX);
    device.newLines(0);
    EXPECT_EQ(device.textY, device.top + device.lineHeight);
    device.nextLineAt(14);
    EXPECT_EQ(device.textX, device.lineStartX + 14 * device.charWidth);
    EXPECT_EQ(device.textY, device.top + 2 * device.lineHeight);
    device.finishDrawing();
}

TEST(Fonts, PointSizesAtTheCanvasResolution)
{
    FakeCanvas screen(96);
    const FontSpec natural = createPointFont(screen, "Times New Roman", 100, 0, 0);
    EXPECT_EQ(natural.height, -13);
    EXPECT_EQ(natural.width, 0);
    EXPECT_EQ(screen.fontMetricsCalls, 0) << "made once when the width is natural";
    FakeCanvas printer(600);
    const FontSpec print = createPointFont(printer, "Times New Roman", 140, 160, 0);
    EXPECT_EQ(print.height, -117);
    EXPECT_EQ(print.width, static_cast<int>(1333.0 * (117 / 2) / 1166 + 0.5));
    EXPECT_EQ(createPointFont(screen, "x", 100, 0, 1).weight, 700);
    const FontSpec six = createPointFont(screen, "x", 100, 0, 6);
    EXPECT_EQ(six.weight, 0);
    EXPECT_TRUE(six.italic);
    EXPECT_TRUE(six.underline);
    EXPECT_FALSE(six.strikeOut);
    EXPECT_EQ(createPointFont(screen, std::string(40, 'f'), 100, 0, 0).face.size(), 31u);
}

TEST(EmptyWindow, APageOfNothingIsStillFinished)
{
    TestWindow window(0, 0);
    PlotDevice device(&window);
    device.beginDrawing(0);
    device.setViewport(5, 80, 5, 85, 1);
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
