// Composes whole pages from fuzzer-chosen sheets, window and printer page
// sizes, printing answers and spooler results, through the recording
// canvas, and checks what every page must be: finished, every rectangle
// on the page, and the fixed set of texts whenever a page is drawn.
//
// Input: one byte of choices, the window's and the printer page's sizes
// (two bytes each), then the settings sheet's rows and, after a 0x1f, the
// function sheet's rows, one a line, as the sheet editor commits them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "device/PlotDevice.h"
#include "device/PrintService.h"
#include "expr/SurfaceFunction.h"
#include "render/ComposePage.h"
#include "sheets/PlotSettings.h"
#include "sheets/SheetCommit.h"
#include "sheets/Sheets.h"
#include "tests/FakeCanvas.h"

namespace {

// The texts of every page: five function lines, eleven settings, f(x,y).
constexpr std::size_t pageTexts = 17;

// Meshes beyond these would take the fuzzer's time without reaching new code.
constexpr int meshLimit = 96;
constexpr int stepLimit = 12;

class FuzzJob final : public PrintJob {
public:
    FuzzJob(PageSize page, PrintOutcome outcome, std::vector<RecordedCall>& calls)
        : page_(page), outcome_(outcome), calls_(calls), recorder_(fake_) {}
    Canvas& canvas() override { return recorder_; }
    PageSize pageSize() const override { return page_; }
    PrintOutcome finish() override
    {
        calls_ = recorder_.calls();
        return outcome_;
    }

private:
    PageSize page_;
    PrintOutcome outcome_;
    std::vector<RecordedCall>& calls_;
    FakeCanvas fake_{600};
    RecordingCanvas recorder_;
};

class FuzzSpooler final : public PrintService {
public:
    bool reachable() override { return running; }
    std::string defaultDestination() override { return destination; }
    std::unique_ptr<PrintJob> open(const std::string&) override
    {
        if (!openable)
            return nullptr;
        return std::make_unique<FuzzJob>(page, outcome, calls);
    }

    bool running = true;
    std::string destination = "Fuzz";
    bool openable = true;
    PrintOutcome outcome = PrintOutcome::Spooled;
    PageSize page;
    std::vector<RecordedCall> calls;
};

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size)
        : bytes_(reinterpret_cast<const char*>(data), size) {}
    std::uint8_t byte() { return next(1); }
    int size() { return 1 + static_cast<int>(next(2) % 4096); }
    std::string_view rest() const { return bytes_.substr(at_); }

private:
    std::uint32_t next(int count)
    {
        std::uint32_t value = 0;
        for (int i = 0; i < count && at_ < bytes_.size(); ++i)
            value = value << 8 | static_cast<std::uint8_t>(bytes_[at_++]);
        return value;
    }
    std::string_view bytes_;
    std::size_t at_ = 0;
};

std::vector<std::string> rowsOf(std::string_view text)
{
    std::vector<std::string> rows;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        rows.emplace_back(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    }
    return rows;
}

bool within(int value, int limit)
{
    return value >= -limit && value <= limit;
}

void check(bool holds)
{
    if (!holds)
        std::abort();
}

void checkPage(const std::vector<RecordedCall>& calls, PageSize page, bool drawn)
{
    std::size_t texts = 0;
    for (const RecordedCall& call : calls) {
        if (call.kind == CallKind::Text)
            ++texts;
        if (call.kind == CallKind::Fill || call.kind == CallKind::Frame || call.kind == CallKind::Clip)
            check(call.rect.left >= 0 && call.rect.top >= 0 && call.rect.left <= call.rect.right &&
                  call.rect.top <= call.rect.bottom && call.rect.right <= page.width &&
                  call.rect.bottom <= page.height);
    }
    check(texts == (drawn ? pageTexts : 0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input input(data, size);
    const std::uint8_t choices = input.byte();
    const bool printing = choices & 1;
    FuzzSpooler spooler;
    spooler.running = !(choices & 2);
    if (choices & 4)
        spooler.destination.clear();
    spooler.openable = !(choices & 8);
    spooler.outcome = static_cast<PrintOutcome>((choices >> 4) % 3);
    const PromptAnswer print = choices & 64 ? PromptAnswer::No : PromptAnswer::Yes;
    const PromptAnswer colour = choices & 128 ? PromptAnswer::No : PromptAnswer::Yes;
    const int width = input.size(), height = input.size();
    spooler.page = {input.size() * 2, input.size() * 2};

    Sheets sheets;
    const std::string_view text = input.rest();
    const std::size_t split = text.find('\x1f');
    commitSheetList(rowsOf(text.substr(0, split)), sheets.sdata);
    if (split != std::string_view::npos)
        commitSheetList(rowsOf(text.substr(split + 1)), sheets.fdata);
    const PlotSettings settings = readPlotSettings(sheets.sdata);
    if (!within(settings.n, meshLimit) || !within(settings.m, meshLimit) ||
        !within(settings.k, stepLimit))
        return -1;

    TestWindow window(width, height);
    window.answers = {print, colour};
    PlotDevice device(window);
    SurfaceFunction surface(sheets.fdata);
    const PageContext page{device, sheets, &surface, sheetAngles(sheets.sdata)};
    if (!printing) {
        tellPage(composePage(page, PageTarget::Screen), &window, window);
    } else {
        std::unique_ptr<PrinterSession> printer;
        if (PrinterSession::open(&spooler, window, printer) != PrinterSession::Opening::Refused)
            tellPage(composePage(page, PageTarget::Printer, std::move(printer)), &window, window);
    }

    check(!device.drawing());
    check(window.acquired == window.released);
    const bool refused = printing && (!spooler.running || spooler.destination.empty() ||
                                      (print == PromptAnswer::Yes && !spooler.openable));
    const bool onPrinter = printing && !refused && print == PromptAnswer::Yes;
    checkPage(window.calls(), {width, height}, !refused && !onPrinter);
    checkPage(spooler.calls, spooler.page, onPrinter);
    return 0;
}
