#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "device/HelpPage.h"
#include "device/PlotDevice.h"
#include "device/PrintService.h"
#include "expr/SurfaceFunction.h"
#include "render/ComposePage.h"
#include "render/SurfaceRenderer.h"
#include "sheets/PlotSettings.h"
#include "sheets/Sheets.h"
#include "tests/FakeCanvas.h"

namespace {

// An 800 x 600 plot window; the fake window font is 6 wide, 16 high.
class Compose : public ::testing::Test {
protected:
    Compose() : window(800, 600), device(window) {}

    PageReport compose(PageTarget target = PageTarget::Screen)
    {
        return composePage({device, sheets, &surface, sheetAngles(sheets.sdata)}, target);
    }

    void set(std::size_t line, const char* value)
    {
        buildLine(sheets.sdata[line], sheets.sdata[line].name, value);
    }

    std::size_t count(CallKind kind, std::optional<PenColour> pen = std::nullopt) const
    {
        if (!pen)
            return window.calls(kind).size();
        return window.calls(kind, colourOf(*pen)).size();
    }

    TestWindow window;
    PlotDevice device;
    Sheets sheets;
    SurfaceFunction surface{sheets.fdata};
};

TEST_F(Compose, DataPanelListsFiveAndElevenLines)
{
    compose();
    const auto texts = window.calls(CallKind::Text);
    ASSERT_EQ(texts.size(), 17u);
    for (std::size_t i = 0; i < 16; ++i) {
        EXPECT_EQ(texts[i].from.x, 656 + 6) << i;
        EXPECT_EQ(texts[i].colour, colourOf(PenColour::DarkBlue)) << i;
        if (i > 0) {
            EXPECT_EQ(texts[i].from.y - texts[i - 1].from.y, i == 5 ? 2 * 16 : 16) << i;
        }
    }
    EXPECT_EQ(texts[0].from.y, 90 + 16 / 3);
    EXPECT_EQ(texts[0].text, "a = 5");
    EXPECT_EQ(texts[5].text, "x1        = -2");
    EXPECT_EQ(texts[15].text, "theta     = 0");
}

TEST_F(Compose, CaptionIsCentredAboveTheSurfaceViewport)
{
    compose();
    const RecordedCall caption = window.calls(CallKind::Text).back();
    EXPECT_EQ(caption.text, "f(x,y) = exp(-(x*x+4*y*y))");
    const int w = static_cast<int>(caption.text.size()) * 6;
    const int x = 40 + static_cast<int>(50 * 6.0 + 0.5) - w / 2;
    const int y = static_cast<int>(570 - 108 * 4.8 + 0.5) - 16 / 2;
    EXPECT_EQ(caption.from, (DevicePoint{x, y}));
}

TEST_F(Compose, PageOrderAndColours)
{
    compose();
    const auto& calls = window.calls();
    ASSERT_GE(calls.size(), 20u);
    EXPECT_EQ(calls[0].kind, CallKind::Fill);
    EXPECT_EQ(calls[0].rect, (DeviceRect{0, 0, 800, 600}));
    EXPECT_EQ(calls[1].kind, CallKind::Clip);
    EXPECT_EQ(calls[1].rect, (DeviceRect{656, 90, 792, 570}));
    EXPECT_EQ(calls[2].kind, CallKind::Fill);
    EXPECT_EQ(calls[2].colour, colourOf(BrushColour::White));
    EXPECT_EQ(calls[4].kind, CallKind::Frame);
    EXPECT_EQ(calls[4].rect, (DeviceRect{656, 90, 792, 570}));
    EXPECT_EQ(calls[4].colour, colourOf(PenColour::DarkGreen));
    EXPECT_EQ(count(CallKind::Frame), 3u);
    EXPECT_EQ(window.calls(CallKind::Frame)[2].rect, (DeviceRect{40, 90, 640, 570}));
    EXPECT_GT(count(CallKind::Line, PenColour::Magenta), 1000u);
    EXPECT_EQ(count(CallKind::Line),
              count(CallKind::Line, PenColour::Magenta) + count(CallKind::Line, PenColour::DarkMagenta));
    EXPECT_FALSE(device.drawing()) << "the page is finished";
    EXPECT_EQ(window.released, 1);
}

TEST_F(Compose, FrameBoxAndAxesOnlyWhenAsked)
{
    set(SettingsLine::fc, "16");
    set(SettingsLine::ax, "2");
    compose();
    EXPECT_EQ(count(CallKind::Line, PenColour::BrushBlack), 12u);
    EXPECT_EQ(count(CallKind::Line, PenColour::Blue), 0u);
    window.clearCalls();
    set(SettingsLine::fc, "0");
    set(SettingsLine::ax, "1");
    compose();
    EXPECT_EQ(count(CallKind::Line, PenColour::BrushBlack), 0u);
    EXPECT_EQ(count(CallKind::Line, PenColour::Blue), 1u);
    EXPECT_EQ(count(CallKind::Line, PenColour::Cyan), 1u);
    EXPECT_EQ(count(CallKind::Line, PenColour::Green), 1u);
}

TEST_F(Compose, SurfacePenOutsideTheTableLeavesTheFramePen)
{
    set(SettingsLine::pc, "40");
    compose();
    EXPECT_EQ(count(CallKind::Line, PenColour::Magenta), 0u);
    EXPECT_GT(count(CallKind::Line, PenColour::DarkGreen), 1000u);
}

// The sheet's tilt and theta lines are only listed: the surface is drawn
// at the angles the page is given.
TEST_F(Compose, SurfaceIsDrawnAtTheGivenAngles)
{
    set(SettingsLine::tilt, "25");
    set(SettingsLine::theta, "-40");
    EXPECT_EQ(sheetAngles(sheets.sdata).tilt, 25);
    EXPECT_EQ(sheetAngles(sheets.sdata).theta, -40);
    compose();
    const auto fromSheet = window.calls(CallKind::Line);
    window.clearCalls();
    set(SettingsLine::tilt, "60");
    set(SettingsLine::theta, "10");
    composePage({device, sheets, &surface, ViewAngles{25, -40}}, PageTarget::Screen);
    const auto given = window.calls(CallKind::Line);
    ASSERT_EQ(given.size(), fromSheet.size());
    for (std::size_t i = 0; i < given.size(); ++i)
        ASSERT_TRUE(given[i].from == fromSheet[i].from && given[i].to == fromSheet[i].to) << i;
}

// The page asks nothing while it is drawn: it says what did not parse.
TEST_F(Compose, ParseErrorIsReportedOnEveryPageAndDrawsFlat)
{
    buildLine(sheets.fdata[6], "f(x,y)", "exp(");
    EXPECT_TRUE(compose().parseFailure.has_value());
    const PageReport report = compose();
    EXPECT_TRUE(window.shown.empty());
    ASSERT_TRUE(report.parseFailure.has_value());
    EXPECT_EQ(report.parseFailure->line, "f(x,y) = exp(");
    EXPECT_NE(report.parseFailure->diagnostic.find("Syntax error"), std::string::npos);
    EXPECT_FALSE(report.printed.has_value());
    EXPECT_GT(count(CallKind::Line), 0u);
    EXPECT_EQ(count(CallKind::Line, PenColour::DarkMagenta), 0u)
        << "a flat surface above tilt 0 is all upper side";

    tellPage(report, &window, window);
    ASSERT_EQ(window.shown.size(), 1u);
    EXPECT_EQ(window.shown[0].kind, Prompt::ParseWarning);
    EXPECT_EQ(window.shown[0].caption, "Parse error: therefore f(x,y) = 0");
    EXPECT_EQ(window.shown[0].text, "f(x,y) = exp(");
    EXPECT_EQ(window.shown[0].releasedBefore, 2) << "told once the page is finished";
    tellPage(report, nullptr, window);
    EXPECT_EQ(window.shown.size(), 1u) << "no owner, no warning";

    buildLine(sheets.fdata[6], "f(x,y)", "x*y");
    EXPECT_FALSE(compose().parseFailure.has_value());
}

// A spooler that knows a printer but cannot open it.
class ClosedPrinter final : public PrintService {
public:
    bool reachable() override { return true; }
    std::string defaultDestination() override { return "Office"; }
    std::unique_ptr<PrintJob> open(const std::string&) override { return nullptr; }
};

TEST_F(Compose, DeclinedPrintDrawsThePrinterLayoutOnTheWindow)
{
    ClosedPrinter spooler;
    window.answers = {PromptAnswer::No};
    std::unique_ptr<PrinterSession> printer;
    EXPECT_EQ(PrinterSession::open(&spooler, window, printer), PrinterSession::Opening::Declined);
    const PageReport report = composePage({device, sheets, &surface, sheetAngles(sheets.sdata)},
                                          PageTarget::Printer, std::move(printer));
    EXPECT_FALSE(report.printed.has_value());
    ASSERT_EQ(window.shown.size(), 1u);
    EXPECT_EQ(window.shown[0].kind, Prompt::PrintTo);
    EXPECT_EQ(window.shown[0].caption, "Shall we print to ");
    EXPECT_EQ(window.shown[0].text, "Office");
    EXPECT_EQ(window.calls()[1].rect, (DeviceRect{656, 90, 792, 450})) << "from 25 % up";
    for (const RecordedCall& frame : window.calls(CallKind::Frame))
        EXPECT_EQ(frame.width, 3);
    EXPECT_GT(window.calls(CallKind::Line, colourOf(PenColour::Magenta)).size(), 1000u);
    for (const RecordedCall& line : window.calls(CallKind::Line))
        EXPECT_EQ(line.width, 3);
}

TEST_F(Compose, EmptyAndDegeneratePagesAreFinished)
{
    for (auto [w, h] : {std::pair{0, 0}, std::pair{0, 600}, std::pair{800, 0}, std::pair{1, 1}}) {
        window.resize(w, h);
        compose();
    }
    set(SettingsLine::x2, "-2");
    set(SettingsLine::z2, "0");
    set(SettingsLine::m, "-5");
    window.resize(800, 600);
    compose();
    EXPECT_EQ(window.acquired, window.released);
    EXPECT_EQ(count(CallKind::Text), 5u * 17u);
}

TEST_F(Compose, ShortSheetsGiveAPageWithoutTheirLines)
{
    sheets.fdata = DataSheet(1);
    sheets.sdata = DataSheet(16);
    SurfaceFunction shortSurface(sheets.fdata);
    const PageReport report = composePage({device, sheets, &shortSurface, {}}, PageTarget::Screen);
    EXPECT_EQ(count(CallKind::Text), 11u) << "eleven empty settings lines, no caption";
    EXPECT_FALSE(report.parseFailure.has_value()) << "no expression line: nothing to warn of";
}

TEST(HelpPage, FifteenLinesInTwoColumns)
{
    TestWindow window(750, 490);
    drawHelpPage(window);
    const auto texts = window.calls(CallKind::Text);
    ASSERT_EQ(texts.size(), 21u) << "six headings and fifteen explanation lines";
    // Viewport 7..742 x 9..480; characters 6 wide, lines 16 high.
    const int margin = 7 + 3 * 6;
    const int firstY = 9 + 16 / 3 + 16;
    EXPECT_EQ(texts[0].from, (DevicePoint{margin, firstY}));
    EXPECT_EQ(texts[0].text, "Menu:");
    EXPECT_EQ(texts[0].colour, colourOf(PenColour::DarkRed));
    EXPECT_EQ(texts[1].from, (DevicePoint{margin + 14 * 6, firstY}));
    EXPECT_EQ(texts[1].colour, colourOf(PenColour::DarkBlue));
    EXPECT_EQ(texts[1].text.rfind("Open, arrange", 0), 0u);
    EXPECT_EQ(texts[4].from, (DevicePoint{margin, firstY + 4 * 16})) << "after two blank lines";
    EXPECT_EQ(texts[4].text, "Orientation:");
    EXPECT_EQ(texts[6].from, (DevicePoint{margin + 14 * 6, firstY + 5 * 16}));
    EXPECT_EQ(texts[20].from.y, firstY + (15 + 5 - 1) * 16);
    const RecordedCall fill = window.calls()[2];
    EXPECT_EQ(fill.kind, CallKind::Fill);
    EXPECT_EQ(fill.rect, (DeviceRect{7, 9, 742, 480}));
    EXPECT_EQ(fill.colour, colourOf(BrushColour::PaleYellow));
    const auto frames = window.calls(CallKind::Frame);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].rect, fill.rect);
    EXPECT_EQ(frames[0].colour, colourOf(PenColour::DarkGreen));
}

} // namespace
