// The undo histories beside a recovery file: an append-only journal (RECOVERY.history) of the
// storyboards' commands as plain data (host/undo/ur_records.h). Each automatic save appends the
// commands that are new since the last one, those whose done state changed (a command's data
// changes when it is undone or redone), and a small layout frame: per storyboard, which commands
// its history holds and how many are done, under a generation number that the recovery file
// names. A save costs what changed since the last one, not the whole history; once the journal
// holds more than twice what is live, the next save writes it afresh.
//
// Frames: a type byte, a 64-bit length, the payload and a 64-bit check of it. A frame cut short by
// a crash fails its check, and reading stops there.
#pragma once

#include "platform/win_types.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class CKelPlaySceneObj;

namespace kel::host {

// A 64-bit FNV-1a of the bytes: tells files, documents and frames apart (not a defence against
// anyone forging them).
std::uint64_t KelFingerprint(const void* data, std::size_t size);

// What one save writes to the journal, gathered on the document's thread.
struct KelJournalBatch {
    std::vector<BYTE> bytes;
    bool rewrite = false; // the whole journal, replacing the file, rather than an append
    std::uint64_t generation = 0;
};

class KelHistoryJournal {
public:
    KelHistoryJournal();
    // The frames for what changed in the scene's histories since the last batch and the layout
    // of every storyboard's history now.
    KelJournalBatch Collect(const CKelPlaySceneObj& scene);
    // The next batch writes everything afresh: the journal file is new, lost or cut short.
    void Reset();

private:
    struct Written {
        bool done = false;
        bool failed = false; // the codec could not write it: not tried again
        std::uint64_t bytes = 0;
    };
    std::unordered_map<std::uint64_t, Written> m_written; // by command serial
    std::uint64_t m_generation;
    std::uint64_t m_fileBytes = 0;
    bool m_fresh = true;
};

// Where the scene's histories stand (their commands and how many are done), as a number that
// changes when they do.
std::uint64_t KelHistorySignature(const CKelPlaySceneObj& scene);

// Appends the batch to the journal at `path` (or replaces it), flushed to the disk; false with
// a reason when it could not be written.
bool KelWriteJournal(const std::string& path, const KelJournalBatch& batch, std::string* error);

struct KelHistoryRestore {
    int steps = 0; // steps the histories had at the save
    int kept = 0;  // steps that came back
};

// Rebuilds the histories of `scene` as the journal at `path` had them at `generation`, through
// the editor's codec. Steps that cannot be rebuilt are left out, with every step an undo or a
// redo would have to pass them by.
KelHistoryRestore KelRestoreHistories(const std::string& path, std::uint64_t generation,
                                      CKelPlaySceneObj& scene);

} // namespace kel::host
