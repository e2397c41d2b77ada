#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "device/PlotDevice.h"
#include "device/PrintService.h"
#include "expr/SurfaceFunction.h"
#include "render/ComposePage.h"
#include "sheets/Sheets.h"
#include "tests/FakeCanvas.h"

namespace {

// A printer with a 600 dpi page of 4800 x 6600 dots, recording its calls.
class FakeJob final : public PrintJob {
public:
    FakeJob(PrintOutcome outcome, std::vector<std::string>& log, std::vector<RecordedCall>& calls)
        : outcome_(outcome), log_(log), calls_(calls), recorder(fake) {}
    ~FakeJob() override { log_.push_back("font " + std::to_string(fake.textFont.height)); }
    Canvas& canvas() override { return recorder; }
    PageSize pageSize() const override { return {4800, 6600}; }
    PrintOutcome finish() override
    {
        log_.emplace_back("finish");
        calls_ = recorder.calls();
        return outcome_;
    }

    PrintOutcome outcome_;
    std::vector<std::string>& log_;
    std::vector<RecordedCall>& calls_;
    FakeCanvas fake{600};
    RecordingCanvas recorder;
};

class FakeSpooler final : public PrintService {
public:
    bool reachable() override { return running; }
    std::string defaultDestination() override { return destination; }
    std::unique_ptr<PrintJob> open(const std::string& name) override
    {
        opened.push_back(name);
        if (!openable)
            return nullptr;
        return std::make_unique<FakeJob>(outcome, log, calls);
    }
    bool running = true;
    std::string destination = "Office Laser";
    bool openable = true;
    PrintOutcome outcome = PrintOutcome::Spooled;
    std::vector<std::string> opened;
    std::vector<std::string> log;
    std::vector<RecordedCall> calls;  // of the last page
};

// The Print command's page on a 640 x 480 main window, of the default
// sheets.
class Printing : public ::testing::Test {
protected:
    Printing() : window(640, 480), device(window) {}

    void compose(PageTarget target, std::unique_ptr<PrinterSession> printer = nullptr)
    {
        report = composePage({device, sheets, &surface, sheetAngles(sheets.sdata)}, target,
                             std::move(printer));
    }
    // As the Print command does it: ask, draw, tell.
    void print()
    {
        std::unique_ptr<PrinterSession> printer;
        if (PrinterSession::open(&spooler, window, printer) == PrinterSession::Opening::Refused)
            return;
        compose(PageTarget::Printer, std::move(printer));
        tellPage(report, nullptr, window);
    }

    std::vector<Prompt> kinds() const
    {
        std::vector<Prompt> all;
        for (const TestWindow::Shown& shown : window.shown)
            all.push_back(shown.kind);
        return all;
    }

    // Whether the surface's lines are those of the default f(x,y): its
    // highest point lies between the heights 0.95 and 1 of the projected
    // box (about 0.973, a little behind and right of the peak). A flat
    // surface at 0 tops out at 0.69 (the back corner), one at 5 far above
    // the viewport.
    ::testing::AssertionResult defaultSurface(const std::vector<RecordedCall>& lines) const
    {
        int top = INT_MAX;
        for (const RecordedCall& line : lines)
            top = std::min({top, line.from.y, line.to.y});
        const int high = device.toDeviceY(1.0), low = device.toDeviceY(0.95);
        if (top > high && top < low)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "the surface tops out at " << top << ", not between " << high << " and " << low;
    }

