#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include "expr/SurfaceFunction.h"
#include "platform/PaintDeviceWindow.h"
#include "render/ComposePage.h"
#include "sheets/Sheets.h"

namespace {

void composeOnImage(benchmark::State& state, const char* n, const char* m, const char* k,
                    const char* f = nullptr)
{
    Sheets sheets;
    if (f != nullptr)
        buildLine(sheets.fdata[6], "f(x,y)", f);
    buildLine(sheets.sdata[SettingsLine::n], "n        ", n);
    buildLine(sheets.sdata[SettingsLine::m], "m        ", m);
    buildLine(sheets.sdata[SettingsLine::k], "k        ", k);
    QImage image(800, 600, QImage::Format_RGB32);
    PaintDeviceWindow window(&image, 800, 600);
    SurfaceFunction surface(sheets.fdata);
    PlotDevice device(window);
    const PageContext page{device, sheets, &surface, sheetAngles(sheets.sdata)};
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

// The same mesh twice: an ordinary surface, and one so steep that nearly
// every segment runs thousands of pixels beyond the viewport. Clipped
// before its pixels are stepped, the second costs a small multiple of the
// first (its visible segments cross the whole viewport).
void BM_OrdinaryPage(benchmark::State& state)
{
    composeOnImage(state, "300", "300", "2");
}
BENCHMARK(BM_OrdinaryPage)->Unit(benchmark::kMillisecond);

void BM_LongSegmentPage(benchmark::State& state)
{
    composeOnImage(state, "300", "300", "2", "20*sin(1570.8*(x+y))");
}
BENCHMARK(BM_LongSegmentPage)->Unit(benchmark::kMillisecond);

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
