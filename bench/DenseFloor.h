#pragma once
// The native floor of the dense benchmarks: a plain one-thread loop of
// the default f over every point the renderer evaluates on a mesh.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "render/MeshLattice.h"
#include "render/VectorRegisters.h"

// Every point the renderer evaluates, in its order: the front, the lines
// of constant y, the front again for the reset, the lines of constant x.
struct Points {
    std::vector<double> x, y;
};

inline Points pointsOf(const MeshLattice& mesh)
{
    using Family = MeshLattice::Family;
    Points p;
    auto add = [&](MeshLattice::Line line) {
        const auto count = static_cast<std::size_t>(mesh.length(line.family));
        const std::size_t at = p.x.size();
        p.x.resize(at + count);
        p.y.resize(at + count);
        mesh.points(line, 0, count, p.x.data() + at, p.y.data() + at);
    };
    add({Family::Front, 0});
    for (std::int64_t r = 1; r <= mesh.lines(Family::ConstantY); ++r)
        add({Family::ConstantY, r});
    add({Family::Front, 0});
    for (std::int64_t q = 1; q <= mesh.lines(Family::ConstantX); ++q)
        add({Family::ConstantX, q});
    return p;
}

// With the vector registers cleared first: in a process that has drawn
// with Qt, exp would otherwise take 25 times as long.
inline void runNativeFloor(benchmark::State& state, const Points& p)
{
    std::vector<double> z(p.x.size());
    for (auto _ : state) {
        clearUpperVectorRegisters();
        for (std::size_t i = 0; i < z.size(); ++i) {
            const double x = p.x[i], y = p.y[i];
            z[i] = std::exp(-(x * x + 4 * y * y));
        }
        benchmark::DoNotOptimize(z.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(z.size()));
}
