// kelvo-render: draws the page that a click in the plot window draws,
// into a file, or many such pages, or prints it, without any window.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/PageFile.h"
#include "platform/SheetFileStore.h"
#include "render/MeshHeights.h"
#include "sheets/PlotSettings.h"
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

// The samples of the largest mesh among the frames: a sweep of n, m or
// k is largest at one of its ends.
double largestMesh(const FrameRun& run, const Sheets& given)
{
    double most = 0;
    for (const int frame : {0, run.count - 1}) {
        const PlotSettings s = readPlotSettings(frameSheets(given, run, frame).sdata);
        const double n = s.n, m = s.m, k = s.k;
        most = std::max(most, 2 * n * m * k + 2 * k * (n + m) + (n + m) + 2);
    }
    return most;
}

// How many frames are made at once: one a thread (OMP_NUM_THREADS, else
// every core) while a frame's mesh is drawn on one thread, one at a time
// when it is drawn on every core itself. A worker holds up to three
// images (its own and two frames waiting), so all of them together stay
// within a PNG page's bound; 0 when not even one fits it so.
int frameWorkers(const RenderOptions& o, const RenderInputs& given)
{
    const std::int64_t pixels = std::int64_t{o.width} * o.height;
    const auto fitting = static_cast<int>(std::min<std::int64_t>(maxPngPixels / (4 * pixels), 64));
    if (largestMesh(*o.frames, given.sheets) >= static_cast<double>(MeshHeights::parallelFrom))
        return std::min(fitting, 1);
    return std::min(fitting, MeshHeights::availableThreads());
}

// PNG frames on every core: a worker draws a page into its own image and
// compresses it, and this thread writes the files in order. Frames drawn
// on every core themselves are compressed here while the next is drawn.
int renderPngFrames(const RenderOptions& o, const RenderInputs& given, int workers)
{
    const bool compressAhead = largestMesh(*o.frames, given.sheets) <
                               static_cast<double>(MeshHeights::parallelFrom);
    const auto make = [&](const Sheets& sheets, QImage& scratch) {
        MadeFrame frame;
        QImage& image = compressAhead ? scratch : frame.image;
        frame.result = drawPageImage(requestOf(o, sheets, given), image);
        if (compressAhead && frame.result.written && !pngBytes(image, frame.bytes)) {
            frame.result.written = false;
            frame.result.error = "the PNG could not be made (not enough memory)";
        }
        return frame;
    };
    const auto write = [](const std::string& path, MadeFrame& frame) {
        if (frame.result.written) {
            const PageFileResult saved = frame.image.isNull() ? writeFileBytes(path, frame.bytes)
                                                              : writePngFile(path, frame.image);
            frame.result.written = saved.written;
            frame.result.error = saved.error;
        }
        return reportPage(path, frame.result);
    };
    return renderFramesInParallel(*o.frames, *o.pattern, given.sheets, workers, make, write);
}

// Every frame into one animated picture, written once all are drawn;
// the frames are drawn as PNG frames are, and added in order.
int renderAnimation(const RenderOptions& o, const RenderInputs& given, int workers)
{
    WebpAnimation animation(o.width, o.height);
    const auto draw = [&](const Sheets& sheets, QImage&) {
        MadeFrame frame;
        frame.result = drawPageImage(requestOf(o, sheets, given), frame.image);
        return frame;
    };
    const auto add = [&](const std::string& path, MadeFrame& frame) {
        if (frame.result.written && !animation.add(frame.image, frame.result.error))
            frame.result.written = false;
        return reportPage(path, frame.result);
    };
    const int status =
        renderFramesInParallel(*o.frames, *o.pattern, given.sheets, workers, draw, add);
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
    const int workers = options.frames ? frameWorkers(options, given) : 0;
    if (options.animated)
        return renderAnimation(options, given, workers);
    // A frame too large to hold a few of goes one at a time, as a single
    // page does.
    if (options.frames && options.format == PageFormat::Png && workers > 0)
        return renderPngFrames(options, given, workers);
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
