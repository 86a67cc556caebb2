#include "bench_report.h"

#include "storyboard_generator.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>

namespace kel::bench {

namespace {

// Keeps the time per step (milliseconds) of every run, by function and size, beside the
// console's own report: the median of repeated runs, else the single run.
class TableReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, std::map<int, double>> times;

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.error_occurred || !(single || median))
                continue;
            const double seconds =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            times[run.run_name.function_name][std::atoi(run.run_name.args.c_str())] =
                seconds * 1000.0;
        }
    }
};

std::string Milliseconds(double ms) {
    char text[32];
    std::snprintf(text, sizeof text, ms < 10 ? "%.3f" : "%.1f", ms);
    return text;
}

std::string Table(const std::map<std::string, std::map<int, double>>& times,
                  const std::vector<Goal>& goals) {
    const int smallest = kSizes[0].materials;
    const int largest = kSizes[std::size(kSizes) - 1].materials;
    std::ostringstream out;
    out << "| Measure (ms per step) |";
    for (const StoryboardSize& size : kSizes)
        out << ' ' << size.materials << " |";
    out << " " << largest / 1000 << "k/" << smallest << " | Goal at " << largest / 1000
        << "k | Met |\n|---|";
    for (std::size_t i = 0; i < std::size(kSizes); ++i)
        out << "---:|";
    out << "---:|---|---|\n";
    for (const Goal& goal : goals) {
        const auto found = times.find(goal.function);
        if (found == times.end())
            continue;
        const std::map<int, double>& bySize = found->second;
        out << "| " << goal.measure << " |";
        for (const StoryboardSize& size : kSizes) {
            const auto t = bySize.find(size.materials);
            out << ' ' << (t == bySize.end() ? std::string("-") : Milliseconds(t->second)) << " |";
        }
        const auto small = bySize.find(smallest);
        const auto large = bySize.find(largest);
        if (small == bySize.end() || large == bySize.end() || small->second <= 0) {
            out << " - | - | - |\n";
            continue;
        }
        const double ratio = large->second / small->second;
        char ratioText[32];
        std::snprintf(ratioText, sizeof ratioText, "%.2f", ratio);
        out << ' ' << ratioText << " | ";
        if (goal.milliseconds <= 0) {
            out << goal.without << " | - |\n";
            continue;
        }
        const bool met = large->second <= goal.milliseconds && (!goal.flat || ratio <= kFlatRatio);
        out << "< " << goal.milliseconds << " ms" << (goal.flat ? ", ratio <= 2" : "") << " | "
            << (met ? "yes" : "**no**") << " |\n";
    }
    return out.str();
}

} // namespace

void AtEverySize(benchmark::internal::Benchmark* bench) {
    for (const StoryboardSize& size : kSizes)
        bench->Arg(size.materials);
    bench->Unit(benchmark::kMillisecond)->UseRealTime();
}

int RunMeasures(int argc, char** argv, const std::vector<Goal>& goals) {
    std::string tablePath;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        constexpr const char* kFlag = "--kel_table=";
        if (std::strncmp(argv[i], kFlag, std::strlen(kFlag)) == 0)
            tablePath = argv[i] + std::strlen(kFlag);
        else
            args.push_back(argv[i]);
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const std::string table = Table(reporter.times, goals);
    std::cout << '\n' << table;
    if (!tablePath.empty()) {
        std::ofstream file(tablePath, std::ios::app);
        file << table;
        if (!file) {
            std::cerr << "cannot write " << tablePath << '\n';
            return 1;
        }
    }
    return 0;
}

} // namespace kel::bench
