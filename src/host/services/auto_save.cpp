#include "host/services/auto_save.h"

#include "host/scene/scene_file.h"
#include "host/services/host_settings.h"
#include "host/services/recovery_file.h"
#include "platform/file.h"
#include "platform/safe_files.h"

#include <atomic>
#include <cerrno>
#include <string_view>
#include <sys/stat.h>

namespace kel::host {

namespace {

std::uint64_t HashBytes(const std::vector<BYTE>& bytes) {
    return KelFingerprint(bytes.data(), bytes.size());
}

// mkdir -p, the folders private to the user: recovery files are the user's work.
bool MakeFolders(const std::string& folder) {
    for (std::size_t at = 1; at <= folder.size(); ++at) {
        if (at != folder.size() && folder[at] != '/')
            continue;
        const std::string part = folder.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

unsigned NextUntitledNumber() {
    static std::atomic<unsigned> next{0};
    return ++next;
}

} // namespace

KelAutoSaver::KelAutoSaver(std::string folder, std::function<const CKelPlaySceneObj*()> scene)
    : m_folder(std::move(folder)), m_sceneSource(std::move(scene)),
      m_recoveryPath(KelUntitledRecoveryPath(m_folder, NextUntitledNumber())),
      m_worker([this] { WorkerLoop(); }) {
    KelTidyRecoveryFolder(m_folder);
    if (m_sceneSource) {
        m_listener = KelAddAutoSaveListener([this](bool enabled) {
            const CKelPlaySceneObj* current = enabled ? nullptr : m_sceneSource();
            // A playback can last minutes: what changed just before it is not left waiting.
            if (current && m_pending && !m_recoveryPath.empty())
                SaveNow(*current);
        });
    }
}

KelAutoSaver::~KelAutoSaver() {
    if (m_listener)
        KelRemoveAutoSaveListener(m_listener);
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_worker.join();
}

void KelAutoSaver::SetScenePath(const std::string& scenePath) {
    std::string recovery = scenePath.empty()
                               ? KelUntitledRecoveryPath(m_folder, NextUntitledNumber())
                               : KelRecoveryPathFor(m_folder, scenePath);
    if (recovery == m_recoveryPath) {
        m_scenePath = scenePath;
        return;
    }
    Wait();
    if (m_everSaved)
        KelDiscardRecovery(m_recoveryPath);
    m_scenePath = scenePath;
    m_recoveryPath = std::move(recovery);
    m_everSaved = false;
    m_lastHash = 0;
    m_journal.Reset();
    // What was recovered of the old name is unsaved work under the new one.
    if (m_pending)
        m_lastStart = Clock::time_point{};
}

void KelAutoSaver::NoteChange() {
    m_pending = true;
}

bool KelAutoSaver::Poll(const CKelPlaySceneObj& scene, Clock::time_point now) {
    if (!m_pending || !KelIsAutoSaveEnabled() || m_recoveryPath.empty())
        return false;
    if (m_everSaved && now - m_lastStart < kInterval)
        return false;
    {
        std::lock_guard lock(m_mutex);
        // One write at a time: the change waits for the next turn.
        if (m_busy || m_hasJob)
            return false;
    }
    Start(scene, now);
    return true;
}

bool KelAutoSaver::SaveNow(const CKelPlaySceneObj& scene) {
    if (m_pending && !m_recoveryPath.empty()) {
        Wait();
        Start(scene, Clock::now());
    }
    Wait();
    return LastError().empty();
}

void KelAutoSaver::Start(const CKelPlaySceneObj& scene, Clock::time_point now) {
    m_pending = false;
    m_lastStart = now;
    CMemFile file;
    const KelSceneFileStatus status = KelWriteScene(scene, &file);
    if (status.nResult != KEL_SCENE_OK) {
        std::lock_guard lock(m_mutex);
        m_error = "the scene could not be written: " + status.strMessage.str();
        m_pending = true; // tried again at the next turn
        return;
    }
    // An undo or a redo can leave the scene's bytes as they were and move the history: where
    // the histories stand counts as much as the document.
    const std::uint64_t hash =
        HashBytes(file.GetBuffer()) ^ (KelHistorySignature(scene) * 0x9E3779B97F4A7C15ull);
    if (m_everSaved && hash == m_lastHash)
        return;
    m_lastHash = hash;
    m_everSaved = true;
    if (m_journalFailed.exchange(false))
        m_journal.Reset();
    KelJournalBatch journal = m_journal.Collect(scene);
    const std::vector<BYTE>& bytes = file.GetBuffer();
    std::string job = KelEncodeRecovery(
        m_scenePath, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
        journal.generation);
    {
        std::lock_guard lock(m_mutex);
        m_jobPath = m_recoveryPath;
        m_jobBytes = std::move(job);
        m_jobJournal = std::move(journal);
        m_hasJob = true;
    }
    m_wake.notify_all();
}

void KelAutoSaver::WorkerLoop() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || m_hasJob; });
        if (!m_hasJob)
            return; // stopping with nothing left to write
        const std::string path = std::move(m_jobPath);
        const std::string bytes = std::move(m_jobBytes);
        const KelJournalBatch journal = std::move(m_jobJournal);
        m_hasJob = false;
        m_busy = true;
        lock.unlock();
        std::string error;
        const std::size_t slash = path.rfind('/');
        if (slash == std::string::npos || !MakeFolders(path.substr(0, slash))) {
            error = "cannot create the recovery folder of " + path;
        } else if (std::string journalError;
                   !KelWriteJournal(KelJournalPathFor(path), journal, &journalError)) {
            // The document is still worth saving; its history comes back only from a journal
            // written afresh.
            m_journalFailed = true;
            error = journalError;
            platform::ReplaceFileContents(path.c_str(), bytes, nullptr);
        } else if (platform::ReplaceFileContents(path.c_str(), bytes, &error) !=
                   platform::ReplaceStatus::ok) {
            if (error.empty())
                error = "cannot write " + path;
        }
        lock.lock();
        m_busy = false;
        ++m_saves;
        m_error = std::move(error);
        m_wake.notify_all();
    }
}

void KelAutoSaver::Wait() {
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return !m_busy && !m_hasJob; });
}

void KelAutoSaver::Discard() {
    Wait();
    m_pending = false;
    // A file this saver did not write (left by a killed session, not yet recovered) stays.
    if (m_everSaved)
        KelDiscardRecovery(m_recoveryPath);
    m_everSaved = false;
    m_lastHash = 0;
    m_journal.Reset();
}

std::uint64_t KelAutoSaver::SaveCount() const {
    std::lock_guard lock(m_mutex);
    return m_saves;
}

std::string KelAutoSaver::LastError() const {
    std::lock_guard lock(m_mutex);
    return m_error;
}

} // namespace kel::host
