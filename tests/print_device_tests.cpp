#include <gtest/gtest.h>

#include <string>

#include "device/PlotDevice.h"
#include "device/PrintService.h"
#include "expr/SurfaceFunction.h"
#include "render/ComposePage.h"
#include "sheets/DataSheet.h"
#include "tests/FakeCanvas.h"

namespace {

// A printer with a 600 dpi page of 4800 x 6600 dots, recording its calls.
class FakeJob final : public PrintJob {
public:
    FakeJob(bool accept, std::vector<std::string>& log, std::vector<std::string>& calls)
        : accept_(accept), log_(log), calls_(calls), recorder(fake) {}
    ~FakeJob() override { log_.push_back("font " + std::to_string(fake.selected.height)); }
    Canvas* canvas() override { return &recorder; }
    int horzRes() const override { return 4800; }
    int vertRes() const override { return 6600; }
    bool startDoc() override { return log_.emplace_back("startDoc"), true; }
    bool startPage() override { return log_.emplace_back("startPage"), true; }
    bool endPage() override { return log_.emplace_back("endPage"), true; }
    bool endDoc() override
    {
        log_.emplace_back("endDoc");
        calls_ = recorder.calls();
        return accept_;
    }

    bool accept_;
    std::vector<std::string>& log_;
    std::vector<std::string>& calls_;
    FakeCanvas fake{600};
    RecordingCanvas recorder;
};

class FakeSpooler final : public PrintService {
public:
    std::string defaultPrinter() override { return value; }
    std::unique_ptr<PrintJob> open(const std::string& name) override
    {
        opened.push_back(name);
        if (!openable)
            return nullptr;
        auto job = std::make_unique<FakeJob>(accept, log, calls);
        return job;
    }
    std::string value = "Office Laser,HPLJ,LPT1:";
    bool openable = true;
    bool accept = true;
    std::vector<std::string> opened;
    std::vector<std::string> log;
    std::vector<std::string> calls;  // of the last document
};

class Printing : public ::testing::Test {
protected:
    Printing() : window(640, 480), device(&window)
    {
        device.printService = &spooler;
    }

    void print()
    {
        PageContext page{device, sheets, &surface, tilt, theta, false};
        composePage(page, 1);
    }

    static std::size_t count(const std::vector<std::string>& calls, const std::string& part)
    {
        std::size_t n = 0;
        for (const std::string& call : calls)
            n += call.find(part) != std::string::npos;
        return n;
    }

    Sheets sheets;
    DataSheet& fdata = sheets.fdata;
    DataSheet& sdata = sheets.sdata;
    TestWindow window;
    PlotDevice device;
    FakeSpooler spooler;
    SurfaceFunction surface{fdata};
    double tilt = 0, theta = 0;
};

TEST_F(Printing, TheQuestionsTheirOrderAndTheDocument)
{
    window.answers = {MessageAnswer::Yes, MessageAnswer::Yes};
    print();
    ASSERT_EQ(window.messages.size(), 3u);
    EXPECT_EQ(window.messages[0], (std::pair<std::string, std::string>{"Shall we print to ", "Office Laser"}));
    EXPECT_EQ(window.messages[1], (std::pair<std::string, std::string>{"Notice", "Colour ?"}));
    EXPECT_EQ(window.messages[2], (std::pair<std::string, std::string>{"Note", "Printing is Finished"}));
    EXPECT_EQ(spooler.opened, std::vector<std::string>{"Office Laser"});
    EXPECT_EQ(spooler.log, (std::vector<std::string>{"startDoc", "startPage", "endPage", "endDoc", "font -117"}));
    EXPECT_TRUE(device.lastPrintAccepted);
}

TEST_F(Printing, PrinterLayoutInColour)
{
    window.answers = {MessageAnswer::Yes, MessageAnswer::Yes};
    print();
    const auto& calls = spooler.calls;
    ASSERT_FALSE(calls.empty());
    // b = 25: the panel runs from 25 % to 85 % of the 6600 dots.
    EXPECT_EQ(calls[0], "clip 3936 990 4752 4950");
    EXPECT_EQ(count(calls, "frame "), 3u);
    EXPECT_EQ(count(calls, "frame 3936 990 4752 4950 #00A000 3"), 1u);
    EXPECT_GT(count(calls, " #FF00FF 3"), 1000u);
    EXPECT_EQ(count(calls, "text "), 17u);
    EXPECT_EQ(window.calls().size(), 1u) << "the window only had its white fill";
    // Afterwards the device is back on the window.
    EXPECT_EQ(device.printing, 0);
    EXPECT_EQ(device.colour, 1);
    EXPECT_EQ(device.pageWidth, 640);
    EXPECT_EQ(device.pageHeight, 480);
    EXPECT_EQ(device.charWidth, 8) << "the stock fixed font's metrics";
    EXPECT_EQ(device.brushIndex, 5);
    EXPECT_EQ(device.framePenIndex, 2);
    EXPECT_EQ(device.textColourIndex, 1);
    EXPECT_EQ(device.penWidth, 1);
    EXPECT_EQ(device.dc, nullptr);
}

TEST_F(Printing, PrinterFontAtThePrinterResolution)
{
    window.answers = {MessageAnswer::Yes, MessageAnswer::Yes};
    print();
    EXPECT_EQ(spooler.log.back(), "font -117") << "14 points at 600 dpi";
    EXPECT_EQ(count(spooler.calls, "text "), 17u);
}

TEST_F(Printing, BlackAndWhiteIgnoresEverySelection)
{
    window.answers = {MessageAnswer::Yes, MessageAnswer::No};
    buildLine(sdata[SettingsLine::fc], "fc       ", "11");
    buildLine(sdata[SettingsLine::ax], "ax       ", "1");
    print();
    const auto& calls = spooler.calls;
    ASSERT_FALSE(calls.empty());
    for (const std::string& call : calls) {
        if (call.rfind("line ", 0) == 0 || call.rfind("frame ", 0) == 0 || call.rfind("text ", 0) == 0) {
            EXPECT_NE(call.find("#000000"), std::string::npos) << call;
        }
        if (call.rfind("fill ", 0) == 0)
            ADD_FAILURE() << "no fill on a black-and-white page: " << call;
    }
    EXPECT_GT(count(calls, "line "), 1000u);
    EXPECT_EQ(device.colour, 1) << "colour returns to 1 after the print";
    EXPECT_EQ(device.textColourIndex, 1);
    EXPECT_EQ(device.framePenIndex, 2) << "restored from the saved copy";
}

TEST_F(Printing, DeclinedPrintDrawsOnTheWindow)
{
    window.answers = {MessageAnswer::No};
    print();
    EXPECT_TRUE(spooler.opened.empty());
    EXPECT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.callsStartingWith("frame ").size(), 3u);
    EXPECT_GT(window.callsStartingWith("line ").size(), 1000u);
}

