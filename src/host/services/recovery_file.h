// Recovery files: what automatic saving leaves of a scene that was not saved, one file per open
// scene in the user's state folder, and how a host finds and loads them when it starts.
//
// A recovery file holds a short header (the process that wrote it and the scene file it belongs
// to) and then the scene exactly as a scene file holds it. It is named after its scene file
// (NAME.HASH.kelrec, the hash telling apart scenes of the same name in different folders) or,
// for a scene never saved, untitled.PID-N.kelrec.
#pragma once

#include "host/scene/play_scene.h"
#include "host/services/history_journal.h"

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace kel::host {

// $XDG_STATE_HOME/kelsbedit/recovery, else ~/.local/state/kelsbedit/recovery; "" when neither
// the variable nor a home folder is known.
std::string KelRecoveryFolder();

// The recovery file of a scene file in `folder`; "" for a scene never saved (see
// KelUntitledRecoveryPath).
std::string KelRecoveryPathFor(const std::string& folder, const std::string& scenePath);
// A recovery file of this process for a scene never saved; `n` tells apart several.
std::string KelUntitledRecoveryPath(const std::string& folder, unsigned n);

// The whole recovery file for a scene already written as scene bytes; `generation` names the
// layout of the history journal that goes with it (0: none).
std::string KelEncodeRecovery(const std::string& scenePath, std::string_view sceneBytes,
                              std::uint64_t generation = 0);
// The history journal beside a recovery file.
std::string KelJournalPathFor(const std::string& recoveryPath);

struct KelRecoveryInfo {
    std::string path;      // the recovery file
    std::string scenePath; // its scene file, "" for a scene never saved
    pid_t pid = 0;         // the process that wrote it
    std::time_t written = 0;
    // The scene file is gone, never existed or is older than the recovery: the recovery holds
    // work the scene file lacks.
    bool newerThanScene = false;
    // The header cannot be read: the file is offered anyway, and fails when loaded.
    bool damaged = false;
};

// Removes what killed processes left half-written in `folder` (the temporary files of a save
// that never finished). Finding, loading and automatic saving do it when they start.
void KelTidyRecoveryFolder(const std::string& folder);

// The recovery files in `folder` that no running process writes any more, oldest first. On
// the way, what a killed process left there half-written is removed.
std::vector<KelRecoveryInfo> KelFindRecoveries(const std::string& folder);
// The header of one file; false when it is no recovery file.
bool KelReadRecoveryInfo(const std::string& path, KelRecoveryInfo& info);

// Loads the scene of a recovery file with the undo histories its journal holds (through the
// editor's codec: the module must be loaded); `history` says how many steps came back. When the
// scene cannot be loaded the file is renamed aside (PATH.failed-N, never deleted), `setAside`
// receives the new name, and `error` says why.
std::unique_ptr<CKelPlaySceneObj> KelLoadRecovery(const std::string& path, std::string* error,
                                                  std::string* setAside = nullptr,
                                                  KelHistoryRestore* history = nullptr);
// Renames a recovery file (and its journal) aside; the new name, "" when it could not be renamed.
std::string KelSetRecoveryAside(const std::string& path);
// Removes a recovery file the user discarded, and its journal; false when it is still there.
bool KelDiscardRecovery(const std::string& path);

} // namespace kel::host
