#pragma once
// Prints each benchmark's time as a ratio to a baseline measured in the same run, since
// absolute times on a shared machine are noisy.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace orvanecam::bench {

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    RatioReporter() : ConsoleReporter(OO_None) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        // With repetitions the median stands for the benchmark; otherwise its single run.
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (median || run.run_type == Run::RT_Iteration) {
                m_times[run.run_name.function_name] = run.GetAdjustedRealTime();
            }
        }
    }

    // Prints "name / baseline = ratio" for each pair; returns false if a pair was not measured.
    bool PrintRatios(const std::vector<std::pair<std::string, std::string>>& pairs) const {
        bool complete = true;
        std::printf("\nratios (lower is better):\n");
        for (const auto& [name, baseline] : pairs) {
            const auto measured = m_times.find(name);
            const auto base = m_times.find(baseline);
            if (measured == m_times.end() || base == m_times.end() || base->second <= 0) {
                complete = false;
                continue;
            }
            // Times are in each benchmark's unit; all of ours use microseconds.
            std::printf("  %-28s %8.3f ms  / %-28s %8.3f ms  = %.3f\n", name.c_str(),
                        measured->second / 1000.0, baseline.c_str(), base->second / 1000.0,
                        measured->second / base->second);
        }
        return complete;
    }

  private:
    std::map<std::string, double> m_times;
};

// Registers a benchmark the way every ratio wants it: microseconds, median of five runs.
#define ORVANECAM_RATIO_BENCHMARK(function) \
    BENCHMARK(function)                     \
        ->Unit(benchmark::kMicrosecond)     \
        ->MinTime(0.2)                      \
        ->Repetitions(5)                    \
        ->ReportAggregatesOnly(true)

// Runs the registered benchmarks and prints the ratios; the body of each benchmark main().
inline int RunWithRatios(int argc, char** argv,
                         const std::vector<std::pair<std::string, std::string>>& pairs) {
    // Interleaved repetitions spread the machine's drift over every benchmark alike.
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    std::vector<char*> args{argv[0], interleave.data()};
    for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.PrintRatios(pairs) ? 0 : 1;
}

}  // namespace orvanecam::bench
