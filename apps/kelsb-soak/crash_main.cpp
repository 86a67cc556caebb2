// kelsb-crash: the kill test (see crash_driver.h). Prints what the kills hit and how old the
// oldest recovery was; on a failure the seed, the kill and what failed.
//
//   kelsb-crash [--seed N] [--kills N] [--longest MS] [--work FOLDER]
//
// Exit status: 0 when every check held, 1 on a failure, 2 on a usage error.
#include "crash_driver.h"
#include "soak_driver.h"

#include <cerrno>
#include <cstdlib>
#include <iostream>
#include <string>

namespace {

const char* const kUsage =
    "usage: kelsb-crash [--seed N] [--kills N] [--longest MS] [--work FOLDER]\n"
    "Runs N sessions of random edits of seed N (default 1) with automatic saving on, kills each\n"
    "with SIGKILL (at a random time up to --longest MS, default 3000, or in the middle of a\n"
    "write), recovers in a new process and checks what came back. --work keeps the scene and\n"
    "the state folder there (default: a temporary folder, removed at the end).\n";

} // namespace

int main(int argc, char** argv) {
    kel::soak::CrashOptions options;
    const auto exitCode = kel::soak::ReadOptionPairs(
        argc, argv, "kelsb-crash", kUsage,
        [&](const std::string& option, const char* value, bool numeric, long long number) {
            if (option == "--work")
                options.workFolder = value;
            else if (option == "--seed" && numeric && number <= 0xFFFFFFFFLL)
                options.seed = static_cast<std::uint32_t>(number);
            else if (option == "--kills" && numeric && number < 1000000)
                options.kills = static_cast<int>(number);
            else if (option == "--longest" && numeric && number >= 100 && number <= 600000)
                options.longestSessionMs = static_cast<int>(number);
            else
                return false;
            return true;
        });
    if (exitCode)
        return *exitCode;
    kel::soak::CrashStats stats;
    const std::optional<std::string> failure = kel::soak::RunCrashTest(options, stats);
    std::cout << "crash: seed " << options.seed << ", " << stats.kills << " kills (";
    const char* separator = "";
    for (const auto& [where, count] : stats.killedAt) {
        std::cout << separator << where << ' ' << count;
        separator = ", ";
    }
    std::cout << "); " << stats.recovered << " recovered, " << stats.nothingToRecover
              << " before their first save; " << stats.historySteps
              << " undo steps came back and were undone, " << stats.historyStepsLost
              << " history steps lost; oldest recovery " << stats.oldestRecoveredSeconds
              << " s before its kill\n";
    if (failure) {
        std::cerr << "kelsb-crash: " << *failure << '\n';
        return 1;
    }
    return 0;
}
