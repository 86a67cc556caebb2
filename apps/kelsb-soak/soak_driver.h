// A seeded random run of edits through the editor's real entry points: the script runner loads
// the module as a host does, and every step is a runner command (clicks, drags, pieces dragged
// in, keys, buttons, menus, host messages, the storyboard list, undo and redo of several steps
// from the history panel). After every step the runner's `check` runs (the consistency of the
// storyboard and the selection, locked tracks untouched). The run keeps a model of the history:
// the document last seen at each place of it, as far as changes that no step records (a
// track's flags) leave it known; every undo or redo that arrives at a known place must give
// back its document. Every so often all steps since the last point that no undo reaches are
// undone and redone, across such changes too: the document must then be the one before the
// undo.
//
// The run is a list of script lines, so a failure replays with kelsb-script. Runs are cut into
// episodes that each start from the sample in a fresh runner: a failure's script holds its
// episode only.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kel::soak {

struct SoakOptions {
    std::uint32_t seed = 1;
    long steps = 1000;
    // Steps before the runner starts over from the sample.
    int episodeSteps = 500;
    // Steps between two round trips through the history.
    int roundTripEvery = 40;
    // When set, the current episode's script is written here line by line, so that it is
    // there even when the process dies on a line.
    std::string logPath;
};

struct SoakFailure {
    std::uint32_t seed = 0;
    long step = 0;       // 1-based, counted over the whole run
    int episode = 0;     // 0-based
    std::string message; // what failed, as the runner said it
    // The episode's script up to the line that failed: replays the failure with kelsb-script.
    std::vector<std::string> script;
};

struct SoakStats {
    long steps = 0;
    long recorded = 0; // steps that added a step to the history
    long roundTrips = 0;
    long stepsUndone = 0;                      // by the round trips, each redone as well
    long epochs = 0;                           // points from which the round trips started over
    std::map<std::string, long> kinds;         // steps by kind
    std::map<std::string, long> recordedKinds; // steps that added to the history, by kind
    // Steps that changed the document without a step of the history, or that the round trips
    // cannot reach past (another storyboard shown, the history cleared), by kind.
    std::map<std::string, long> beyondHistory;
};

// A command-line option's value: a non-negative decimal number, nothing after it.
bool ParseOptionNumber(const char* text, long long& out);

// The command line as "--option value" pairs, each given to take with its value and whether the
// value is a number (ParseOptionNumber); take returns false for an option it does not know or a
// value out of range. -h or --help prints the usage. Nothing when every pair was taken, else the
// exit code: 0 after the help, 2 for a lone or refused option (said on standard error).
std::optional<int>
ReadOptionPairs(int argc, char** argv, const char* program, const char* usage,
                const std::function<bool(const std::string& option, const char* value, bool numeric,
                                         long long number)>& take);

// Runs the steps; nothing when every check held, else the first failure.
std::optional<SoakFailure> RunSoak(const SoakOptions& options, SoakStats* stats = nullptr);

// The failure as a person reads it: seed, episode, step, message and the script's last lines.
std::string DescribeFailure(const SoakFailure& failure, std::size_t lastLines = 40);

// The script, one command a line, with a header saying where it came from.
std::string FailureScript(const SoakFailure& failure);

} // namespace kel::soak
