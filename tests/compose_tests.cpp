#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "device/HelpPage.h"
#include "device/PlotDevice.h"
#include "device/PrintService.h"
#include "expr/SurfaceFunction.h"
#include "render/ComposePage.h"
#include "sheets/DataSheet.h"
#include "tests/FakeCanvas.h"

namespace {

class Compose : public ::testing::Test {
protected:
    Compose() : window(800, 600), device(&window)
    {
        surface = std::make_unique<SurfaceFunction>(fdata);
    }

    void compose(int mode = 0, bool orientationOpen = false)
    {
        PageContext page{device, sheets, surface.get(), tilt, theta, orientationOpen};
        composePage(page, mode);
    }

    Sheets sheets;
    DataSheet& fdata = sheets.fdata;
    DataSheet& sdata = sheets.sdata;

    void set(std::size_t line, const char* value) { buildLine(sdata[line], sdata[line].name, value); }

    std::size_t count(const std::string& prefix, const std::string& part = "") const
    {
        std::size_t n = 0;
        for (const std::string& call : window.callsStartingWith(prefix))
            if (part.empty() || call.find(part) != std::string::npos)
                ++n;
        return n;
    }

    TestWindow window;
    PlotDevice device;
    std::unique_ptr<SurfaceFunction> surface;
    double tilt = 0, theta = 0;
};

TEST_F(Compose, DataPanelListsFiveAndElevenLines)
{
    compose();
    const auto texts = window.callsStartingWith("text ");
    ASSERT_EQ(texts.size(), 17u);
    const int lineHeight = device.lineHeight;
    int previousY = -1;
    for (std::size_t i = 0; i < 16; ++i) {
        int x, y;
        ASSERT_EQ(std::sscanf(texts[i].c_str(), "text %d %d", &x, &y), 2);
        EXPECT_EQ(x, 656 + device.charWidth);
        if (previousY >= 0) {
            EXPECT_EQ(y - previousY, i == 5 ? 2 * lineHeight : lineHeight) << i;
        }
        previousY = y;
    }
    EXPECT_NE(texts[0].find("\"a = 5\""), std::string::npos);
    EXPECT_NE(texts[5].find("\"x1        = -2\""), std::string::npos);
    EXPECT_NE(texts[15].find("\"theta     = 0\""), std::string::npos);
    EXPECT_EQ(count("text ", "#0000A0"), 17u);
}

TEST_F(Compose, CaptionIsCentredAboveTheSurfaceViewport)
{
    compose();
    const std::string last = window.callsStartingWith("text ").back();
    const std::string caption = "f(x,y) = exp(-(x*x+4*y*y))";
    EXPECT_NE(last.find("\"" + caption + "\""), std::string::npos);
    device.setViewport(5, 80, 5, 85, 1);
    const int w = static_cast<int>(caption.size()) * device.charWidth;
    const int x = 40 + static_cast<int>(50 * 6.0 + 0.5) - w / 2;
    const int y = static_cast<int>(570 - 108 * 4.8 + 0.5) - device.lineHeight / 2;
    EXPECT_EQ(last.substr(0, last.find('#')), "text " + std::to_string(x) + " " + std::to_string(y) + " ");
}

TEST_F(Compose, PageOrderAndColours)
{
    compose();
    const auto& calls = window.calls();
    ASSERT_GE(calls.size(), 20u);
    EXPECT_EQ(calls[0], "fill 0 0 800 600 #FFFFFF");
    EXPECT_EQ(calls[1], "clip 656 90 792 570");
    EXPECT_EQ(calls[2], "fill 656 90 792 570 #FFFFFF");
    EXPECT_EQ(calls[4], "frame 656 90 792 570 #00A000 1");
    EXPECT_EQ(count("frame "), 3u);
    EXPECT_GT(count("line ", "#FF00FF 1"), 1000u);
    EXPECT_EQ(count("line ") , count("line ", "#FF00FF") + count("line ", "#A000A0"));
    EXPECT_EQ(device.dc, nullptr) << "the page is finished";
    EXPECT_EQ(window.released, 1);
}

TEST_F(Compose, FrameBoxAndAxesOnlyWhenAsked)
{
    set(SettingsLine::fc, "16");
    set(SettingsLine::ax, "2");
    compose();
    EXPECT_EQ(count("line ", "#000000"), 12u);
    EXPECT_EQ(count("line ", "#0000FF"), 0u);
    window.clearCalls();
    set(SettingsLine::fc, "0");
    set(SettingsLine::ax, "1");
    compose();
    EXPECT_EQ(count("line ", "#000000"), 0u);
    EXPECT_EQ(count("line ", "#0000FF 1"), 1u);
    EXPECT_EQ(count("line ", "#00FFFF 1"), 1u);
    EXPECT_EQ(count("line ", "#00FF00 1"), 1u);
}

TEST_F(Compose, SurfacePenOutsideTheTableLeavesTheFramePen)
{
    set(SettingsLine::pc, "40");
    compose();
    EXPECT_EQ(count("line ", "#FF00FF"), 0u);
    EXPECT_GT(count("line ", "#00A000"), 1000u);
}

TEST_F(Compose, AnglesComeFromTheSheetUnlessTheOrientationWindowIsOpen)
{
    set(SettingsLine::tilt, "25");
    set(SettingsLine::theta, "-40");
    compose();
    EXPECT_EQ(tilt, 25);
    EXPECT_EQ(theta, -40);
    tilt = 60;
    theta = 10;
    compose(0, true);
    EXPECT_EQ(tilt, 60);
    EXPECT_EQ(device.projection.tiltAngle, 60);
}

TEST_F(Compose, ParseErrorWarnsOnThePlotWindowAndDrawsFlat)
{
    buildLine(fdata[6], "f(x,y)", "exp(");
    compose();
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.messages[0].first, "Parse error: therefore f(x,y) = 0");
    EXPECT_EQ(window.messages[0].second, "f(x,y) = exp(");
    EXPECT_GT(count("line "), 0u);
    EXPECT_EQ(count("line ", "#A000A0"), 0u) << "a flat surface above tilt 0 is all upper side";
}

