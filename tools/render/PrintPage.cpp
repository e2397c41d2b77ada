#include "tools/render/PrintPage.h"

#include <QImage>
#include <cstdio>
#include <memory>
#include <string>

#include "device/PrinterSession.h"
#include "expr/SurfaceFunction.h"
#include "platform/PaintDeviceWindow.h"
#include "platform/SpoolerPrintService.h"
#include "render/ComposePage.h"

namespace {

// The answers of a user who prints: Yes to the printer, colour unless
// black and white was asked for. Notes go to stderr, by kind.
class PrintAnswers final : public Prompter {
public:
    explicit PrintAnswers(bool blackAndWhite) : blackAndWhite_(blackAndWhite) {}

    PromptAnswer ask(Prompt kind, const std::string& text, const std::string& caption) override
    {
        switch (kind) {
        case Prompt::PrintTo:
            std::fprintf(stderr, "kelvo-render: printing to %s\n", text.c_str());
            return PromptAnswer::Yes;
        case Prompt::Colour: return blackAndWhite_ ? PromptAnswer::No : PromptAnswer::Yes;
        case Prompt::PrintFinished:
        case Prompt::ParseWarning: return PromptAnswer::Ok;
        case Prompt::SpoolerUnreachable:
        case Prompt::NoPrinter:
        case Prompt::PrintFailed: break;
        }
        std::fprintf(stderr, "kelvo-render: %s: %s\n", caption.c_str(), text.c_str());
        return isQuestion(kind) ? PromptAnswer::No : PromptAnswer::Ok;
    }

private:
    bool blackAndWhite_;
};

// The page on the printer the user said Yes to; nothing when there was
// none to print on.
PageReport printOn(const Sheets& sheets, const std::shared_ptr<const HeightGrid>& grid,
                   PrintAnswers& answers)
{
    SpoolerPrintService spooler;
    std::unique_ptr<PrinterSession> printer;
    if (PrinterSession::open(&spooler, answers, printer) != PrinterSession::Opening::Printing)
        return {};
    // The window a declined print would draw into; here every print goes ahead.
    QImage image(800, 600, QImage::Format_RGB32);
    PaintDeviceWindow window(&image, 800, 600);
    SurfaceFunction surface(sheets.fdata);
    PlotDevice device(window);
    const PageReport report =
        composePage({device, sheets, &surface, sheetAngles(sheets.sdata), nullptr, grid},
                    PageTarget::Printer, std::move(printer));
    if (report.printed)
        PrinterSession::report(answers, *report.printed);
    return report;
}

} // namespace

int printPage(const Sheets& sheets, const std::shared_ptr<const HeightGrid>& grid,
              bool blackAndWhite)
{
    PrintAnswers answers(blackAndWhite);
    const PageReport report = printOn(sheets, grid, answers);
    if (report.printed != PrintOutcome::Spooled) {
        std::fprintf(stderr, "kelvo-render: the page was not printed\n");
        return 2;
    }
    if (const auto& failure = report.parseFailure) {
        std::fprintf(stderr, "kelvo-render: %s\n  %s\n  %s\n", parseWarningCaption,
                     failure->line.c_str(), failure->diagnostic.c_str());
        return 1;
    }
    return 0;
}
