// How the scale benchmark runs each command of the editor's command table as a user runs it:
// what it prepares first (a selection, a copy to paste, a split piece to copy effects from) and
// how it gives the command (a button, a menu's command, the track menu over a track's header),
// with the answers the editor asks for queued.
#pragma once

#include "bench_host.h"

#include <chrono>
#include <functional>
#include <string>

class CKelURBase;

namespace kel::bench::scale {

using Clock = std::chrono::steady_clock;

// One track short of the most a storyboard holds, so that a track can still be appended,
// inserted and pasted.
inline constexpr StoryboardSize kScaleSizes[] = {{51000, 254}, {200000, 254}};

struct Operation {
    std::string label;
    std::function<void()> prepare; // not timed
    std::function<void()> run;
    bool many; // on many containers, a track or the storyboard's settings
};

// How the user runs a command of the table, and what must be there first.
Operation OperationFor(const automation::CommandInfo& command);
Operation SelectAllDelete();

BenchHost& Host();
CKelURBase& History();
double Since(Clock::time_point start);
// An undo selects what it brought back, and a click on a selected material keeps the
// selection; a click into a gap selects nothing.
void SelectNothing();

} // namespace kel::bench::scale
