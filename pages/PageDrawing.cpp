#include "pages/PageDrawing.h"

#include "expr/SurfaceFunction.h"
#include "sheets/PlotSettings.h"

namespace {

std::string meshWarningOf(MeshRefusal refusal, const PlotSettings& s)
{
    const std::string mesh =
        "n=" + std::to_string(s.n) + " m=" + std::to_string(s.m) + " k=" + std::to_string(s.k);
    switch (refusal) {
    case MeshRefusal::None: return {};
    case MeshRefusal::Negative:
        return "the surface is not drawn: n, m and k must not be negative (" + mesh + ")";
    case MeshRefusal::TooManyColumns:
        return "the surface is not drawn: k*(n+m)+1 passes the limit of " +
               std::to_string(maxHorizonColumns) + " horizon columns (" + mesh + ")";
    case MeshRefusal::TooManySamples:
        return "the surface is not drawn: the mesh passes the limit of " +
               std::to_string(maxSurfaceSamples) + " samples (" + mesh + ")";
    }
    return {};
}

// Pages whose output would pass the memory bound are refused before any
// drawing: a PNG's image is held whole, and a PDF's page content is held
// by the PDF writer until the page ends. Empty when the page fits.
std::string pageLimitError(PageFormat format, const PageRequest& r, const PlotSettings& s)
{
    const std::int64_t pixels = std::int64_t{r.width} * r.height;
    if (format == PageFormat::Png && pixels > maxPngPixels)
        return "a PNG page holds at most " + std::to_string(maxPngPixels) +
               " pixels (16384x8192); " + std::to_string(r.width) + "x" +
               std::to_string(r.height) + " has " + std::to_string(pixels);
    // In doubles, as the renderer counts them: the products pass 64 bits.
    const double n = s.n, m = s.m, k = s.k;
    const double samples = 2 * n * m * k + 2 * k * (n + m) + (n + m) + 2;
    if (format == PageFormat::Pdf && samples > static_cast<double>(maxPdfSamples))
        return "a PDF page holds a mesh of at most " + std::to_string(maxPdfSamples) +
               " samples (n=" + std::to_string(s.n) + " m=" + std::to_string(s.m) +
               " k=" + std::to_string(s.k) + " has more); write .png, .svg or .calls instead";
    return {};
}

} // namespace

PageFileResult pageResultBefore(PageFormat format, const PageRequest& request)
{
    PageFileResult result;
    const PlotSettings settings = readPlotSettings(request.sheets.sdata);
    result.error = pageLimitError(format, request, settings);
    if (!result.error.empty())
        return result;
    result.meshRefusal = meshRefusal(settings.m, settings.n, settings.k);
    result.meshWarning = meshWarningOf(result.meshRefusal, settings);
    return result;
}

void drawPage(const PageRequest& request, DeviceWindow& window, PageFileResult& result)
{
    SurfaceFunction surface(request.sheets.fdata);
    PlotDevice device(window);
    const ViewAngles view = request.angles.value_or(sheetAngles(request.sheets.sdata));
    const PageReport report =
        composePage({device, request.sheets, &surface, view, nullptr, request.grid},
                    PageTarget::Screen);
    if (const auto& failure = report.parseFailure)
        result.parseWarning = ParseWarning{parseWarningCaption, failure->line, failure->diagnostic};
}