    TestWindow window;
    FakeSpooler spooler;
    PlotDevice device;
    Sheets sheets;
    SurfaceFunction surface{sheets.fdata};
    PageReport report;
};

TEST_F(Printing, TheQuestionsTheirOrderAndTheDocument)
{
    window.answers = {PromptAnswer::Yes, PromptAnswer::Yes};
    print();
    ASSERT_EQ(kinds(), (std::vector{Prompt::PrintTo, Prompt::Colour, Prompt::PrintFinished}));
    EXPECT_EQ(window.shown[0].caption, "Shall we print to ");
    EXPECT_EQ(window.shown[0].text, "Office Laser");
    EXPECT_EQ(window.shown[1].caption, "Notice");
    EXPECT_EQ(window.shown[1].text, "Colour ?");
    EXPECT_EQ(window.shown[2].caption, "Note");
    EXPECT_EQ(window.shown[2].text, "Printing is Finished");
    EXPECT_EQ(window.shown[1].acquiredBefore, 0) << "both questions come before the picture";
    EXPECT_EQ(window.shown[2].releasedBefore, 1) << "the note after it";
    EXPECT_EQ(report.printed, PrintOutcome::Spooled);
    EXPECT_EQ(spooler.opened, std::vector<std::string>{"Office Laser"});
    EXPECT_EQ(spooler.log, (std::vector<std::string>{"finish", "font -117"}))
        << "one page, written in 14 points at 600 dpi";
}

TEST_F(Printing, PrinterLayoutInColour)
{
    window.answers = {PromptAnswer::Yes, PromptAnswer::Yes};
    print();
    const auto& calls = spooler.calls;
    ASSERT_FALSE(calls.empty());
    // b = 25: the panel runs from 25 % to 85 % of the 6600 dots.
    EXPECT_EQ(calls[0].kind, CallKind::Clip);
    EXPECT_EQ(calls[0].rect, (DeviceRect{3936, 990, 4752, 4950}));
    const auto frames = callsOf(calls, CallKind::Frame);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].rect, calls[0].rect);
    EXPECT_EQ(frames[0].colour, colourOf(PenColour::DarkGreen));
    EXPECT_EQ(frames[0].width, 3);
    EXPECT_GT(callsOf(calls, CallKind::Line, colourOf(PenColour::Magenta)).size(), 1000u);
    EXPECT_EQ(callsOf(calls, CallKind::Text, colourOf(PenColour::DarkBlue)).size(), 17u);
    EXPECT_EQ(window.calls().size(), 1u) << "the window only had its white fill";
    EXPECT_TRUE(defaultSurface(callsOf(calls, CallKind::Line)));
}

TEST_F(Printing, AfterThePrintTheDeviceIsBackOnTheWindow)
{
    window.answers = {PromptAnswer::Yes, PromptAnswer::No};
    print();
    EXPECT_EQ(device.charWidth(), 8) << "the stock fixed font's metrics";
    EXPECT_EQ(device.lineHeight(), 12);
    window.clearCalls();
    compose(PageTarget::Screen);
    const auto& calls = window.calls();
    ASSERT_GT(calls.size(), 2u);
    EXPECT_EQ(calls[0].rect, (DeviceRect{0, 0, 640, 480}));
    EXPECT_EQ(calls[1].rect, (DeviceRect{524, 72, 633, 456})) << "the screen layout";
    EXPECT_EQ(window.fake.textFont.height, -13) << "the window font again";
    EXPECT_EQ(window.calls(CallKind::Text, colourOf(PenColour::DarkBlue)).size(), 17u) << "in colour again";
    EXPECT_GT(window.calls(CallKind::Frame, colourOf(PenColour::DarkGreen)).size(), 0u);
    for (const RecordedCall& line : window.calls(CallKind::Line))
        EXPECT_EQ(line.width, 1);
}

TEST_F(Printing, BlackAndWhiteIgnoresEverySelection)
{
    window.answers = {PromptAnswer::Yes, PromptAnswer::No};
    buildLine(sheets.sdata[SettingsLine::fc], "fc       ", "11");
    buildLine(sheets.sdata[SettingsLine::ax], "ax       ", "1");
    print();
    const auto& calls = spooler.calls;
    ASSERT_FALSE(calls.empty());
    EXPECT_TRUE(callsOf(calls, CallKind::Fill).empty()) << "no fill on a black-and-white page";
    for (const CallKind kind : {CallKind::Line, CallKind::Frame, CallKind::Text})
        EXPECT_EQ(callsOf(calls, kind, colourOf(PenColour::Black)).size(), callsOf(calls, kind).size());
    auto lines = callsOf(calls, CallKind::Line);
    ASSERT_GT(lines.size(), 1000u);
    lines.resize(lines.size() - 12 - 3);  // the frame box and the axes come last
    EXPECT_TRUE(defaultSurface(lines));
}

// Colour bands are colours: a black-and-white print ignores them, call
// for call, the colour bar with them; a print in colour has both.
TEST_F(Printing, BlackAndWhiteIgnoresColourBands)
{
    window.answers = {PromptAnswer::Yes, PromptAnswer::No};
    print();
    const std::vector<RecordedCall> plain = spooler.calls;
    buildLine(sheets.style[StyleLine::bands], "bands ", "12");
    window.answers = {PromptAnswer::Yes, PromptAnswer::No};
    print();
    ASSERT_EQ(spooler.calls.size(), plain.size());
    EXPECT_EQ(trace(spooler.calls), trace(plain));

    window.answers = {PromptAnswer::Yes, PromptAnswer::Yes};
    print();
    const auto& calls = spooler.calls;
    EXPECT_TRUE(callsOf(calls, CallKind::Line, colourOf(PenColour::Magenta)).empty());
    EXPECT_EQ(callsOf(calls, CallKind::Fill).size(), 2u + 12u) << "the page's two, the bands'";
    for (const RecordedCall& line : callsOf(calls, CallKind::Line))
        EXPECT_EQ(line.width, 3);
}

