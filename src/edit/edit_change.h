// Changing the storyboard without a window: the container and track lists by position, the
// piece copies that travel with stored containers, and moving and trimming materials with a
// journal that can put them back.
//
// The storyboard's container list is changed only through these functions (and the model's
// own operations), so that whatever the model keeps in step with the list is kept in one place.
#pragma once

#include "platform/win_types.h"

#include <memory>
#include <unordered_set>
#include <vector>

class CObList;
class CObject;
class CKelPlaySceneObj;
class CKelSBBodyObj;
class CKelSBContainerObj;
class CKelSBContentBaseObj;
class CKelSBTrackObj;

namespace kel::edit {

// ---- The container list. Track content lists are left as they are: rebuild them
// (ResetAllTrackContentList) before anything reads them again.

// Inserts the object before the one now at nIndex, or appends it when the list is shorter.
void InsertAtIndex(CObList& list, CObject* pObject, int nIndex);
// The same for a container of the storyboard, which takes ownership.
void InsertContainerAt(CKelSBBodyObj& body, int nIndex,
                       std::unique_ptr<CKelSBContainerObj> pContainer);
// Takes the container at nIndex out of the list and hands it over; null when there is none.
std::unique_ptr<CKelSBContainerObj> TakeContainerAt(CKelSBBodyObj& body, int nIndex);
// Destroys every container. The track content lists are emptied first, so that they never
// name a destroyed material.
void DeleteAllContainers(CKelSBBodyObj& body);

// Keeps the track lists current through an edit of a few materials: when they are current as
// the edit starts, it keeps them itself (the materials of containers that go leave their
// lists; shifted tails keep their order) and Done checks just the tracks it names; otherwise
// Done rebuilds every list. Call Done once the storyboard's containers are as they will stay.
class ChangeJournal;

class TrackListUpkeep {
public:
    explicit TrackListUpkeep(CKelSBBodyObj& body);
    TrackListUpkeep(const TrackListUpkeep&) = delete;
    TrackListUpkeep& operator=(const TrackListUpkeep&) = delete;

    // The materials of a container about to leave the storyboard leave the track lists.
    void Remove(const CKelSBContainerObj& container);
    // The materials of a container that has just come into the storyboard (at its index, its
    // materials at their tracks and times) join the track lists. Undo and redo put many
    // containers back this way, lowest index first, so that each finds its place among those
    // before it.
    void Insert(const CKelSBContainerObj& container);
    // One material leaves its track's list before its track or times change, and joins the
    // list of its (new) track afterwards.
    void RemoveContent(const CKelSBContentBaseObj& content);
    void InsertContent(CKelSBContentBaseObj& content, const CKelSBContainerObj& container);
    // Every material of the journal the storyboard holds leaves the list of the track it was
    // on and joins that of the track it is on now, at its new time: for edits that move many
    // materials and read the lists as they were while they do. Call before the journal is
    // committed.
    void Refile(const ChangeJournal& journal);
    // The edit changed the lists of these tracks (each once or more) besides those of the
    // materials removed and inserted here.
    void Done(const std::vector<int>& tracks = {});

private:
    void NoteTracksOf(const CKelSBContainerObj& container);
    void NoteTrack(int nTrack);

    CKelSBBodyObj& m_body;
    bool m_bKeeping;
    bool m_bCleared = false;
    std::vector<int> m_tracks;
};

// ---- Piece copies. A material names its piece by GUID; the piece lives in the scene. A
// container that is stored away (an undo snapshot, a copy in a command) carries copies of its
// pieces, so that it can still be shown should the scene lose the piece meanwhile.

// Appends, for every material whose piece the scene holds, a copy of that piece to the
// material's attached pieces.
void AttachPieces(CKelSBContentBaseObj& content, const CKelPlaySceneObj* pScene);
void AttachPieces(CKelSBContainerObj& container, const CKelPlaySceneObj* pScene);
// Drops the attached copies of every material whose piece the scene holds; a material whose
// piece left the scene keeps its copies.
void DetachPieces(CKelSBContentBaseObj& content, const CKelPlaySceneObj* pScene);
void DetachPieces(CKelSBContainerObj& container, const CKelPlaySceneObj* pScene);

// ---- Times.

// Remembers materials as they were before a change (track, times, effect play duration). A
// journal that is destroyed without Commit puts every remembered material back, so a step that
// fails half-way, or throws, leaves the storyboard as it found it.
class ChangeJournal {
public:
    ChangeJournal() = default;
    ~ChangeJournal();
    ChangeJournal(const ChangeJournal&) = delete;
    ChangeJournal& operator=(const ChangeJournal&) = delete;

    // Call before changing the material; only its first state is kept.
    void Keep(CKelSBContentBaseObj& content);
    // The change is complete: forget what was kept.
    void Commit() {
        m_entries.clear();
        m_kept.clear();
    }
    // Puts every kept material back, newest first, and forgets them.
    void Rollback() noexcept;
    // Each kept material with the track it was on, in the order they were kept.
    template <class Fn>
    void ForEachKept(Fn&& fn) const {
        for (const Entry& entry : m_entries)
            fn(*entry.pContent, static_cast<int>(entry.nTrack));
    }

private:
    struct Entry {
        CKelSBContentBaseObj* pContent;
        DWORD dwStoryIn;
        DWORD dwStoryOut;
        WORD nTrack;
        bool bHasEffect;
        DWORD dwPlayDuration;
    };
    std::vector<Entry> m_entries;
    std::unordered_set<const CKelSBContentBaseObj*> m_kept;
};

// Materials a shift passes over (those about to leave the storyboard).
using ContentSet = std::unordered_set<const CKelSBContentBaseObj*>;

// Moves every material of the track whose story in is at least dwFrom by nDelta frames, as
// the track's content list orders them (it must be up to date), except those in pSkip. False
// when a material would leave the frame range; what was moved is in the journal.
bool ShiftTrackFrom(CKelSBBodyObj& body, int nTrack, DWORD dwFrom, long nDelta,
                    ChangeJournal& journal, const ContentSet* pSkip = nullptr);

// Sets the story in (bInPoint) or story out of the material to the frame, keeping the other end,
// and lets its effect play for the new duration. False when the model refuses the frame.
bool SetPoint(CKelSBContentBaseObj& content, DWORD dwFrame, int bInPoint, ChangeJournal& journal);

} // namespace kel::edit
