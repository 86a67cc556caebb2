// kelsb-soak: a long seeded random run of edits through the editor, checked after every step
// (see soak_driver.h). Prints the steps per second; on a failure the seed, the step, the message
// and the last lines of the script, and writes the whole script to replay with kelsb-script.
//
//   kelsb-soak [--seed N] [--steps N] [--episode N] [--round-trip N] [--failure FILE]
//              [--log FILE]
//
// Exit status: 0 when every check held, 1 on a failure, 2 on a usage error.
#include "soak_driver.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

namespace {

const char* const kUsage =
    "usage: kelsb-soak [--seed N] [--steps N] [--episode N] [--round-trip N] [--failure FILE]\n"
    "                  [--log FILE]\n"
    "Runs N random steps (default 10000) of seed N (default 1) through the editor, checking\n"
    "after every step; starts over from the sample every --episode steps (default 500) and\n"
    "undoes and redoes everything every --round-trip steps (default 40). On a failure the\n"
    "episode's script goes to --failure (default soak-failure-SEED.kss); --log writes the\n"
    "running episode's script as it goes.\n";

} // namespace

int main(int argc, char** argv) {
    kel::soak::SoakOptions options;
    options.steps = 10000;
    std::string failurePath;
    const auto exitCode = kel::soak::ReadOptionPairs(
        argc, argv, "kelsb-soak", kUsage,
        [&](const std::string& option, const char* value, bool numeric, long long number) {
            if (option == "--failure")
                failurePath = value;
            else if (option == "--log")
                options.logPath = value;
            else if (option == "--seed" && numeric && number <= 0xFFFFFFFFLL)
                options.seed = static_cast<std::uint32_t>(number);
            else if (option == "--steps" && numeric)
                options.steps = static_cast<long>(number);
            else if (option == "--episode" && numeric && number > 0 && number < 1000000000)
                options.episodeSteps = static_cast<int>(number);
            else if (option == "--round-trip" && numeric && number > 0 && number < 1000000000)
                options.roundTripEvery = static_cast<int>(number);
            else
                return false;
            return true;
        });
    if (exitCode)
        return *exitCode;
    if (failurePath.empty())
        failurePath = "soak-failure-" + std::to_string(options.seed) + ".kss";

    kel::soak::SoakStats stats;
    const auto start = std::chrono::steady_clock::now();
    const std::optional<kel::soak::SoakFailure> failure = kel::soak::RunSoak(options, &stats);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::cout << "seed " << options.seed << ": " << stats.steps << " steps in " << seconds << " s, "
              << static_cast<long>(seconds > 0 ? stats.steps / seconds : 0) << " steps/s; "
              << stats.recorded << " recorded in the history; " << stats.roundTrips
              << " round trips undid and redid " << stats.stepsUndone << " steps; " << stats.epochs
              << " starting points\n";
    for (const auto& [kind, count] : stats.kinds) {
        const auto beyond = stats.beyondHistory.find(kind);
        std::cout << "  " << kind << ": " << count;
        if (const auto recorded = stats.recordedKinds.find(kind);
            recorded != stats.recordedKinds.end())
            std::cout << ", " << recorded->second << " recorded";
        if (beyond != stats.beyondHistory.end())
            std::cout << " (" << beyond->second << " beyond the history)";
        std::cout << '\n';
    }
    if (!failure)
        return 0;
    std::cout << kel::soak::DescribeFailure(*failure);
    std::ofstream(failurePath) << kel::soak::FailureScript(*failure);
    std::cout << "the episode's script: " << failurePath << '\n';
    return 1;
}
