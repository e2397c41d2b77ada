#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "device/PlotDevice.h"
#include "device/Viridis.h"
#include "render/ColourBar.h"
#include "render/HeightBands.h"
#include "tests/FakeCanvas.h"

// Colour by height: the band of a height, the colours, and the bar.
namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

struct BandRow {
    const char* name;
    int count;
    double z1, z2, z;
    int band;
};

const BandRow bandRows[] = {
    {"bottomIsBandZero", 4, 0, 1, 0, 0},
    {"anEdgeStartsItsBand", 4, 0, 1, 0.25, 1},
    {"justBelowAnEdge", 4, 0, 1, std::nextafter(0.25, 0.0), 0},
    {"theMiddleEdge", 4, 0, 1, 0.5, 2},
    {"justBelowTheTop", 4, 0, 1, std::nextafter(1.0, 0.0), 3},
    {"topIsTheLastBand", 4, 0, 1, 1, 3},
    {"aboveTheBox", 4, 0, 1, 7, 3},
    {"belowTheBox", 4, 0, 1, -3, 0},
    {"plusInfinityToTheTop", 4, 0, 1, inf, 3},
    {"minusInfinityToTheBottom", 4, 0, 1, -inf, 0},
    {"notANumberIsBandZero", 4, 0, 1, nan, 0},
    // Formed as N (z - z1), then divided: 64 (0.03125 + 1) / 2 is 33.
    {"edgeOfSixtyFourBands", 64, -1, 1, 0.03125, 33},
    // The height just below it plus 1 is 1.03125 all the same: band 33.
    {"justBelowThatEdgeRoundsOntoIt", 64, -1, 1, std::nextafter(0.03125, 0.0), 33},
    {"belowThatEdge", 64, -1, 1, 0.03125 - 1e-15, 32},
    {"tenBandsAtSevenTenths", 10, 0, 1, 0.7, 7},
    // z1 above z2: the bands run down from z1.
    {"reversedBoxEdge", 4, 1, 0, 0.75, 1},
    {"reversedBoxAtZ2", 4, 1, 0, 0, 3},
    {"reversedPlusInfinityNearestZ1", 4, 1, 0, inf, 0},
    {"reversedMinusInfinityNearestZ2", 4, 1, 0, -inf, 3},
    {"flatBox", 4, 2, 2, 2, 0},
    {"flatBoxAbove", 4, 2, 2, 5, 0},
    {"flatBoxInfinity", 4, 2, 2, inf, 0},
    // An extent past the double range: formed on halves.
    {"hugeBoxTop", 4, -1e308, 1e308, 1e308, 3},
    {"hugeBoxMiddle", 4, -1e308, 1e308, 0, 2},
    {"hugeBoxUpperQuarter", 4, -1e308, 1e308, 0.6e308, 3},
    {"hugeBoxLowQuarter", 4, -1e308, 1e308, -0.6e308, 0},
    {"productPastTheRange", 64, 0, 1e308, 0.5e308, 32},
    {"farAboveAThinBox", 4, 0, 1e-300, 1e10, 3},
    {"countOutOfRangeHasNoBands", 65, 0, 1, 0.9, 0},
};

class Bands : public ::testing::TestWithParam<BandRow> {};

// One height alone, and the same height amid a piece of others, as the
// renderer asks for them.
TEST_P(Bands, OfAHeight)
{
    const BandRow& row = GetParam();
    const HeightBands bands(row.count, row.z1, row.z2);
    EXPECT_EQ(bands.bandOf(row.z), row.band);
    std::vector<double> piece(37, row.z2);
    piece[17] = row.z;
    std::vector<std::uint8_t> got(piece.size(), 99);
    bands.bandsOf(piece.data(), piece.size(), got.data());
    EXPECT_EQ(got[17], row.band);
    EXPECT_EQ(got[0], bands.bandOf(row.z2));
}

INSTANTIATE_TEST_SUITE_P(Heights, Bands, ::testing::ValuesIn(bandRows),
                         [](const auto& info) { return std::string(info.param.name); });

// Every height of a fine sweep across the box and beyond has the band
// its quotient says, whether asked alone or by the piece.
TEST(Bands, PieceAndHeightAgreeAcrossTheBox)
{
    const HeightBands bands(64, -0.3, 1.7);
    std::vector<double> z;
    for (int i = -500; i <= 2500; ++i)
        z.push_back(-0.3 + i * (2.0 / 2000));
    std::vector<std::uint8_t> got(z.size());
    bands.bandsOf(z.data(), z.size(), got.data());
    int changes = 0;
    for (std::size_t i = 0; i < z.size(); ++i) {
        ASSERT_EQ(got[i], bands.bandOf(z[i])) << z[i];
        changes += i > 0 && got[i] != got[i - 1];
    }
    EXPECT_EQ(changes, 63);
}

struct ColourRow {
    const char* name;
    double t;
    int r, g, b;
};

// As matplotlib gives them (to_hex of viridis(t)): entry floor(t * 256).
const ColourRow colourRows[] = {
    {"start", 0, 68, 1, 84},
    {"end", 1, 253, 231, 37},
    {"middle", 0.5, 33, 145, 140},
    {"quarter", 0.25, 59, 82, 139},
    {"fourthOfEightBands", 3.5 / 8, 38, 130, 142},
    {"secondEntryBegins", 1.0 / 256, 68, 2, 86},
    {"justBeforeTheSecondEntry", 0.0039062499999999996, 68, 1, 84},
    {"lastEntryBegins", 255.0 / 256, 253, 231, 37},
    {"beforeTheStart", -2, 68, 1, 84},
    {"notANumber", nan, 68, 1, 84},
};

