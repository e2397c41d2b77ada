// Printed pages call for call: the Print command's page as the test queue
// of tools/setup-printer prints it (cups-pdf "kelvo-pdf": A4 with margins
// of 10 points, 300 dpi, so a printable area of 2395 x 3424 dots), drawn
// into a PDF document as the spooler's job draws it, and compared with the
// kept traces of tests/traces/printed/. KELVO_WRITE_TRACES=DIR writes the
// traces there instead.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QCryptographicHash>
#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPdfWriter>
#include <memory>
#include <string>
#include <vector>

#include "device/RecordingCanvas.h"
#include "expr/SurfaceFunction.h"
#include "platform/PaintDeviceWindow.h"
#include "platform/QtCanvas.h"
#include "render/ComposePage.h"
#include "sheets/SheetLookup.h"
#include "sheets/Sheets.h"

#ifndef KELVO_PRINTED_TRACES
#error "KELVO_PRINTED_TRACES names the kept traces' folder"
#endif

namespace {

constexpr int queueResolution = 300;

// The spooler's job on the test queue, its calls recorded.
class QueueJob final : public PrintJob {
public:
    explicit QueueJob(std::vector<RecordedCall>& calls) : calls_(calls)
    {
        buffer_.open(QIODevice::WriteOnly);
        pdf_.setResolution(queueResolution);
        pdf_.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                       QMarginsF(10, 10, 10, 10), QPageLayout::Point));
        canvas_ = std::make_unique<QtCanvas>(&pdf_);
        recorder_ = std::make_unique<RecordingCanvas>(*canvas_);
    }
    Canvas& canvas() override { return *recorder_; }
    PageSize pageSize() const override
    {
        const QRect area = pdf_.pageLayout().paintRectPixels(pdf_.resolution());
        return {area.width(), area.height()};
    }
    PrintOutcome finish() override
    {
        calls_ = recorder_->calls();
        canvas_->end();
        return PrintOutcome::Spooled;
    }

private:
    std::vector<RecordedCall>& calls_;
    QBuffer buffer_;
    QPdfWriter pdf_{&buffer_};
    std::unique_ptr<QtCanvas> canvas_;
    std::unique_ptr<RecordingCanvas> recorder_;
};

class QueueService final : public PrintService {
public:
    bool reachable() override { return true; }
    std::string defaultDestination() override { return "kelvo-pdf"; }
    std::unique_ptr<PrintJob> open(const std::string&) override
    {
        return std::make_unique<QueueJob>(calls);
    }
    std::vector<RecordedCall> calls;
};

struct PrintedCase {
    const char* name;
    std::vector<std::pair<const char*, const char*>> sets;
    // Yes to "Colour ?"; without print, the page the declined print
    // draws on a 640 x 480 main window.
    bool colour = true;
    bool print = true;
};

void PrintTo(const PrintedCase& c, std::ostream* os) { *os << c.name; }

// The trace of the case's page: the printer's, or the window's for a
// declined print.
std::string printedTrace(const PrintedCase& c)
{
    Sheets sheets;
    for (const auto& [name, value] : c.sets) {
        DataLine* line = findEntryLine(sheets, name);
        buildLine(*line, line->name, value);
    }
    QImage image(640, 480, QImage::Format_RGB32);
    PaintDeviceWindow window(&image, 640, 480);
    window.setRecording(true);
    window.setPromptHandler([&](Prompt kind, const std::string&, const std::string&) {
        if (kind == Prompt::PrintTo)
            return c.print ? PromptAnswer::Yes : PromptAnswer::No;
        if (kind == Prompt::Colour)
            return c.colour ? PromptAnswer::Yes : PromptAnswer::No;
        return PromptAnswer::Ok;
    });
    QueueService queue;
    std::unique_ptr<PrinterSession> printer;
    PrinterSession::open(&queue, window, printer);
    SurfaceFunction surface(sheets.fdata);
    PlotDevice device(window);
    composePage({device, sheets, &surface, sheetAngles(sheets.sdata)}, PageTarget::Printer,
                std::move(printer));
    return trace(c.print ? queue.calls : window.recordedCalls());
}

std::string readFile(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}

void writeFile(const std::string& path, const std::string& text)
{
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path;
    file.write(text.data(), static_cast<qint64>(text.size()));
}

std::string sha256(const std::string& text)
{
    return QCryptographicHash::hash(QByteArray::fromStdString(text), QCryptographicHash::Sha256)
               .toHex()
               .toStdString() +
           "\n";
}

class PrintedPages : public ::testing::TestWithParam<PrintedCase> {};

// The small pages are kept whole, so that a difference shows; the others
// as the SHA-256 of their calls.
TEST_P(PrintedPages, AreDrawnCallForCall)
{
    const PrintedCase& c = GetParam();
    const std::string calls = printedTrace(c);
    ASSERT_FALSE(calls.empty());
    const bool whole = std::string(c.name) == "printed-defaults";
    const std::string file = std::string(c.name) + (whole ? ".calls" : ".sha256");
    const std::string kept = whole ? calls : sha256(calls);
    if (const char* out = std::getenv("KELVO_WRITE_TRACES")) {
        writeFile(std::string(out) + "/" + file, kept);
        return;
    }
    const std::string golden = readFile(KELVO_PRINTED_TRACES "/" + file);
    ASSERT_FALSE(golden.empty()) << "no kept trace " << file;
    EXPECT_TRUE(kept == golden) << file << " differs";
}

INSTANTIATE_TEST_SUITE_P(
    Queue, PrintedPages,
    ::testing::Values(
        PrintedCase{"printed-defaults", {}},
        PrintedCase{"printed-black-and-white", {{"fc", "11"}, {"ax", "1"}}, false},
        PrintedCase{"printed-frame-axes",
                    {{"f(x,y)", "sin(x*y)"}, {"fc", "16"}, {"ax", "1"}, {"tilt", "35"}, {"theta", "-40"}}},
        PrintedCase{"printed-parse-error", {{"f(x,y)", "2*-x"}}},
        PrintedCase{"printed-dense", {{"n", "200"}, {"m", "400"}, {"k", "10"}}},
        PrintedCase{"declined-print", {{"fc", "9"}}, true, false}),
    [](const ::testing::TestParamInfo<PrintedCase>& info) {
        std::string name = info.param.name;
        std::erase(name, '-');
        return name;
    });

} // namespace
