#pragma once
// What the dense benchmarks share: repeated real-time runs with the least
// beside the median, and a report of each against the native floor.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

// Real time, as the user waits it; repeated, with the least of the
// repetitions beside the median, as other work on the machine only ever
// adds time.
inline void repeatedRuns(benchmark::internal::Benchmark* b, int repetitions)
{
    b->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(repetitions)->ComputeStatistics(
        "min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
}

// Google Benchmark's start, with its runs interleaved at random unless
// the command line says otherwise: the load of a shared machine drifts,
// and benchmarks run one after another would each meet another load.
inline void initializeInterleaved(int argc, char** argv)
{
    static std::vector<char*> args;
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.assign(argv, argv + argc);
    args.insert(args.begin() + (argc > 0 ? 1 : 0), interleave);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
}

// The console report, then each median and least as a multiple of those
// of the benchmark named as the floor.
class FloorRatioReporter final : public benchmark::ConsoleReporter {
public:
    explicit FloorRatioReporter(std::string floor) : floor_(std::move(floor)) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate)
                times_[run.run_name.function_name][run.aggregate_name] = run.GetAdjustedRealTime();
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const auto floor = times_.find(floor_);
        if (floor == times_.end() || floor->second["median"] <= 0 || floor->second["min"] <= 0)
            return;
        std::printf("\nReal time against the native floor, median and least:\n");
        for (auto& [name, time] : times_)
            std::printf("  %-30s %8.3f ms %6.3f x floor   %8.3f ms %6.3f x floor\n", name.c_str(),
                        time["median"], time["median"] / floor->second["median"], time["min"],
                        time["min"] / floor->second["min"]);
    }

    // The median real time of a benchmark in ms, 0 when it did not run.
    double median(const std::string& name) const
    {
        const auto found = times_.find(name);
        return found == times_.end() ? 0.0 : found->second.at("median");
    }

private:
    std::string floor_;
    std::map<std::string, std::map<std::string, double>> times_;
};
