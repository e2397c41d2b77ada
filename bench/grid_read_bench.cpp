// Reading a 2000 x 2000 matrix of heights as CSV (about 40 MB, written
// once to a temporary file) against a plain std::from_chars loop over the
// same bytes, already in memory. Each median is also given as a multiple
// of the loop's in the same run.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "bench/FloorRatio.h"
#include "grid/GridReader.h"

namespace {

constexpr int size = 2000;

const std::filesystem::path& csvFile()
{
    static const std::filesystem::path path = [] {
        const auto p = std::filesystem::temp_directory_path() / "kelvo-grid-bench.csv";
        std::ofstream out(p, std::ios::binary);
        char number[32];
        for (int i = 0; i < size; ++i)
            for (int j = 0; j < size; ++j) {
                const double z = std::sin(0.01 * i) * std::cos(0.013 * j) * 100;
                const int n = std::snprintf(number, sizeof number, "%.6f%c", z,
                                            j + 1 < size ? ',' : '\n');
                out.write(number, n);
            }
        return p;
    }();
    return path;
}

const std::string& csvBytes()
{
    static const std::string bytes = [] {
        std::ifstream in(csvFile(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    return bytes;
}

void BM_FromCharsFloor(benchmark::State& state)
{
    const std::string& text = csvBytes();
    for (auto _ : state) {
        const char* p = text.data();
        const char* end = p + text.size();
        double sum = 0, z = 0;
        while (p < end) {
            p = std::from_chars(p, end, z).ptr + 1;  // the number, then its separator
            sum += z;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

void BM_ReadGridFile(benchmark::State& state)
{
    csvBytes();
    for (auto _ : state) {
        const GridRead r = readGridFile(csvFile());
        if (!r)
            state.SkipWithError(r.error.c_str());
        benchmark::DoNotOptimize(r.grid.get());
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(csvFile())));
}

void repeated(benchmark::internal::Benchmark* b)
{
    repeatedRuns(b, 7);
}

BENCHMARK(BM_FromCharsFloor)->Apply(repeated);
BENCHMARK(BM_ReadGridFile)->Apply(repeated);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    FloorRatioReporter reporter("BM_FromCharsFloor");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::filesystem::remove(csvFile());
    return 0;
}