class Viridis : public ::testing::TestWithParam<ColourRow> {};

TEST_P(Viridis, ColourAtAPosition)
{
    const ColourRow& row = GetParam();
    EXPECT_EQ(hexColour(viridisAt(row.t)), hexColour(rgb(row.r, row.g, row.b)));
}

INSTANTIATE_TEST_SUITE_P(Positions, Viridis, ::testing::ValuesIn(colourRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Bands, UndersideIsTheUpperSideAtHalfTheBrightness)
{
    EXPECT_EQ(halfBrightness(rgb(68, 1, 84)), rgb(34, 1, 42));
    EXPECT_EQ(halfBrightness(rgb(253, 231, 37)), rgb(127, 116, 19));
    EXPECT_EQ(halfBrightness(rgb(0, 255, 2)), rgb(0, 128, 1));
    const HeightBands bands(8, 0, 1);
    EXPECT_EQ(bands.upper(3), rgb(38, 130, 142)) << "viridis at 3.5 / 8";
    EXPECT_EQ(bands.underside(3), rgb(19, 65, 71));
}

struct LabelRow {
    const char* name;
    double z;
    const char* text;
};

const LabelRow labelRows[] = {
    {"minusZero", -0.0, "0"},
    {"third", -1.0 / 3, "-0.3333"},
    {"thousands", 1234.6, "1235"},
    {"wholeBelowAMillion", 250000, "250000"},
    {"aMillion", 1e6, "1e+06"},
    {"tiny", 1e-5, "1e-05"},
};

class HeightLabels : public ::testing::TestWithParam<LabelRow> {};

TEST_P(HeightLabels, ReadWell)
{
    EXPECT_EQ(heightLabel(GetParam().z), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Heights, HeightLabels, ::testing::ValuesIn(labelRows),
                         [](const auto& info) { return std::string(info.param.name); });

// The panel of the default screen page on 800 x 600 (left 656, right
// 792, top 90, bottom 570; the fake font is 6 wide, 16 high), its cursor
// where the lists leave it.
class ColourBar : public ::testing::Test {
protected:
    ColourBar() : window(800, 600), device(window)
    {
        device.beginDrawing();
        device.setViewport(82, 99, 5, 85, ClipMode::Clip);
        window.clearCalls();
    }

    std::vector<RecordedCall> bar(const HeightBands& bands, int cursorY)
    {
        device.moveTextCursor({device.viewport().left + 6, cursorY});
        drawColourBar(device, bands);
        return window.calls();
    }

    TestWindow window;
    PlotDevice device;
};

// One empty line below the cursor, twelve lines high (192 = 4 x 48), two
// characters wide; band 0 at the foot; the labels one character to the
// right, centred on the head, the middle and the foot.
TEST_F(ColourBar, BandsFromTheFootAndThreeHeights)
{
    const std::vector<RecordedCall> calls = bar(HeightBands(4, -1, 2), 300);
    ASSERT_EQ(calls.size(), 7u);
    const int foot = 316 + 192;
    for (int b = 0; b < 4; ++b) {
        EXPECT_EQ(calls[b].kind, CallKind::Fill);
        EXPECT_EQ(calls[b].rect, (DeviceRect{662, foot - 48 * (b + 1), 674, foot - 48 * b})) << b;
        EXPECT_EQ(calls[b].colour, HeightBands(4, -1, 2).upper(b));
    }
    EXPECT_EQ(calls[4].text, "2");
    EXPECT_EQ(calls[4].from, (DevicePoint{680, 316 - 8}));
    EXPECT_EQ(calls[5].text, "0.5");
    EXPECT_EQ(calls[5].from, (DevicePoint{680, foot - 96 - 8}));
    EXPECT_EQ(calls[6].text, "-1");
    EXPECT_EQ(calls[6].from, (DevicePoint{680, foot - 8}));
    EXPECT_EQ(calls[6].colour, colourOf(PenColour::DarkBlue));
}

// Less room than twelve lines: the bar ends a line above the panel's
// foot, its bands sharing the height by whole pixels; with less than two
// lines it is left out.
TEST_F(ColourBar, ShrinksToThePanelAndIsLeftOutWithoutRoom)
{
    std::vector<RecordedCall> calls = bar(HeightBands(64, 0, 1), 450);
    const std::vector<RecordedCall> fills = callsOf(calls, CallKind::Fill);
    ASSERT_FALSE(fills.empty());
    EXPECT_EQ(fills.front().rect.bottom, 570 - 16);
    EXPECT_EQ(fills.back().rect.top, 466);
    for (std::size_t i = 1; i < fills.size(); ++i)
        EXPECT_EQ(fills[i].rect.bottom, fills[i - 1].rect.top);
    window.clearCalls();
    EXPECT_TRUE(bar(HeightBands(64, 0, 1), 570 - 16 - 16 - 31).empty());
    EXPECT_FALSE(bar(HeightBands(64, 0, 1), 570 - 16 - 16 - 32).empty());
    window.clearCalls();
    EXPECT_TRUE(bar(HeightBands(0, 0, 1), 300).empty()) << "no bands, no bar";
}

} // namespace
