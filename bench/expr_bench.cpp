#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "expr/ExprParser.h"
#include "expr/SurfaceFunction.h"
#include "sheets/DataSheet.h"

namespace {

// The 41 x 21 grid over the default box.
std::vector<std::pair<double, double>> gridPoints()
{
    std::vector<std::pair<double, double>> points;
    for (int i = 0; i <= 40; ++i)
        for (int j = 0; j <= 20; ++j)
            points.emplace_back(-2.0 + 0.1 * i, -2.0 + 0.2 * j);
    return points;
}

void BM_NativeDefaultF(benchmark::State& state)
{
    const auto points = gridPoints();
    auto f = [](double x, double y) { return std::exp(-(x * x + 4 * y * y)); };
    for (auto _ : state) {
        for (const auto& [x, y] : points) {
            double x0 = x, y0 = y;
            benchmark::DoNotOptimize(x0);
            benchmark::DoNotOptimize(y0);
            benchmark::DoNotOptimize(f(x0, y0));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(points.size()));
}
BENCHMARK(BM_NativeDefaultF);

void BM_SurfaceFunctionDefaultF(benchmark::State& state)
{
    const DataSheet fdata = defaultFunctionSheet();
    const auto points = gridPoints();
    SurfaceFunction surface(fdata);
    surface.parse();
    surface.setParameters();
    surface.setTheta(0);
    for (auto _ : state) {
        for (const auto& [x, y] : points)
            benchmark::DoNotOptimize(surface.height(x, y));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(points.size()));
}
BENCHMARK(BM_SurfaceFunctionDefaultF);

// The same points as one block after another, as the renderer asks.
void BM_SurfaceFunctionDefaultFBlocks(benchmark::State& state)
{
    const DataSheet fdata = defaultFunctionSheet();
    const auto points = gridPoints();
    std::vector<double> x, y, z(points.size());
    for (const auto& [px, py] : points) {
        x.push_back(px);
        y.push_back(py);
    }
    SurfaceFunction surface(fdata);
    surface.parse();
    surface.setParameters();
    surface.setTheta(0);
    for (auto _ : state) {
        surface.heights(x, y, z);
        benchmark::DoNotOptimize(z.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(points.size()));
}
BENCHMARK(BM_SurfaceFunctionDefaultFBlocks);

void BM_ParseDefaultF(benchmark::State& state)
{
    ExprParser parser;
    for (auto _ : state)
        benchmark::DoNotOptimize(parser.parse("exp(-(x*x+4*y*y))"));
}
BENCHMARK(BM_ParseDefaultF);

void BM_ParseLongExpression(benchmark::State& state)
{
    ExprParser parser;
    const char* text = "a*sin(x*b)*cos(y*c)+d*exp(-(x*x+y*y)/e)+|x-y|^0.5+log(1+x*x)";
    for (auto _ : state)
        benchmark::DoNotOptimize(parser.parse(text));
}
BENCHMARK(BM_ParseLongExpression);

} // namespace
