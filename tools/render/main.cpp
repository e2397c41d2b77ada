// kelvo-render: draws the page that a click in the plot window draws,
// into a file, or many such pages, or prints it, without any window.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/PageFile.h"
#include "platform/SheetFileStore.h"
#include "sheets/Sheets.h"
#include "tools/render/HeadlessGui.h"
#include "tools/render/PrintHelper.h"
#include "tools/render/RenderFrames.h"
#include "tools/render/RenderOptions.h"
#include "tools/render/WebpAnimation.h"
#include "Version.h"

namespace {

constexpr int exitPageWarning = 1;
constexpr int exitFailure = 2;

// Tells on stderr what the page lacks (a warning: status 1) or why it
// was not written (status 2).
int reportPage(const std::string& path, const PageFileResult& result)
{
    if (const auto& warning = result.parseWarning)
        std::fprintf(stderr, "kelvo-render: %s\n  %s\n  %s\n", warning->caption.c_str(),
                     warning->line.c_str(), warning->diagnostic.c_str());
    if (!result.meshWarning.empty())
        std::fprintf(stderr, "kelvo-render: %s\n", result.meshWarning.c_str());
    if (!result.written) {
        std::fprintf(stderr, "kelvo-render: cannot write %s: %s\n", path.c_str(),
                     result.error.c_str());
        return exitFailure;
    }
    return result.parseWarning || result.meshRefusal != MeshRefusal::None ? exitPageWarning : 0;
}

// The page of the sheets, over the grid given with them.
PageRequest requestOf(const RenderOptions& o, const Sheets& sheets, const RenderInputs& given)
{
    return PageRequest{sheets, o.width, o.height, {}, given.grid};
}

int renderToFile(const std::string& path, const RenderOptions& o, const Sheets& sheets,
                 const RenderInputs& given)
{
    return reportPage(path, writePageFile(path, requestOf(o, sheets, given)));
}

// PNG frames: each drawn while the one before is compressed and saved.
int renderPngFrames(const RenderOptions& o, const RenderInputs& given)
{
    const auto draw = [&](const Sheets& sheets) {
        DrawnFrame frame;
        frame.result = drawPageImage(requestOf(o, sheets, given), frame.image);
        return frame;
    };
    const auto write = [](const std::string& path, DrawnFrame& frame) {
        if (frame.result.written) {
            const PageFileResult saved = writePngFile(path, frame.image);
            frame.result.written = saved.written;
            frame.result.error = saved.error;
        }
        return reportPage(path, frame.result);
    };
    return renderFramesOverlapped(*o.frames, *o.pattern, given.sheets, draw, write);
}

// Every frame into one animated picture, written once all are drawn.
int renderAnimation(const RenderOptions& o, const RenderInputs& given)
{
    WebpAnimation animation(o.width, o.height);
    const auto addFrame = [&](const std::string& path, const Sheets& sheets) {
        QImage image;
        PageFileResult result = drawPageImage(requestOf(o, sheets, given), image);
        if (result.written && !animation.add(image, result.error))
            result.written = false;
        return reportPage(path, result);
    };
    const int status = renderFrames(*o.frames, *o.pattern, given.sheets, addFrame);
    if (status >= exitFailure)
        return status;
    std::string error;
    if (!animation.write(o.output, error)) {
        std::fprintf(stderr, "kelvo-render: cannot write %s: %s\n", o.output.c_str(), error.c_str());
        return exitFailure;
    }
    return status;
}

// The page, or the frames, that -o names.
int renderPages(int argc, char** argv, const RenderOptions& options, const RenderInputs& given)
{
    const HeadlessGui gui(argc, argv);
    if (options.animated)
        return renderAnimation(options, given);
    // Overlapped PNG frames hold up to four images at once (one drawn, two
    // waiting, one written), so a page of more than a quarter of a PNG
    // page's bound goes one at a time, as a single page does.
    const std::int64_t pixels = std::int64_t{options.width} * options.height;
    if (options.frames && options.format == PageFormat::Png && pixels <= maxPngPixels / 4)
        return renderPngFrames(options, given);
    if (options.frames)
        return renderFrames(*options.frames, *options.pattern, given.sheets,
                            [&](const std::string& path, const Sheets& frame) {
                                return renderToFile(path, options, frame, given);
                            });
    return renderToFile(options.output, options, given.sheets, given);
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto options = parseRenderOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "kelvo-render: %s\n%s", error.c_str(), renderUsage);
        return exitFailure;
    }
    if (options->help) {
        std::fputs(renderUsage, stdout);
        return 0;
    }
    if (options->version) {
        std::printf("kelvo-render %s\n", programVersion);
        return 0;
    }
    const std::optional<RenderInputs> given = inputsOf(*options, error);
    if (!given) {
        std::fprintf(stderr, "kelvo-render: %s\n", error.c_str());
        return exitFailure;
    }
    if (!options->save.empty()) {
        if (const auto refusal = saveSheetFile(options->save, given->sheets, given->dataFile)) {
            std::fprintf(stderr, "kelvo-render: %s\n", refusal->c_str());
            return exitFailure;
        }
    }
    // The printing helper reads the inputs again, and tells their warning.
    if (options->print)
        return execPrintHelper(argv);
    int warning = 0;
    if (!given->dataWarning.empty()) {
        std::fprintf(stderr, "kelvo-render: %s\n", given->dataWarning.c_str());
        warning = exitPageWarning;
    }
    if (options->output.empty())
        return warning;
    return std::max(renderPages(argc, argv, *options, *given), warning);
}
