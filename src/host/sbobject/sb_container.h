// Containers and tracks. A container groups materials that move together (they may lie on
// different tracks); a track is a row of the timeline whose material list is derived from the
// containers.
#pragma once

#include "host/base/kel_object.h"

#include <cstdint>
#include <span>
#include <vector>

class CKelSBBodyObj;
class CKelSBContentBaseObj;

class CKelSBContainerObj : public CKelObject {
    DECLARE_SERIAL(CKelSBContainerObj)
public:
    CKelSBContainerObj() = default;
    CKelSBContainerObj(const CKelSBContainerObj& other);
    CKelSBContainerObj& operator=(const CKelSBContainerObj& other);
    ~CKelSBContainerObj() override = default;

    // The materials, owned by the container. A container borrowed as a plain list (a drag
    // group) must be emptied with RemoveAll before it is destroyed.
    CKelObList& GetContentList() { return m_lstContents; }
    const CKelObList& GetContentList() const { return m_lstContents; }
    INT_PTR GetContentCount() const { return m_lstContents.GetCount(); }
    // The material at an index, null out of range.
    CKelSBContentBaseObj* GetContentObj(INT_PTR nIndex) const;
    // Takes ownership.
    void AddContent(CKelSBContentBaseObj* pContent);

    // Earliest story in, latest story out, and the span between them (0 when empty).
    DWORD GetStoryIn() const;
    DWORD GetStoryOut() const;
    DWORD GetDuration() const;

    // Orders the materials by time; see the static form for the flag.
    int MakeOrder(int nFlag = 0);
    // Orders a list of materials by story in, then track index; equal materials keep their
    // order. Flag 1 is strict: it also refuses a list in which two materials of one track
    // overlap, since their order on the track would be ambiguous. Returns 0, leaving the list
    // as it was, for such a list or for one holding anything but materials.
    static int MakeOrder(CObList& list, int nFlag);

    // The storyboard whose container list holds the container, null when none does; kept by
    // that list. A container that enters a storyboard becomes the holder of its materials whose
    // holder is in none, so that their moves are told to that storyboard.
    const CKelSBBodyObj* GetBody() const { return m_pBody; }
    void SetBody(const CKelSBBodyObj* pBody);

    CKelSBContainerObj* MakeCopy() const override;
    // Loading accepts materials only, none null.
    void Serialize(CArchive& ar) override;

private:
    // Tells each material which container holds it, so that the storyboard finds a material's
    // container without indexing every material after each change. A material borrowed by a
    // second list (a drag group) keeps the holder it has. Changes move the model generation
    // only while the container is held: a copy being filled or read back belongs to no
    // storyboard until a list takes it, and that list's change moves the generation then.
    class ContentList : public CKelObList {
    public:
        explicit ContentList(CKelSBContainerObj& owner) : CKelObList(kQuiet), m_owner(owner) {}
        // Emptied here, where the materials still learn that their holder goes.
        ~ContentList() override { DeleteAll(); }
        ContentList(const ContentList&) = delete;
        ContentList& operator=(const ContentList& other) {
            CKelObList::operator=(other);
            return *this;
        }

    protected:
        void OnElementAdded(CObject* pObject) override;
        void OnElementRemoved(CObject* pObject) override;

    private:
        // What a material's coming (or going) tells: the generation, the storyboard's latest
        // story out, the material's holder.
        void NoteMaterial(CObject* pObject, bool bCame);

        CKelSBContainerObj& m_owner;
    };

    ContentList m_lstContents{*this};
    const CKelSBBodyObj* m_pBody = nullptr; // not copied: a copy is in no storyboard yet
};

class CKelSBTrackObj : public CKelObject {
    DECLARE_SERIAL(CKelSBTrackObj)
public:
    CKelSBTrackObj() = default;
    // Copies the flags only: the material list is derived and starts empty.
    CKelSBTrackObj(const CKelSBTrackObj& other);
    CKelSBTrackObj& operator=(const CKelSBTrackObj& other);
    ~CKelSBTrackObj() override = default;

