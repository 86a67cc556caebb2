// Running the measures and reporting them as this project reads them: for every measure its
// time per step at each storyboard size, how much longer it takes at the largest size than at
// the smallest, and its goal.
#pragma once

#include <string>
#include <vector>

namespace benchmark::internal {
class Benchmark;
}

namespace kel::bench {

// Runs a benchmark at every storyboard size, in milliseconds of real time per step:
// BENCHMARK(BM_Something)->Apply(AtEverySize).
void AtEverySize(benchmark::internal::Benchmark* bench);

struct Goal {
    std::string function; // the benchmark's function name
    std::string measure;  // what the table calls it
    double milliseconds;  // the most a step may take at the largest size; 0 for none
    bool flat;            // whether the largest size may take at most twice the smallest's time
    // What the table says in the goal's place of a measure without one.
    std::string without = "none: grows with what it holds";
};

// The ratio a flat measure may reach between the largest and the smallest storyboard.
inline constexpr double kFlatRatio = 2.0;

// Runs the registered benchmarks (Google Benchmark's flags apply), printing the usual report
// and then the table. With --kel_table=FILE the table's rows are appended to FILE as Markdown.
// Returns 0 when the benchmarks ran.
int RunMeasures(int argc, char** argv, const std::vector<Goal>& goals);

} // namespace kel::bench