TEST_F(Printing, DeclinedPrintDrawsOnTheWindow)
{
    window.answers = {PromptAnswer::No};
    print();
    EXPECT_TRUE(spooler.opened.empty());
    EXPECT_EQ(kinds(), std::vector{Prompt::PrintTo});
    EXPECT_EQ(window.calls(CallKind::Frame).size(), 3u);
    EXPECT_GT(window.calls(CallKind::Line, colourOf(PenColour::Magenta)).size(), 1000u);
    EXPECT_TRUE(defaultSurface(window.calls(CallKind::Line)));
}

TEST_F(Printing, LongNamesAreCutForTheQuestion)
{
    spooler.destination = std::string(150, 'p');
    print();
    ASSERT_FALSE(window.shown.empty());
    EXPECT_EQ(window.shown[0].text, std::string(99, 'p'));
}

TEST_F(Printing, NoDefaultPrinterIsSaidAndNothingIsDrawn)
{
    spooler.destination = "";
    print();
    EXPECT_EQ(kinds(), std::vector{Prompt::NoPrinter});
    EXPECT_NE(window.shown[0].text.find("No default printer"), std::string::npos);
    EXPECT_TRUE(window.calls(CallKind::Line).empty());
    EXPECT_TRUE(window.calls(CallKind::Text).empty());
    EXPECT_EQ(window.acquired, window.released);
    compose(PageTarget::Screen);
    EXPECT_FALSE(window.calls(CallKind::Line).empty()) << "the device stays usable";
}

TEST_F(Printing, PrinterThatCannotBeOpenedIsNotReportedAsPrinted)
{
    spooler.openable = false;
    window.answers = {PromptAnswer::Yes, PromptAnswer::Yes};
    print();
    EXPECT_EQ(kinds(), (std::vector{Prompt::PrintTo, Prompt::Colour, Prompt::PrintFailed}));
    EXPECT_EQ(window.shown[2].caption, "Print failed");
    EXPECT_TRUE(window.calls(CallKind::Line).empty());
    compose(PageTarget::Screen);
    EXPECT_EQ(window.calls(CallKind::Fill).back().rect, (DeviceRect{32, 72, 512, 456}))
        << "the next page is the screen's, in colour";
}

TEST_F(Printing, SpoolerThatCannotBeReachedIsToldApartFromNoPrinter)
{
    spooler.running = false;
    print();
    EXPECT_EQ(kinds(), std::vector{Prompt::SpoolerUnreachable});
    EXPECT_EQ(window.shown[0].caption, "Print");
    EXPECT_NE(window.shown[0].text.find("spooler cannot be reached"), std::string::npos);
    EXPECT_TRUE(spooler.opened.empty());
    EXPECT_TRUE(window.calls(CallKind::Line).empty());
    EXPECT_EQ(window.acquired, window.released);
}

// A page that was not written whole, or that the spooler would not take,
// is a failed print, told apart by its text.
struct FailedPrint {
    PrintOutcome outcome;
    const char* says;
};

void PrintTo(const FailedPrint& p, std::ostream* os) { *os << '"' << p.says << '"'; }

class FailedPrints : public Printing, public ::testing::WithParamInterface<FailedPrint> {};

TEST_P(FailedPrints, AreNotReportedAsPrinted)
{
    spooler.outcome = GetParam().outcome;
    window.answers = {PromptAnswer::Yes, PromptAnswer::Yes};
    print();
    EXPECT_EQ(kinds(), (std::vector{Prompt::PrintTo, Prompt::Colour, Prompt::PrintFailed}));
    EXPECT_EQ(window.shown[2].caption, "Print failed");
    EXPECT_NE(window.shown[2].text.find(GetParam().says), std::string::npos) << window.shown[2].text;
    EXPECT_NE(window.shown[2].text.find("nothing was printed"), std::string::npos);
    EXPECT_FALSE(device.drawing());
}

INSTANTIATE_TEST_SUITE_P(Outcomes, FailedPrints,
                         ::testing::Values(FailedPrint{PrintOutcome::Incomplete, "completely"},
                                           FailedPrint{PrintOutcome::Refused, "refused"}));

TEST_F(Printing, ParseErrorOfAPrintIsReportedBesideItsOutcome)
{
    buildLine(sheets.fdata[6], "f(x,y)", "(");
    window.answers = {PromptAnswer::Yes, PromptAnswer::Yes};
    print();
    EXPECT_EQ(kinds(), (std::vector{Prompt::PrintTo, Prompt::Colour, Prompt::PrintFinished}));
    ASSERT_TRUE(report.parseFailure.has_value());
    EXPECT_EQ(report.parseFailure->line, "f(x,y) = (");
    EXPECT_EQ(report.printed, PrintOutcome::Spooled);
}

} // namespace
