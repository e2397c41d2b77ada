// kelvo-render-qt: kelvo-render's pages drawn with Qt: PNG and PDF pages,
// frames and animations, printing (through kelvo-print) and saved sheets,
// and any page kelvo-render could not measure the text of as Qt does.
// kelvo-render starts it in its place with its own arguments.
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
#include "tools/render/HelperPrograms.h"
#include "tools/render/PageMessages.h"
#include "tools/render/RenderFrames.h"
#include "tools/render/RenderOptions.h"
#include "tools/render/WebpAnimation.h"

namespace {

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
    int status = 0;
    const auto options = optionsOrAnswer(argc, argv, status);
    if (!options)
        return status;
    std::string error;
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