TEST_F(Compose, DeclinedPrintDrawsThePrinterLayoutOnTheWindow)
{
    class OnePrinter final : public PrintService {
    public:
        std::string defaultPrinter() override { return "Office,winspool,Ne00:"; }
        std::unique_ptr<PrintJob> open(const std::string&) override { return nullptr; }
    } spooler;
    device.printService = &spooler;
    window.answers = {MessageAnswer::No};
    compose(1);
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.messages[0].first, "Shall we print to ");
    EXPECT_EQ(window.messages[0].second, "Office");
    EXPECT_EQ(window.calls()[1], "clip 656 90 792 450");
    EXPECT_EQ(count("frame ", " 3"), 3u);
    EXPECT_GT(count("line ", "#FF00FF 3"), 1000u);
    EXPECT_EQ(device.penWidth, 1);
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
    EXPECT_EQ(count("text "), 5u * 17u);
}

TEST(HelpPage, FifteenLinesInTwoColumns)
{
    TestWindow window(750, 490);
    drawHelpPage(window);
    const auto texts = window.callsStartingWith("text ");
    ASSERT_EQ(texts.size(), 21u) << "six headings and fifteen explanation lines";
    PlotDevice probe(&window);
    probe.beginDrawing(0);
    probe.setViewport(1, 99, 2, 98, 1);
    const int margin = probe.left + 3 * probe.charWidth;
    const int firstY = probe.top + probe.lineHeight / 3 + probe.lineHeight;
    probe.finishDrawing();
    EXPECT_EQ(texts[0], "text " + std::to_string(margin) + " " + std::to_string(firstY) +
                            " #A00000 \"Menu:\"");
    int x, y;
    std::sscanf(texts[1].c_str(), "text %d %d", &x, &y);
    EXPECT_EQ(x, margin + 14 * probe.charWidth);
    EXPECT_EQ(y, firstY);
    EXPECT_NE(texts[1].find("#0000A0 \"Open, arrange"), std::string::npos);
    std::sscanf(texts[20].c_str(), "text %d %d", &x, &y);
    EXPECT_EQ(y, firstY + (15 + 5 - 1) * probe.lineHeight);
    EXPECT_EQ(window.calls()[2], "fill 7 9 742 480 #FDFEDA");
    EXPECT_NE(std::find(window.calls().begin(), window.calls().end(),
                        "frame 7 9 742 480 #00A000 1"),
              window.calls().end());
}

} // namespace
