// The kill test: sessions of random edits (the soak's steps) with automatic saving on, each
// killed with SIGKILL at a random moment, at a random time or in the middle of writing its
// recovery file or an undo snapshot; after each kill a new process recovers the scene and checks
//   - the recovery loads and passes the consistency check,
//   - it is a document the session had no more than two seconds before the kill,
//   - undoing the recovered history and redoing it gives documents the session had and then the
//     recovered one, byte for byte,
//   - nothing of the killed process (a half-written file, its snapshot folder) is left.
// The recovered document is saved as the scene, so each session goes on from the last one.
//
// Every process is forked from the driver, which itself loads nothing: the sessions and the
// recoveries each run a runner of their own, as separate hosts would.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace kel::soak {

struct CrashOptions {
    std::uint32_t seed = 1;
    int kills = 10;
    // The longest a session runs before it is killed, in milliseconds.
    int longestSessionMs = 3000;
    // Where the scene, the state folder and the sessions' temporary folder go; a fresh folder
    // is made (and removed at the end) when empty.
    std::string workFolder;
};

struct CrashStats {
    int kills = 0;
    std::map<std::string, int> killedAt; // how the session died: "timer", "recovery-write", ...
    int recovered = 0;                   // a recovery file was found and loaded
    int nothingToRecover = 0;            // killed before its first save: the scene file stands
    long historySteps = 0;               // undo steps that came back, over every recovery
    long historyStepsLost = 0;           // undo steps the sessions had that did not
    double oldestRecoveredSeconds = 0;   // how long before its kill the oldest recovery was left
};

// Runs the kills; nothing when every check held, else what failed.
std::optional<std::string> RunCrashTest(const CrashOptions& options, CrashStats& stats);

} // namespace kel::soak
