// A pointer step over the orientation grid that changes a snapped angle:
// from the mouse event to the finished page in an 800 x 600 plot window,
// on the default sheet and on the dense mesh (n 200, m 400, k 10: 1.6
// million evaluations of f), beside the native floor of the dense mesh: a
// plain one-thread loop of exp(-(x*x+4*y*y)) over the points the renderer
// samples. Each median is also given as a multiple of the floor's median
// in the same run.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/DenseFloor.h"
#include "bench/FloorRatio.h"
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/PopupWindow.h"
#include "render/MeshLattice.h"
#include "sheets/DataLine.h"
#include "sheets/DataSheet.h"

namespace {

// Two points whose theta snaps differ (-40 and -30), and two whose tilt
// snaps differ (25 and 15), on a 360 x 180 grid: every step redraws.
const QPointF thetaStep[] = {QPointF(140, 65), QPointF(151, 65)};
const QPointF tiltStep[] = {QPointF(140, 65), QPointF(140, 75)};

void setValue(DataLine& line, const char* value)
{
    const std::string name = line.name;
    buildLine(line, name.c_str(), value);
}

void pointerSteps(benchmark::State& state, const QPointF (&points)[2], bool dense)
{
    Application app;
    if (dense) {
        DataSheet& sdata = app.sheets().sdata;
        setValue(sdata[SettingsLine::n], "200");
        setValue(sdata[SettingsLine::m], "400");
        setValue(sdata[SettingsLine::k], "10");
    }
    app.mainWindow().commands().screen->trigger();
    app.plotWindow()->resize(800, 600);
    app.mainWindow().commands().orientation->trigger();
    PopupWindow* grid = app.orientationWindow();
    grid->resize(360, 180);
    int i = 0;
    for (auto _ : state) {
        const QPointF at = points[i++ % 2];
        QMouseEvent move(QEvent::MouseMove, at, grid->mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(grid, &move);
    }
    benchmark::DoNotOptimize(app.plotWindow()->picture().constBits());
}

void BM_PointerStepRedrawsThePlot(benchmark::State& state)
{
    pointerSteps(state, thetaStep, false);
}

void BM_PointerStepDenseTheta(benchmark::State& state)
{
    pointerSteps(state, thetaStep, true);
}

void BM_PointerStepDenseTilt(benchmark::State& state)
{
    pointerSteps(state, tiltStep, true);
}

// The floor over the dense mesh of the default box.
void BM_DenseNativeFloor(benchmark::State& state)
{
    runNativeFloor(state, pointsOf(MeshLattice(-2, 2, -2, 2, 400, 200, 10)));
}

void repeated(benchmark::internal::Benchmark* b)
{
    repeatedRuns(b, 7);
}

BENCHMARK(BM_DenseNativeFloor)->Apply(repeated);
BENCHMARK(BM_PointerStepRedrawsThePlot)->Apply(repeated);
BENCHMARK(BM_PointerStepDenseTheta)->Apply(repeated);
BENCHMARK(BM_PointerStepDenseTilt)->Apply(repeated);


} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    initializeInterleaved(argc, argv);
    FloorRatioReporter reporter("BM_DenseNativeFloor");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
