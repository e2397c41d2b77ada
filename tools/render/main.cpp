// kelvo-render: draws the page that a click in the plot window draws,
// into a file, or many such pages, or prints it, without any window.
//
// A single SVG, HPGL or calls page is drawn here without Qt: its text is
// measured as Qt measures it (fonts/TextMetricsCanvas, loaded from a
// module of its own only for such a page, and only for text that earlier
// runs have not measured under the same fonts), so the page is Qt's call
// for call, and the process starts in a fraction of the time that loading
// Qt takes. Everything else (PNG and PDF pages, frames,
// saving the sheets), and a page whose text cannot be measured as Qt
// would for sure, is drawn by kelvo-render-qt, which this process becomes
// with the same arguments; printing by kelvo-print.
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include "pages/SignalCleanup.h"
#include "pages/VectorPageFile.h"
#include "tools/render/HelperPrograms.h"
#include "tools/render/PageMessages.h"
#include "tools/render/RememberedMetrics.h"
#include "tools/render/RenderOptions.h"
#include "tools/render/TextMetricsModule.h"

#if defined(__SANITIZE_ADDRESS__)
// fontconfig loses a few hundred bytes reading its configuration, once a
// process. A sanitizer build of kelvo-render, which runs with no
// environment as often as with one, keeps this out of its leak report
// itself (the same line as tests/lsan-qt.supp).
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
extern "C" const char* __lsan_default_options()
{
    return "print_suppressions=0";
}
#endif

namespace {

// Whether this process draws what the options ask for: one page in a
// format written without a picture, the sheets left unsaved.
bool drawsHere(const RenderOptions& o)
{
    return !o.print && !o.frames && o.save.empty() && !o.output.empty() &&
           isVectorFormat(o.format);
}

// The page, as Qt's application would draw it: in the environment's
// locale (numbers of ticks, the language text is shaped in), files
// removed on a signal. Abandoned, with nothing written, where its text
// cannot be measured as Qt would, or not at all (without the module).
PageFileResult drawWithoutQt(const RenderOptions& o, const RenderInputs& given)
{
    SignalCleanup::install();
    std::setlocale(LC_ALL, "");
    const std::string memo = metricsMemoPath();
    RememberedMetrics fonts(memo.empty() ? MetricsMemo{} : MetricsMemo::read(memo), [] {
        std::string error;
        return loadMeasuringCanvas(error);
    });
    PageFileResult result = writeVectorPageFile(
        o.output, o.format, PageRequest{given.sheets, o.width, o.height, {}, given.grid}, fonts,
        [&fonts] { return fonts.unproven().empty(); });
    fonts.keep(memo);
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    int status = 0;
    const auto options = optionsOrAnswer(argc, argv, status);
    if (!options)
        return status;
    std::string error;
    const bool printsOnly = options->print && options->save.empty();
    if (!drawsHere(*options) && !printsOnly)
        return execQtRenderer(argv);
    const std::optional<RenderInputs> given = inputsOf(*options, error);
    if (!given) {
        std::fprintf(stderr, "kelvo-render: %s\n", error.c_str());
        return exitFailure;
    }
    // The printing helper reads the inputs again, and tells their warning.
    if (printsOnly)
        return execPrintHelper(argv);
    const PageFileResult result = drawWithoutQt(*options, *given);
    if (result.abandoned)
        return execQtRenderer(argv);
    int warning = 0;
    if (!given->dataWarning.empty()) {
        std::fprintf(stderr, "kelvo-render: %s\n", given->dataWarning.c_str());
        warning = exitPageWarning;
    }
    return std::max(reportPage(options->output, result), warning);
}
