#include "tools/render/PrintPage.h"

#include <QImage>
#include <cstdio>
#include <string>

#include "expr/SurfaceFunction.h"
#include "platform/PaintDeviceWindow.h"
#include "platform/SpoolerPrintService.h"
#include "render/ComposePage.h"

namespace {

// The answers of a user who prints: Yes to the printer, colour unless
// black and white was asked for.
struct PrintAnswers {
    bool blackAndWhite = false;
    bool finished = false;
    bool failed = false;

    PromptAnswer answer(Prompt kind, const std::string& text, const std::string& caption)
    {
        switch (kind) {
        case Prompt::PrintTo:
            std::fprintf(stderr, "kelvo-render: printing to %s\n", text.c_str());
            return PromptAnswer::Yes;
        case Prompt::Colour: return blackAndWhite ? PromptAnswer::No : PromptAnswer::Yes;
        case Prompt::PrintFinished: finished = true; return PromptAnswer::Ok;
        case Prompt::ParseWarning: return PromptAnswer::Ok;
        case Prompt::SpoolerUnreachable:
        case Prompt::NoPrinter:
        case Prompt::PrintFailed: break;
        }
        failed = true;
        std::fprintf(stderr, "kelvo-render: %s: %s\n", caption.c_str(), text.c_str());
        return isQuestion(kind) ? PromptAnswer::No : PromptAnswer::Ok;
    }
};

} // namespace

int printPage(const Sheets& sheets, bool blackAndWhite)
{
    // The window a declined print would draw into; here every print goes ahead.
    QImage image(800, 600, QImage::Format_RGB32);
    PaintDeviceWindow window(&image, 800, 600);
    PrintAnswers answers{blackAndWhite};
    window.setPromptHandler([&](Prompt kind, const std::string& text, const std::string& caption) {
        return answers.answer(kind, text, caption);
    });

    SpoolerPrintService spooler;
    SurfaceFunction surface(sheets.fdata);
    PlotDevice device(window, &spooler);
    ViewAngles view;
    PageContext page{device, sheets, &surface, view, false};
    composePage(page, PageTarget::Printer);

    if (answers.failed || !answers.finished) {
        std::fprintf(stderr, "kelvo-render: the page was not printed\n");
        return 2;
    }
    if (!surface.ok()) {
        const DataLine* line = surface.expressionLine();
        std::fprintf(stderr, "kelvo-render: %s\n  %s\n  %s\n", parseWarningCaption,
                     line != nullptr ? line->display : "", surface.parser().diagnostic().c_str());
        return 1;
    }
    return 0;
}
