#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "device/LayerSplitCanvas.h"
#include "device/StrokeSet.h"
#include "tests/FakeCanvas.h"

namespace {

struct Added {
    DevicePoint a, b;
    Colour colour;
    bool fresh;
};

struct StrokeRow {
    const char* name;
    std::size_t capacity;
    std::vector<Added> strokes;
};

void PrintTo(const StrokeRow& row, std::ostream* out)
{
    *out << row.name;
}

class StrokeSets : public ::testing::TestWithParam<StrokeRow> {};

TEST_P(StrokeSets, TellEachStrokeOnce)
{
    StrokeSet set(GetParam().capacity);
    for (std::size_t i = 0; i < GetParam().strokes.size(); ++i) {
        const Added& s = GetParam().strokes[i];
        EXPECT_EQ(set.add(s.a, s.b, {s.colour, 1}), s.fresh) << "stroke " << i;
    }
}

constexpr Colour red = colourOf(PenColour::Red), blue = colourOf(PenColour::Blue);

INSTANTIATE_TEST_SUITE_P(
    Rows, StrokeSets,
    ::testing::Values(
        StrokeRow{"eitherWayRound", 8, {{{1, 2}, {3, 4}, red, true}, {{3, 4}, {1, 2}, red, false}}},
        StrokeRow{"anotherPen", 8, {{{1, 2}, {3, 4}, red, true}, {{1, 2}, {3, 4}, blue, true}}},
        StrokeRow{"noLength", 8, {{{5, 5}, {5, 5}, red, false}, {{5, 5}, {5, 5}, red, false}}},
        StrokeRow{"sharedEndOnly", 8, {{{0, 0}, {1, 0}, red, true}, {{1, 0}, {2, 0}, red, true}}},
        // Short strokes are kept apart from long ones (past 127 pixels
        // either way, past 32 767 from the origin): each is told once.
        StrokeRow{"atTheEdgeOfShort",
                  8,
                  {{{0, 0}, {127, -128}, red, true}, {{0, 0}, {128, -128}, red, true},
                   {{127, -128}, {0, 0}, red, false}, {{128, -128}, {0, 0}, red, false},
                   {{32767, 5}, {32768, 5}, red, true}, {{32768, 5}, {32767, 5}, red, false},
                   {{-32768, 0}, {-32769, 0}, blue, true}, {{-32769, 0}, {-32768, 0}, blue, false}}},
        StrokeRow{"farEnds",
                  8,
                  {{{INT_MIN, 0}, {INT_MAX, 0}, red, true}, {{INT_MAX, 0}, {INT_MIN, 0}, red, false}}},
        // Past its capacity a new stroke is always new; held ones still
        // repeat.
        StrokeRow{"full",
                  2,
                  {{{0, 0}, {1, 0}, red, true},
                   {{0, 0}, {2, 0}, red, true},
                   {{0, 0}, {3, 0}, red, true},
                   {{0, 0}, {3, 0}, red, true},
                   {{1, 0}, {0, 0}, red, false}}}),
    [](const auto& info) { return std::string(info.param.name); });

// Enough strokes that both tables grow through several sizes, the larger
// ones mapped whole: every stroke is still told once, either way round.
TEST(StrokeSetGrowing, TellsEachOfManyStrokesOnce)
{
    StrokeSet set;
    auto strokeOf = [](int i) {
        const bool isLong = i % 20 == 0;
        const DevicePoint a{i % 300, i / 300};
        const DevicePoint b{a.x + (isLong ? 200 : 1 + i % 7), a.y + (isLong ? 0 : 1)};
        return std::pair{a, b};
    };
    constexpr int count = 40000;
    for (int i = 0; i < count; ++i) {
        const auto [a, b] = strokeOf(i);
        ASSERT_TRUE(set.add(a, b, {red, 1})) << "stroke " << i;
    }
    for (int i = 0; i < count; ++i) {
        const auto [a, b] = strokeOf(i);
        ASSERT_FALSE(set.add(b, a, {red, 1})) << "stroke " << i;
    }
    EXPECT_EQ(set.size(), static_cast<std::size_t>(count));
    EXPECT_TRUE(set.add({0, 0}, {1, 0}, {blue, 1}));
}

// The page frames its surface viewport twice, for two fills: the second
// outline is not drawn again, and its fill spares the first's pixels.
TEST(FramedTwice, KeepsTheFirstOutlineAndFillsWithin)
{
    FakeCanvas fake;
    std::array<std::unique_ptr<RecordingCanvas>, pageLayerCount> recorders;
    LayerSplitCanvas::Layers canvases{};
    for (std::size_t i = 0; i < pageLayerCount; ++i) {
        recorders[i] = std::make_unique<RecordingCanvas>(fake);
        canvases[i] = recorders[i].get();
    }
    LayerSplitCanvas split(canvases);
    const Pen green{colourOf(PenColour::DarkGreen), 1};
    split.frame({40, 90, 640, 570}, green, colourOf(BrushColour::White));
    split.frame({40, 90, 640, 570}, green, colourOf(BrushColour::PaleYellow));
    split.frame({40, 90, 640, 570}, {colourOf(PenColour::Red), 1}, colourOf(BrushColour::White));
    const std::vector<RecordedCall>& page = recorders[indexOf(PageLayer::Page)]->calls();
    ASSERT_EQ(page.size(), 3u);
    EXPECT_EQ(page[0].kind, CallKind::Frame);
    EXPECT_EQ(page[1].kind, CallKind::Fill);
    EXPECT_EQ(page[1].rect, (DeviceRect{41, 91, 639, 569}));
    EXPECT_EQ(page[1].colour, colourOf(BrushColour::PaleYellow));
    EXPECT_EQ(page[2].kind, CallKind::Frame) << "another pen is another outline";
}

} // namespace
