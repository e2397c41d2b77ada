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

#include "bench/FloorRatio.h"
#include "expr/LineEvaluator.h"
#include "expr/SurfaceFunction.h"
#include "render/MeshHeights.h"
#include "render/MeshLattice.h"
#include "sheets/DataSheet.h"

namespace {

// The function sheet the tests of this file build their f on.
DataSheet fdata;

const MeshLattice dense(-2, 2, -2, 2, 400, 200, 10);

// Every point the renderer evaluates, in its order: the front, the lines
// of constant y, the front again for the reset, the lines of constant x.
struct Points {
    std::vector<double> x, y;
};

const Points& densePoints()
{
    static const Points points = [] {
        using Family = MeshLattice::Family;
        Points p;
        auto add = [&](MeshLattice::Line line) {
            const auto count = static_cast<std::size_t>(dense.length(line.family));
            const std::size_t at = p.x.size();
            p.x.resize(at + count);
            p.y.resize(at + count);
            dense.points(line, 0, count, p.x.data() + at, p.y.data() + at);
        };
        add({Family::Front, 0});
        for (std::int64_t r = 1; r <= dense.lines(Family::ConstantY); ++r)
            add({Family::ConstantY, r});
        add({Family::Front, 0});
        for (std::int64_t q = 1; q <= dense.lines(Family::ConstantX); ++q)
            add({Family::ConstantX, q});
        return p;
    }();
    return points;
}

void BM_DenseNativeFloor(benchmark::State& state)
{
    const Points& p = densePoints();
    std::vector<double> z(p.x.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < z.size(); ++i) {
            const double x = p.x[i], y = p.y[i];
            z[i] = std::exp(-(x * x + 4 * y * y));
        }
        benchmark::DoNotOptimize(z.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(z.size()));
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
            z[i] = f.evaluate(p.x[i], p.y[i]);
        benchmark::DoNotOptimize(z.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(z.size()));
}

// A theta step: every height changes, so all are computed again (the
// front once, not twice as the renderer evaluates it).
void thetaSteps(benchmark::State& state, int threads)
{
    SurfaceFunction& f = defaultSurface();
    MeshHeights heights({std::size_t{256} << 20, threads});
    const double thetas[] = {0, 10};
    int step = 0;
    for (auto _ : state) {
        f.setTheta(thetas[step++ % 2]);
        heights.prepare(f.lineEvaluator(), dense);
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
    heights.prepare(f.lineEvaluator(), dense);
    for (auto _ : state)
        benchmark::DoNotOptimize(heights.prepare(f.lineEvaluator(), dense));
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
    benchmark::Initialize(&argc, argv);
    FloorRatioReporter reporter("BM_DenseNativeFloor");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