TEST_F(Printing, ValueWithoutACommaIsUsedWholeAndNamesAreCut)
{
    spooler.value = std::string(150, 'p');
    print();
    ASSERT_FALSE(window.messages.empty());
    EXPECT_EQ(window.messages[0].second, std::string(99, 'p'));
}

TEST_F(Printing, NoDefaultPrinterIsSaidAndNothingIsDrawn)
{
    spooler.value = "";
    print();
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_NE(window.messages[0].second.find("No default printer"), std::string::npos);
    EXPECT_TRUE(window.callsStartingWith("line ").empty());
    EXPECT_TRUE(window.callsStartingWith("text ").empty());
    EXPECT_EQ(window.acquired, window.released);
    EXPECT_EQ(device.printing, 0);
    // The device stays usable.
    PageContext page{device, sheets, &surface, tilt, theta, false};
    composePage(page, 0);
    EXPECT_FALSE(window.callsStartingWith("line ").empty());
}

TEST_F(Printing, PrinterThatCannotBeOpenedIsNotReportedAsPrinted)
{
    spooler.openable = false;
    window.answers = {MessageAnswer::Yes, MessageAnswer::Yes};
    print();
    ASSERT_EQ(window.messages.size(), 3u);
    EXPECT_EQ(window.messages[2].first, "Print failed");
    EXPECT_EQ(device.printing, 0);
    EXPECT_EQ(device.pageWidth, 640);
    EXPECT_TRUE(window.callsStartingWith("line ").empty());
}

TEST_F(Printing, RefusedJobIsNotReportedAsPrinted)
{
    spooler.accept = false;
    window.answers = {MessageAnswer::Yes, MessageAnswer::Yes};
    print();
    ASSERT_EQ(window.messages.size(), 3u);
    EXPECT_EQ(window.messages[2].first, "Print failed");
    EXPECT_NE(window.messages[2].second.find("nothing was printed"), std::string::npos);
    EXPECT_FALSE(device.lastPrintAccepted);
    EXPECT_EQ(device.printing, 0);
    EXPECT_EQ(device.pageWidth, 640);
}

TEST_F(Printing, ParseErrorWhilePrintingShowsNoBox)
{
    buildLine(fdata[6], "f(x,y)", "(");
    window.answers = {MessageAnswer::Yes, MessageAnswer::Yes};
    print();
    for (const auto& [caption, text] : window.messages)
        EXPECT_NE(caption, "Parse error: therefore f(x,y) = 0");
    EXPECT_TRUE(device.lastPrintAccepted);
}

} // namespace
