// Automatic saving of the host's document: while the host's automatic saving is on
// (KelEnableAutoSave), a changed scene is written to its recovery file (host/services/
// recovery_file.h) soon after it changed, and what changed in its undo histories to the journal
// beside it (host/services/history_journal.h). Both hosts drive one saver per open scene: they tell
// it of changes and give it a turn (Poll) whenever they are idle between inputs.
//
// The scene and the new history records are turned into bytes on the caller's thread, since
// nothing else may touch the document; the bytes go to the disk on the saver's own thread, since
// flushing a file and its folder can take far longer than the serialising on a loaded machine,
// and the user's input must not wait for the disk. The journal goes first, so that a recovery
// file never names history the disk does not have.
#pragma once

#include "host/services/history_journal.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class CKelPlaySceneObj;

namespace kel::host {

class KelAutoSaver {
public:
    using Clock = std::chrono::steady_clock;
    // The longest a change waits for its save, and the shortest time between two saves. Half of
    // the two seconds a user may lose, so that a save which itself takes a while still lands
    // inside them.
    static constexpr std::chrono::milliseconds kInterval{1000};

    // `folder`: where the recovery files go (KelRecoveryFolder() for the user's).
    // `scene`, when given, tells the saver the host's current scene at any time: a change that
    // waits is then written before automatic saving pauses (for playback), rather than after it.
    explicit KelAutoSaver(std::string folder, std::function<const CKelPlaySceneObj*()> scene = {});
    // Waits for a write under way; the recovery file stays (Discard removes it).
    ~KelAutoSaver();
    KelAutoSaver(const KelAutoSaver&) = delete;
    KelAutoSaver& operator=(const KelAutoSaver&) = delete;

    // The scene file the document belongs to, "" while it was never saved. A new name moves the
    // recovery to the new file: the old one is removed.
    void SetScenePath(const std::string& scenePath);
    const std::string& ScenePath() const { return m_scenePath; }
    // The recovery file this saver writes.
    const std::string& RecoveryPath() const { return m_recoveryPath; }

    // The document changed (or may have: a change that stores alike is not written).
    void NoteChange();
    // Saves when a change waits and its time has come, and automatic saving is on. Returns
    // true when a save was started.
    bool Poll(const CKelPlaySceneObj& scene, Clock::time_point now = Clock::now());
    // Saves a waiting change at once (automatic saving on or not) and waits for the disk; false
    // when the write failed (LastError says why).
    bool SaveNow(const CKelPlaySceneObj& scene);
    // A normal close or an explicit save: nothing waits any more and the recovery file goes.
    void Discard();
    // Waits for the write under way, if any.
    void Wait();

    bool HasPendingChange() const { return m_pending; }
    // Writes finished, successful or not.
    std::uint64_t SaveCount() const;
    // Why the last write failed, "" when it did not.
    std::string LastError() const;

private:
    void Start(const CKelPlaySceneObj& scene, Clock::time_point now);
    void WorkerLoop();

    std::string m_folder;
    std::function<const CKelPlaySceneObj*()> m_sceneSource;
    int m_listener = 0;
    std::string m_scenePath;
    std::string m_recoveryPath;
    bool m_pending = false;
    bool m_everSaved = false;
    Clock::time_point m_lastStart{};
    // What was last handed to the disk, to skip a write that would change nothing.
    std::uint64_t m_lastHash = 0;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    bool m_busy = false;
    bool m_hasJob = false;
    std::string m_jobPath;
    std::string m_jobBytes;
    KelJournalBatch m_jobJournal;
    KelHistoryJournal m_journal;
    // Set by the worker when an append failed: the next save writes the journal afresh.
    std::atomic<bool> m_journalFailed{false};
    std::uint64_t m_saves = 0;
    std::string m_error;
    std::thread m_worker;
};

} // namespace kel::host