    // The track's materials in time order, rebuilt by the storyboard's
    // ResetAllTrackContentList. Not owning: the containers own the materials.
    CObList& GetContentList() { return m_lstContents; }
    const CObList& GetContentList() const { return m_lstContents; }
    INT_PTR GetContentCount() const { return m_lstContents.GetCount(); }
    CKelSBContentBaseObj* GetContentObj(INT_PTR nIndex) const;
    BOOL HasContentObj() const { return !m_lstContents.IsEmpty(); }
    // The materials of the list, in list order, that may reach into the frames dwFrom to
    // dwTo: while the list is in time order, those starting no later than dwTo from the first
    // whose list so far reaches dwFrom (a binary search each way), else all of them. A caller
    // tests each one for what it needs; the view this way visits what is on the screen, not
    // what the track holds. Valid until the list or the model changes.
    std::span<CKelSBContentBaseObj* const> GetContentsNear(DWORD dwFrom, DWORD dwTo) const;
    // Makes the list these materials, which are in time order, and keeps its index by time
    // from them: a rebuild of every track's list reads each material once, not once more on
    // the first paint of each track.
    void SetContentsInTimeOrder(std::vector<CKelSBContentBaseObj*> contents);
    // Gives every material of the list this track index.
    void SetAllContentTrackIndex(WORD nTrack);
    // A material filed under this track's index came, went or moved: the index by time that
    // GetContentsNear keeps is taken afresh. A change whose track is not known tells every
    // track (NoteSomeTrackChanged). A track's own list tells it by itself.
    void NoteContentsChanged() const { ++m_lstContents.nChanges; }
    static void NoteSomeTrackChanged();

    // Locked: the track's materials may not be edited. Play allowed: the track is played.
    BOOL IsLocked() const { return m_bLocked; }
    void SetLocked(BOOL bLocked) { m_bLocked = bLocked ? TRUE : FALSE; }
    BOOL IsPlayAllowed() const { return m_bPlayAllowed; }
    void SetPlayAllowed(BOOL bAllowed) { m_bPlayAllowed = bAllowed ? TRUE : FALSE; }

    CKelSBTrackObj* MakeCopy() const override;
    // The two flags.
    void Serialize(CArchive& ar) override;

private:
    // The list's materials with their times, taken afresh after a change of this track's
    // materials (NoteContentsChanged) or one whose track was not known. Keyed to the track
    // rather than to the model, so that an edit on one track leaves the other tracks' indexes.
    struct TimeIndex {
        std::uint64_t nChanges = ~std::uint64_t{0};
        std::uint64_t nSomeTrackChanges = ~std::uint64_t{0};
        bool bInTimeOrder = false;
        std::vector<CKelSBContentBaseObj*> contents;
        std::vector<DWORD> storyIn;
        std::vector<DWORD> latestOut; // the latest story out up to each place
    };
    const TimeIndex& CurrentTimeIndex() const;
    void TakeTimeIndex(TimeIndex& index) const;
    // Fills storyIn and latestOut for index.contents.
    static void TakeTimes(TimeIndex& index);

    // A change of a track's list moves the model generation too, so that whether the lists
    // are current is known without asking each of them.
    class ContentList : public CObList {
    public:
        mutable std::uint64_t nChanges = 0;

    protected:
        void OnElementAdded(CObject* /*pObject*/) override { NoteChanged(); }
        void OnElementRemoved(CObject* /*pObject*/) override { NoteChanged(); }

    private:
        void NoteChanged() {
            ++nChanges;
            KelModelChanged();
        }
    };

    ContentList m_lstContents;
    mutable TimeIndex m_timeIndex;
    BOOL m_bLocked = FALSE;
    BOOL m_bPlayAllowed = TRUE;
};
