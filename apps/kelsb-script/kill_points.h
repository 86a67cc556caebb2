// For the kill test only: KELSB_KILL_AT=POINT:N makes the process kill itself (SIGKILL, as a
// crash or a user's kill would) the Nth time it reaches POINT, in the middle of writing a file:
//   recovery-write   the new recovery file is being written (before each write and flush)
//   recovery-rename  the new recovery file is complete, not yet renamed over the old one
//   snapshot-write   the undo history's snapshot store writes
// Nothing happens without the variable.
#pragma once

#include <string>

namespace kel::script {

// Installs the point named by KELSB_KILL_AT; false with a reason when the value is malformed.
bool InstallKillPointFromEnvironment(std::string* error);

} // namespace kel::script
