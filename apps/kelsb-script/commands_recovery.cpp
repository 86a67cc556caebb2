// Automatic saving and recovery, as a host does them: the runner tells its saver of every line
// that may have changed the document and gives it a turn after each line; `recover` loads what a
// killed session left, as the studio's Recover does.
#include "runner.h"

#include "host/scene/play_scene.h"
#include "host/services/auto_save.h"
#include "host/services/recovery_file.h"
#include "host/undo/ur_manager.h"

#include <chrono>
#include <set>
#include <sys/stat.h>
#include <thread>

namespace kel::script {

namespace {

bool IsRecoveryFile(const std::string& path) {
    constexpr std::string_view extension = ".kelrec";
    return path.size() > extension.size() &&
           path.compare(path.size() - extension.size(), extension.size(), extension) == 0;
}

bool FileExists(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0;
}

} // namespace

void Runner::AutoSave(const ScriptLine& line) {
    CheckArity(line, 1, 1, "autosave on|off");
    if (line.words[1] == "on") {
        if (!m_saver) {
            const std::string folder = kel::host::KelRecoveryFolder();
            if (folder.empty())
                throw CommandError("no state folder for recovery files: set HOME or "
                                   "XDG_STATE_HOME");
            m_saver = std::make_unique<kel::host::KelAutoSaver>(
                folder, [this] { return static_cast<const CKelPlaySceneObj*>(m_scene.get()); });
            m_saver->SetScenePath(m_scenePath);
        }
    } else if (line.words[1] == "off") {
        if (m_saver) {
            m_saver->Discard();
            m_saver.reset();
        }
    } else {
        throw CommandError("usage: autosave on|off");
    }
}

void Runner::Idle(const ScriptLine& line) {
    CheckArity(line, 1, 1, "idle MILLISECONDS");
    const auto until =
        std::chrono::steady_clock::now() +
        std::chrono::milliseconds(ParseInteger(line.words[1], "MILLISECONDS", 0, 600000));
    // An idle host's timer: the saver gets a turn a few times a second.
    while (std::chrono::steady_clock::now() < until) {
        if (m_saver)
            m_saver->Poll(Scene());
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (m_saver)
        m_saver->Wait();
}

void Runner::Recover(const ScriptLine& line) {
    CheckArity(line, 1, 1, "recover SCENE|RECOVERY-FILE");
    const std::string& scene = line.words[1];
    const std::string folder = kel::host::KelRecoveryFolder();
    // As a host starts: what killed sessions left half-written goes, and starting this
    // process's snapshot store clears what they left in theirs.
    kel::host::KelTidyRecoveryFolder(folder);
    KelGetUniqueURFileName();
    const std::string path =
        IsRecoveryFile(scene) ? scene : kel::host::KelRecoveryPathFor(folder, scene);
    Json found = Json::MakeObject();
    found.Set("scene", Json(scene));
    found.Set("file", Json(path));
    if (path.empty() || !FileExists(path)) {
        found.Set("result", Json("none"));
        m_recovery = std::move(found);
        throw CommandError("there is no recovery of " + scene);
    }
    kel::host::KelRecoveryInfo info;
    const bool known = kel::host::KelReadRecoveryInfo(path, info);
    // The editor rebuilds the history's commands: loaded as a host has it when it recovers.
    Module();
    std::string error;
    std::string aside;
    kel::host::KelHistoryRestore history;
    std::unique_ptr<CKelPlaySceneObj> recovered =
        kel::host::KelLoadRecovery(path, &error, &aside, &history);
    if (!recovered) {
        found.Set("result", Json("failed"));
        found.Set("error", Json(error));
        found.Set("setAside", Json(aside));
        m_recovery = std::move(found);
        throw CommandError(error);
    }
    found.Set("result", Json("recovered"));
    found.Set("sceneFile", Json(known ? info.scenePath : std::string()));
    found.Set("newerThanScene", Json(known && info.newerThanScene));
    // How many undo steps came back of those the histories had.
    found.Set("historySteps", Json(history.steps));
    found.Set("historyKept", Json(history.kept));
    m_recovery = std::move(found);
    m_locked.reset();
    ReplaceScene(std::move(recovered));
    m_scenePath =
        known && !info.scenePath.empty() ? info.scenePath : (IsRecoveryFile(scene) ? "" : scene);
    if (m_saver) {
        m_saver->SetScenePath(m_scenePath);
        // The recovered document is not its scene file: it is unsaved work of this session now.
        m_saver->NoteChange();
    }
}

void Runner::AfterLine(const ScriptLine& line) {
    if (!m_saver)
        return;
    // Lines that only look change nothing a save would keep, and an explicit save has just
    // kept everything: noting it as a change would have the saver write the saved work again,
    // a recovery file of a document that needs none.
    static const std::set<std::string> lookOnly = {"dump",  "expect", "check",    "keep", "same",
                                                   "paint", "idle",   "autosave", "save"};
    if (lookOnly.count(line.words[0]) == 0)
        m_saver->NoteChange();
    m_saver->Poll(Scene());
}

void Runner::SceneFileChanged(const std::string& path) {
    if (m_saver) {
        // An explicit save keeps the work; opening another scene closes this one normally.
        m_saver->Discard();
        m_saver->SetScenePath(path);
    }
    m_scenePath = path;
}

Json Runner::BuildRecoveryState() const {
    Json state = Json::MakeObject();
    state.Set("autosave", Json(m_saver != nullptr));
    state.Set("scene", Json(m_scenePath));
    state.Set("file", Json(m_saver ? m_saver->RecoveryPath() : std::string()));
    state.Set("saves", Json(static_cast<long long>(m_saver ? m_saver->SaveCount() : 0)));
    state.Set("error", Json(m_saver ? m_saver->LastError() : std::string()));
    // What a starting host would offer: the files no running process writes.
    Json offered = Json::MakeArray();
    for (const kel::host::KelRecoveryInfo& info :
         kel::host::KelFindRecoveries(kel::host::KelRecoveryFolder())) {
        Json entry = Json::MakeObject();
        entry.Set("file", Json(info.path));
        entry.Set("scene", Json(info.scenePath));
        entry.Set("newerThanScene", Json(info.newerThanScene));
        entry.Set("damaged", Json(info.damaged));
        offered.Push(std::move(entry));
    }
    state.Set("found", std::move(offered));
    state.Set("last", m_recovery);
    return state;
}

} // namespace kel::script
