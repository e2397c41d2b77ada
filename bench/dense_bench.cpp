// The heights of the dense mesh (n 200, m 400, k 10 over the default box,
// 1.6 million samples) against the native floor: a plain one-thread loop
// of exp(-(x*x+4*y*y)) over the points the renderer samples. Each
// benchmark's median is also given as a multiple of the floor's median in
// the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/DenseFloor.h"
#include "bench/FloorRatio.h"
#include "expr/SurfaceFunction.h"
#include "render/MeshHeights.h"
#include "render/MeshLattice.h"
#include "sheets/DataSheet.h"

namespace {

// The function sheet the tests of this file build their f on.
DataSheet fdata;

const MeshLattice dense(-2, 2, -2, 2, 400, 200, 10);

const Points& densePoints()
{
    static const Points points = pointsOf(dense);
    return points;
}

void BM_DenseNativeFloor(benchmark::State& state)
{
    runNativeFloor(state, densePoints());
}

// The default sheet's surface function, its centre that of the box.
SurfaceFunction& defaultSurface()
{
    static const std::unique_ptr<SurfaceFunction> surface = [] {
        fdata = defaultFunctionSheet();
        auto s = std::make_unique<SurfaceFunction>(fdata);
        s->setCentre(0, 0);
        s->parse();
        s->setParameters();
        s->setTheta(0);
        return s;
    }();
    return *surface;
}

void BM_DenseScalarHeights(benchmark::State& state)
{
    SurfaceFunction& f = defaultSurface();
    const Points& p = densePoints();
    std::vector<double> z(p.x.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < z.size(); ++i)
            z[i] = f.height(p.x[i], p.y[i]);
        benchmark::DoNotOptimize(z.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(z.size()));
}

// A theta step: every height changes, so all are computed again (the
// front once, not twice as the renderer evaluates it), on one thread or
// on all the machine's cores.
void thetaSteps(benchmark::State& state, int threads)
{
    SurfaceFunction& f = defaultSurface();
    MeshHeights heights({std::size_t{256} << 20, threads});
    const double thetas[] = {0, 10};
    int step = 0;
    for (auto _ : state) {
        f.setTheta(thetas[step++ % 2]);
        heights.prepare(f, dense);
        benchmark::DoNotOptimize(heights.front().data());
    }
    f.setTheta(0);
    state.SetItemsProcessed(state.iterations() * dense.samples());
}

void BM_DenseBatchedHeights(benchmark::State& state)
{
    thetaSteps(state, 1);
}

void BM_DenseParallelHeights(benchmark::State& state)
{
    thetaSteps(state, 0);
}

// A tilt step: the heights are kept.
void BM_DenseTiltStepHeights(benchmark::State& state)
{
    SurfaceFunction& f = defaultSurface();
    MeshHeights heights;
    heights.prepare(f, dense);
    for (auto _ : state)
        benchmark::DoNotOptimize(heights.prepare(f, dense));
}

void repeated(benchmark::internal::Benchmark* b)
{
    repeatedRuns(b, 9);
}

BENCHMARK(BM_DenseNativeFloor)->Apply(repeated);
BENCHMARK(BM_DenseScalarHeights)->Apply(repeated);
BENCHMARK(BM_DenseBatchedHeights)->Apply(repeated);
BENCHMARK(BM_DenseParallelHeights)->Apply(repeated);
BENCHMARK(BM_DenseTiltStepHeights)->Apply(repeated);


} // namespace

int main(int argc, char** argv)
{
    initializeInterleaved(argc, argv);
    FloorRatioReporter reporter("BM_DenseNativeFloor");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double one = reporter.median("BM_DenseBatchedHeights");
    const double all = reporter.median("BM_DenseParallelHeights");
    if (one > 0 && all > 0)
        std::printf("\nHeights on all %d threads against one, median: %.2f x faster\n",
                    MeshHeights().threadsFor(dense.samples()), one / all);
    benchmark::Shutdown();
    return 0;
}
