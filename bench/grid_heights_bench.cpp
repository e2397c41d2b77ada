// The heights of a 1000 x 1000 grid at the points of the mesh that draws
// it (n 999, m 999, k 1: every sample a node at theta 0), against the
// native floor, a plain one-thread loop of exp(-(x*x+4*y*y)) over the
// same points; beside them, the dense formula's theta step over that mesh
// and the grid's own theta step (f(x,y) = z), as a page computes them,
// and that of a grid small enough to stay in the cache throughout.
// Each median is also given as a multiple of the floor's in the same run.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <memory>
#include <vector>

#include "bench/DenseFloor.h"
#include "bench/FloorRatio.h"
#include "expr/Program.h"
#include "expr/SurfaceFunction.h"
#include "grid/GridReader.h"
#include "grid/GridSurface.h"
#include "render/MeshHeights.h"
#include "render/MeshLattice.h"
#include "sheets/DataLine.h"
#include "sheets/DataSheet.h"

namespace {

constexpr int nodes = 1000;
const MeshLattice mesh(-2, 2, -2, 2, nodes - 1, nodes - 1, 1);

const Points& meshPoints()
{
    static const Points points = pointsOf(mesh);
    return points;
}

// The same points turned by theta about the box's centre, as f(x,y)
// turns them before it asks the grid for z.
const Points& turnedPoints(double degrees)
{
    static const Points points = [degrees] {
        Points p = meshPoints();
        const double r = degrees * 0.017453292519943295, s = std::sin(r), c = std::cos(r);
        for (std::size_t i = 0; i < p.x.size(); ++i) {
            const double x = p.x[i], y = p.y[i];
            p.x[i] = x * c - y * s;
            p.y[i] = x * s + y * c;
        }
        return p;
    }();
    return points;
}

// Read as a file is, and so held as a read grid is.
GridSurface gridOf(int count)
{
    std::string text;
    char number[32];
    for (int i = 0; i < count; ++i)
        for (int j = 0; j < count; ++j) {
            const double z = std::sin(0.01 * i) * std::cos(0.013 * j);
            std::snprintf(number, sizeof number, "%.17g%c", z, j + 1 < count ? ',' : '\n');
            text += number;
        }
    std::istringstream in(text);
    return GridSurface(readGrid(in, "bench.csv").grid, -2, 2, -2, 2);
}

const GridSurface& surface()
{
    static const GridSurface grid = gridOf(nodes);
    return grid;
}

// 40 x 40 nodes over the same box: what the same steps cost with every
// node in the first-level cache.
const GridSurface& cachedSurface()
{
    static const GridSurface grid = gridOf(40);
    return grid;
}

void BM_DenseNativeFloor(benchmark::State& state)
{
    runNativeFloor(state, meshPoints());
}

// By blocks, as a line evaluator asks for them.
void gridHeights(benchmark::State& state, const Points& p)
{
    const GridSurface& grid = surface();
    std::vector<double> z(p.x.size());
    const std::size_t block = Program::blockSize;
    for (auto _ : state) {
        for (std::size_t at = 0; at < z.size(); at += block) {
            const std::size_t count = std::min(block, z.size() - at);
            grid.heights({p.x.data() + at, count}, {p.y.data() + at, count}, {z.data() + at, count});
        }
        benchmark::DoNotOptimize(z.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(z.size()));
}

void BM_GridHeightsAtTheNodes(benchmark::State& state)
{
    gridHeights(state, meshPoints());
}

// A theta step: every point lands inside a cell, lines cross cells.
void BM_GridHeightsTurned(benchmark::State& state)
{
    gridHeights(state, turnedPoints(10));
}

DataSheet fdata = defaultFunctionSheet();

// The mesh's heights of f, on one thread, at one theta and the other in
// turn.
void thetaSteps(benchmark::State& state, SurfaceFunction& f, double first, double second)
{
    MeshHeights heights({std::size_t{256} << 20, 1});
    const double thetas[] = {first, second};
    int step = 0;
    for (auto _ : state) {
        f.setTheta(thetas[step++ % 2]);
        heights.prepare(f, mesh);
        benchmark::DoNotOptimize(heights.front().data());
    }
    state.SetItemsProcessed(state.iterations() * mesh.samples());
}

// The default formula's theta step over the same mesh, on one thread.
void BM_DenseFormulaThetaStep(benchmark::State& state)
{
    SurfaceFunction f(fdata);
    f.setCentre(0, 0);
    f.parse();
    f.setParameters();
    thetaSteps(state, f, 0, 10);
}

// A theta step over the grid as a page takes it: f(x,y) = z, the mesh's
// points turned by theta (10 and 20 degrees in turn, so that every point
// falls inside a cell), on one thread.
void gridThetaSteps(benchmark::State& state, const GridSurface& grid)
{
    DataSheet sheet = defaultFunctionSheet();
    buildLine(sheet[6], "f(x,y)", "z");
    SurfaceFunction f(sheet);
    f.setCentre(0, 0);
    f.setHeightField(std::make_shared<GridSurface>(grid));
    f.parse();
    f.setParameters();
    thetaSteps(state, f, 10, 20);
}

void BM_GridThetaStep(benchmark::State& state)
{
    gridThetaSteps(state, surface());
}

void BM_CachedGridThetaStep(benchmark::State& state)
{
    gridThetaSteps(state, cachedSurface());
}

void repeated(benchmark::internal::Benchmark* b)
{
    repeatedRuns(b, 9);
}

BENCHMARK(BM_DenseNativeFloor)->Apply(repeated);
BENCHMARK(BM_GridHeightsAtTheNodes)->Apply(repeated);
BENCHMARK(BM_GridHeightsTurned)->Apply(repeated);
BENCHMARK(BM_DenseFormulaThetaStep)->Apply(repeated);
BENCHMARK(BM_GridThetaStep)->Apply(repeated);
BENCHMARK(BM_CachedGridThetaStep)->Apply(repeated);

} // namespace

int main(int argc, char** argv)
{
    initializeInterleaved(argc, argv);
    FloorRatioReporter reporter("BM_DenseNativeFloor");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
