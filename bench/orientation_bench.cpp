// A pointer step over the orientation grid that changes a snapped angle:
// from the mouse event to the finished page in an 800 x 600 plot window.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QMouseEvent>

#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/PopupWindow.h"

namespace {

void BM_PointerStepRedrawsThePlot(benchmark::State& state)
{
    Application app;
    app.mainWindow().commands().screen->trigger();
    app.plotWindow()->resize(800, 600);
    app.mainWindow().commands().orientation->trigger();
    PopupWindow* grid = app.orientationWindow();
    grid->resize(360, 180);
    // Two points whose theta snaps differ (-40 and -30): every step redraws.
    const QPointF points[] = {QPointF(140, 65), QPointF(151, 65)};
    int i = 0;
    for (auto _ : state) {
        const QPointF at = points[i++ % 2];
        QMouseEvent move(QEvent::MouseMove, at, grid->mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(grid, &move);
    }
    benchmark::DoNotOptimize(app.plotWindow()->picture().constBits());
}
BENCHMARK(BM_PointerStepRedrawsThePlot)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
