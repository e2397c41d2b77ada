// Colour bands by height against the same page without them, on the
// dense mesh (n 200, m 400, k 10: 1.6 million samples) drawn on an
// 800 x 600 picture: the whole page, its heights computed, and the page
// redrawn over kept heights (as a change of tilt redraws it), where the
// drawing is all there is. Each banded page's median and least are given
// as a multiple of its plain twin's from the same run; the repetitions
// are interleaved, so load on the machine falls on both alike.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/FloorRatio.h"
#include "expr/SurfaceFunction.h"
#include "platform/PaintDeviceWindow.h"
#include "render/ComposePage.h"
#include "render/MeshHeights.h"
#include "sheets/Sheets.h"

namespace {

void composeDense(benchmark::State& state, const char* bands, bool keepHeights)
{
    Sheets sheets;
    buildLine(sheets.sdata[SettingsLine::n], "n        ", "200");
    buildLine(sheets.sdata[SettingsLine::m], "m        ", "400");
    buildLine(sheets.sdata[SettingsLine::k], "k        ", "10");
    buildLine(sheets.style[StyleLine::bands], "bands ", bands);
    QImage image(800, 600, QImage::Format_RGB32);
    PaintDeviceWindow window(&image, 800, 600);
    SurfaceFunction surface(sheets.fdata);
    PlotDevice device(window);
    MeshHeights heights;
    const PageContext page{device, sheets, &surface, sheetAngles(sheets.sdata),
                           keepHeights ? &heights : nullptr};
    if (keepHeights)
        composePage(page, PageTarget::Screen);
    for (auto _ : state) {
        composePage(page, PageTarget::Screen);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_DensePage(benchmark::State& state)
{
    composeDense(state, "0", false);
}
void BM_DensePageBands64(benchmark::State& state)
{
    composeDense(state, "64", false);
}
void BM_DenseRedraw(benchmark::State& state)
{
    composeDense(state, "0", true);
}
void BM_DenseRedrawBands64(benchmark::State& state)
{
    composeDense(state, "64", true);
}

BENCHMARK(BM_DensePage)->Apply([](auto* b) { repeatedRuns(b, 9); });
BENCHMARK(BM_DensePageBands64)->Apply([](auto* b) { repeatedRuns(b, 9); });
BENCHMARK(BM_DenseRedraw)->Apply([](auto* b) { repeatedRuns(b, 9); });
BENCHMARK(BM_DenseRedrawBands64)->Apply([](auto* b) { repeatedRuns(b, 9); });

// The console report, then each banded page against its plain twin.
class BandsRatioReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate)
                times_[run.run_name.function_name][run.aggregate_name] = run.GetAdjustedRealTime();
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nBands 64 against the same page without bands, median and least:\n");
        for (const std::string plain : {"BM_DensePage", "BM_DenseRedraw"}) {
            auto& a = times_[plain];
            auto& b = times_[plain + "Bands64"];
            if (a["median"] > 0 && a["min"] > 0)
                std::printf("  %-22s %8.3f ms %6.3f x   %8.3f ms %6.3f x\n", plain.c_str(),
                            b["median"], b["median"] / a["median"], b["min"], b["min"] / a["min"]);
        }
    }

private:
    std::map<std::string, std::map<std::string, double>> times_;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    initializeInterleaved(argc, argv);
    BandsRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
