#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <array>
#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "device/LayerSplitCanvas.h"
#include "device/PlotDevice.h"
#include "device/StrokeSet.h"
#include "expr/SurfaceFunction.h"
#include "render/ComposePage.h"
#include "sheets/Sheets.h"
#include "tests/FakeCanvas.h"

namespace {

// A stroke as a set holds it: its ends in order and its pen's colour.
using Stroke = std::tuple<int, int, int, int, Colour>;

Stroke strokeOf(DevicePoint a, DevicePoint b, Colour colour)
{
    if (b.x < a.x || (b.x == a.x && b.y < a.y))
        std::swap(a, b);
    return {a.x, a.y, b.x, b.y, colour};
}

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

TEST(StrokeSetGrowth, HoldsManyStrokes)
{
    StrokeSet set;
    for (int i = 0; i < 100000; ++i)
        ASSERT_TRUE(set.add({i, 0}, {i, 1}, {red, 1})) << i;
    for (int i = 0; i < 100000; i += 7)
        ASSERT_FALSE(set.add({i, 1}, {i, 0}, {red, 1})) << i;
    EXPECT_EQ(set.size(), 100000u);
}

// A window whose canvas keeps the layers apart, each recorded.
class LayersWindow final : public DeviceWindow {
public:
    LayersWindow(int width, int height) : rect_{0, 0, width, height}
    {
        LayerSplitCanvas::Layers canvases{};
        for (std::size_t i = 0; i < pageLayerCount; ++i) {
            recorders_[i] = std::make_unique<RecordingCanvas>(fake_);
            canvases[i] = recorders_[i].get();
        }
        split_ = std::make_unique<LayerSplitCanvas>(canvases);
    }
    DeviceRect clientRect() override { return rect_; }
    Canvas* acquireCanvas() override { return split_.get(); }
    void releaseCanvas(Canvas*) override {}
    PromptAnswer ask(Prompt, const std::string&, const std::string&) override
    {
        return PromptAnswer::No;
    }
    const std::vector<RecordedCall>& calls(PageLayer layer) const
    {
        return recorders_[indexOf(layer)]->calls();
    }

private:
    DeviceRect rect_;
    FakeCanvas fake_;
    std::array<std::unique_ptr<RecordingCanvas>, pageLayerCount> recorders_;
    std::unique_ptr<LayerSplitCanvas> split_;
};

template <class Window>
void composeOn(Window& window, const Sheets& sheets)
{
    PlotDevice device(window);
    SurfaceFunction surface(sheets.fdata);
    composePage({device, sheets, &surface, sheetAngles(sheets.sdata)}, PageTarget::Screen);
}

struct Line {
    std::size_t index;
    const char* value;
};

// A page, and the pens of the lines each layer holds (none: no lines).
struct LayersRow {
    const char* name;
    std::vector<Line> sdata, style;
    std::map<PageLayer, std::set<Colour>> pens;
};

void PrintTo(const LayersRow& row, std::ostream* out)
{
    *out << row.name;
}

class PageLayers : public ::testing::TestWithParam<LayersRow> {
protected:
    Sheets sheets() const
    {
        Sheets s;
        for (const Line& l : GetParam().sdata)
            buildLine(s.sdata[l.index], s.sdata[l.index].name, l.value);
        for (const Line& l : GetParam().style)
            buildLine(s.style[l.index], s.style[l.index].name, l.value);
        return s;
    }
};

// Every layer holds its own kind of call, in the pens of its kind only;
// between them they hold each stroke of the page once.
TEST_P(PageLayers, HoldEveryStrokeOnceEachInItsLayer)
{
    const Sheets s = sheets();
    TestWindow plain(800, 600);
    composeOn(plain, s);
    LayersWindow layers(800, 600);
    composeOn(layers, s);

    std::set<Stroke> page;
    for (const RecordedCall& c : plain.calls(CallKind::Line))
        if (!(c.from == c.to))
            page.insert(strokeOf(c.from, c.to, c.colour));
    std::multiset<Stroke> split;
    for (std::size_t i = 0; i < pageLayerCount; ++i) {
        const auto layer = static_cast<PageLayer>(i);
        std::set<Colour> pens;
        for (const RecordedCall& c : layers.calls(layer)) {
            if (c.kind == CallKind::Line) {
                split.insert(strokeOf(c.from, c.to, c.colour));
                pens.insert(c.colour);
            }
            if (c.kind == CallKind::Fill || c.kind == CallKind::Frame) {
                EXPECT_EQ(layer, PageLayer::Page) << nameOf(layer).label;
            }
            if (c.kind == CallKind::Text) {
                EXPECT_EQ(layer, PageLayer::Text) << nameOf(layer).label;
            }
        }
        const auto expected = GetParam().pens.find(layer);
        EXPECT_EQ(pens, expected == GetParam().pens.end() ? std::set<Colour>{} : expected->second)
            << nameOf(layer).label;
    }
    EXPECT_EQ(std::set<Stroke>(split.begin(), split.end()), page);
    EXPECT_EQ(split.size(), page.size()) << "a stroke drawn twice";
    EXPECT_EQ(callsOf(layers.calls(PageLayer::Text), CallKind::Text).size(),
              plain.calls(CallKind::Text).size());
}

namespace SL = SettingsLine;
using PL = PageLayer;
constexpr Colour magenta = colourOf(PenColour::Magenta), darkMagenta = colourOf(PenColour::DarkMagenta);

INSTANTIATE_TEST_SUITE_P(
    Rows, PageLayers,
    ::testing::Values(
        LayersRow{"defaults", {}, {}, {{PL::UpperSide, {magenta}}}},
        LayersRow{"everyKind",
                  {{SL::tilt, "-35"}, {SL::theta, "50"}, {SL::fc, "16"}, {SL::ax, "1"}},
                  {{StyleLine::hidden, "7"}},
                  {{PL::UpperSide, {magenta}},
                   {PL::Underside, {darkMagenta}},
                   {PL::HiddenLines, {colourOf(PenColour::Grey)}},
                   {PL::FrameBox, {colourOf(PenColour::Black)}},
                   {PL::AxesAndTicks,
                    {colourOf(PenColour::Blue), colourOf(PenColour::Cyan), colourOf(PenColour::Green)}}}},
        LayersRow{"ticksInTheTextColour",
                  {{SL::tilt, "30"}},
                  {{StyleLine::ticks, "1"}},
                  {{PL::UpperSide, {magenta}}, {PL::AxesAndTicks, {colourOf(PenColour::DarkBlue)}}}},
        // Pens cannot tell these kinds apart; the layers still do.
        LayersRow{"undersideInTheSurfacePen",
                  {{SL::tilt, "-35"}, {SL::pc, "3"}},
                  {},
                  {{PL::UpperSide, {colourOf(PenColour::DarkRed)}},
                   {PL::Underside, {colourOf(PenColour::DarkRed)}}}},
        LayersRow{"hiddenInTheSurfacePen",
                  {{SL::tilt, "30"}},
                  {{StyleLine::hidden, "13"}},
                  {{PL::UpperSide, {magenta}}, {PL::HiddenLines, {magenta}}}},
        LayersRow{"frameBoxInTheSurfacePen",
                  {{SL::fc, "13"}, {SL::z1, "-1"}},
                  {},
                  {{PL::UpperSide, {magenta}}, {PL::FrameBox, {magenta}}}},
        // Seen ahead on a second thread where there is one, kept for this
        // canvas, which has no layer of its own for it.
        LayersRow{"denseHidden",
                  {{SL::n, "200"}, {SL::m, "400"}, {SL::k, "2"}, {SL::tilt, "-20"}},
                  {{StyleLine::hidden, "7"}},
                  {{PL::UpperSide, {magenta}},
                   {PL::Underside, {darkMagenta}},
                   {PL::HiddenLines, {colourOf(PenColour::Grey)}}}}),
    [](const auto& info) { return std::string(info.param.name); });

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
