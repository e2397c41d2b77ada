#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include "expr/SurfaceFunction.h"
#include "platform/PaintDeviceWindow.h"
#include "render/ComposePage.h"
#include "sheets/Sheets.h"

namespace {

void composeOnImage(benchmark::State& state, const char* n, const char* m, const char* k)
{
    Sheets sheets;
    buildLine(sheets.sdata[SettingsLine::n], "n        ", n);
    buildLine(sheets.sdata[SettingsLine::m], "m        ", m);
    buildLine(sheets.sdata[SettingsLine::k], "k        ", k);
    QImage image(800, 600, QImage::Format_RGB32);
    PaintDeviceWindow window(&image, 800, 600);
    SurfaceFunction surface(sheets.fdata);
    PlotDevice device(window);
    ViewAngles view;
    PageContext page{device, sheets, &surface, view, false};
    for (auto _ : state) {
        composePage(page, PageTarget::Screen);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_ComposeDefaultPage(benchmark::State& state)
{
    composeOnImage(state, "20", "40", "10");
}
BENCHMARK(BM_ComposeDefaultPage)->Unit(benchmark::kMillisecond);

void BM_ComposeDenseMesh(benchmark::State& state)
{
    composeOnImage(state, "200", "400", "10");
}
BENCHMARK(BM_ComposeDenseMesh)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
