// A storyboard: its tracks, the containers that hold its materials, its time scale, time line,
// play range, key editing points, properties and its own undo/redo history.
//
// Access by index is constant time (the object lists keep an index in step with every change),
// and what the editor asks while the user works (the container of a material, a container's
// index, the duration, the key points, the materials of a track near a time) is answered
// without walking the storyboard: derived data is built once after each change of the model
// (KelModelGeneration) and kept until the next. New questions follow the same rule.
#pragma once

#include "host/base/kel_object.h"
#include "host/sbobject/latest_story_outs.h"
#include "platform/cstring.h"

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class CWnd;
class CKelURBase;
class CKelSBTrackObj;
class CKelSBContainerObj;
class CKelSBContentBaseObj;

// The values the storyboard's properties dialog edits, in the order the settings command keeps
// them: three values, the name, two more.
struct CKelSBBodyAttr {
    int nFrameDisplay = 0;  // non-zero: times shown as frame counts, else as timecode
    int nTrackHeight = 30;  // pixels per track row
    int nPlayRangeOnly = 0; // non-zero: playing covers only the range marks
    CString strName;
    DWORD dwRangeStart = 0; // range marks, frames
    DWORD dwRangeEnd = 0;

    friend bool operator==(const CKelSBBodyAttr&, const CKelSBBodyAttr&) = default;
};

class CKelSBBodyObj : public CKelObject {
    DECLARE_SERIAL(CKelSBBodyObj)
public:
    static constexpr int kMaxTrackCount = 255;
    static constexpr int kDefaultTrackCount = 4;
    static constexpr int kMinTrackHeight = 16;
    static constexpr int kMaxTrackHeight = 200;
    static constexpr DWORD kDefaultFramesPerUnit = 25;

    // A new storyboard: default name, kDefaultTrackCount empty tracks, an empty history.
    CKelSBBodyObj();
    // A deep copy of tracks and containers with a new, empty history.
    CKelSBBodyObj(const CKelSBBodyObj& other);
    CKelSBBodyObj& operator=(const CKelSBBodyObj&) = delete;
    ~CKelSBBodyObj() override;

    // The name new storyboards carry.
    static CString GetDefName();
    const CString& GetName() const { return m_attr.strName; }
    void SetName(const CString& name) { m_attr.strName = name; }

    // ---- Tracks. Materials name their track by index, so every operation that shifts tracks
    // renumbers the materials with them.
    int GetTrackCount() const { return static_cast<int>(m_lstTracks.GetCount()); }
    CKelSBTrackObj* GetTrackObj(int nIndex) const;
    // -1 when the track is not one of this storyboard's.
    int GetTrackIndex(const CKelSBTrackObj* pTrack) const;
    // Owning; who changes it directly renumbers the materials (CKelSBTrackObj::
    // SetAllContentTrackIndex) and rebuilds the track content lists.
    CKelObList& GetTrackList() { return m_lstTracks; }

    // Appends an empty track. 0 at kMaxTrackCount tracks.
    int AppendTrack();
    // Inserts an empty track at nIndex (0..count; count appends); materials at or below it move
    // down one track. 0 out of range or at kMaxTrackCount tracks.
    int InsertTrack(int nIndex);
    // Removes the track with its materials (containers left empty go too); materials below
    // move up one track. 0 out of range.
    int DeleteTrack(int nIndex);
    // Swaps the track with the one above (0) or below (1), its materials going with it. 0 for
    // the first track up, the last down, or an index out of range.
    int MoveTrack(int nIndex, int nDirection);
    // Appends to `clipboard` a copy of the track followed by one container per container that
    // has materials on it, holding copies of just those materials. 0 out of range.
    int CopyTrack(CKelObList& clipboard, int nIndex);
    // CopyTrack, then DeleteTrack. 0 out of range.
    int CutTrack(CKelObList& clipboard, int nIndex);
    // Inserts the clipboard's track at nIndex as InsertTrack does, with copies of its
    // materials in new containers, icons made from `pPieces` (may be null). The clipboard
    // keeps its contents. 0 when it holds no track, out of range or at kMaxTrackCount.
    int PasteTrack(const CKelObList& clipboard, CObList* pPieces, int nIndex);

    // ---- Containers (owning list, in the order the editor's indices refer to). Access by
    // index and the look-ups below take constant time however many materials there are.
    int GetContainerCount() const { return static_cast<int>(m_lstContainers.GetCount()); }
    CKelSBContainerObj* GetContainerObj(int nIndex) const;
    CKelObList& GetContainerList() { return m_lstContainers; }
    const CKelObList& GetContainerList() const { return m_lstContainers; }
    // Takes ownership.
    void AddContainer(CKelSBContainerObj* pContainer);
    // The container of this storyboard that holds the material, null when none does. Any
    // pointer may be asked about: it is compared, never followed.
    CKelSBContainerObj* GetContainerOf(const void* pContent) const;
    // The same for a material known to be alive: its holder answers at once, without indexing
    // every material after a change.
    CKelSBContainerObj* GetContainerOf(const CKelSBContentBaseObj* pContent) const;
    // The container's index, -1 when it is not one of this storyboard's.
    int GetContainerIndex(const CKelSBContainerObj* pContainer) const;

    // ---- Derived lists.
    // Rebuilds every track's material list from the containers, in time order, and the key
    // editing points. Materials whose track does not exist are left out.
    void ResetAllTrackContentList();
    // Empties every track's material list (before materials are replaced underneath them).
    void ClearAllTrackContentList();
    // Whether every track's list holds just what ResetAllTrackContentList would put into it
    // now. Checked once after each change of the storyboard; the answer is kept until the
    // next. The view answers hit tests from the track lists only when they are current.
    bool AreTrackContentListsCurrent() const;
    // Current, and no material lies on a track that does not exist: the track lists then hold
    // every material of the storyboard.
    bool AreTrackContentListsComplete() const;
    // The first track whose list differs from what ResetAllTrackContentList would put into it
    // now, -1 when none does. Always compares, whatever was noted: lists kept by edits, undo
    // and redo are held to a rebuild with it.
    int FindTrackListUnlikeRebuild() const;
    // Puts a material that was just added to `pContainer` into its track's list, where
    // ResetAllTrackContentList would put it, when the list was in that order before. Costs a
    // search of one track's list instead of rebuilding every list.
    void InsertTrackContent(CKelSBContentBaseObj* pContent, const CKelSBContainerObj* pContainer);
    // An edit that changes a few materials keeps the lists itself instead of rebuilding them
    // all: it asks whether they are current as last noted (nothing is checked), takes the
    // materials it removes out of their lists, keeps the order of the lists it shifts, and then
    // notes which tracks' lists it changed. Those lists are checked against the order a rebuild
    // gives (by story in, equal ones by container and material order); when they are in it,
    // every list counts as current again, otherwise every list is rebuilt. A material on a
    // track that does not exist is in no list.
    bool AreTrackContentListsNotedCurrent() const;
    void RemoveTrackContent(const CKelSBContentBaseObj* pContent);
    void NoteTrackContentListsKept(const std::vector<int>& tracks);
    // A material of this storyboard filed under track nTrack came, went or moved
    // (CKelSBTrackObj::NoteContentsChanged); nothing for a track that does not exist, whose
    // materials are in no list.
    void NoteTrackContentsChanged(int nTrack) const;
    // Tells the container look-up which container now holds the container's materials (after
    // materials moved between containers), so that it need not be built again.
    void NoteContainerOf(CKelSBContainerObj* pContainer) const;
    // A material came into one of the storyboard's containers, or went from one (told by the
    // container's list, and by the storyboard's own list for a whole container): the container
    // look-up, the latest story outs and the material's track learn it here, in one place.
    void NoteMaterialCame(const CKelSBContentBaseObj& content,
                          CKelSBContainerObj* pContainer) const;
    void NoteMaterialWent(const CKelSBContentBaseObj& content) const;
    // Rebuilds the key editing points: frame 0 and every story in and story out, ascending.
    // Found again on the first question after the model changed, so rebuilding the track
    // lists leaves them to whoever asks next.
    void ResetKeyPointList() { FindKeyPoints(); }
    const std::vector<DWORD>& GetKeyPointList() const {
        FindKeyPoints();
        return m_keyPoints;
    }
    // The key editing point before (bPrevious non-zero) or after the time line, from the
    // materials as they are now. With none in that direction the time line position itself
    // is returned, so the time line stays where it is at either end.
    DWORD GetNewTimeLinePos(int bPrevious);

    // ---- Reconciling with the scene's pieces.
    // Removes what cannot be shown: anything that is not a container, materials that are not
    // materials, lie on a track that does not exist or have broken times, and containers left
    // empty. A material whose piece left the scene stays (the editor draws it hatched).
    // Returns the number of materials and containers removed.
    int ValidateContainerList(CObList* pPieces);
    // Rebuilds every material's icon from its piece in `pPieces`, else from its first attached
    // piece copy; a material with neither keeps the icon it has.
    void UpdateContentIcon(CObList* pPieces);
    static void MakePieceContentIcon(CKelSBContainerObj* pContainer, CObList* pPieces);
    static void MakePieceContentIcon(CObList& contents, CObList* pPieces);

    // ---- Time.
    // Latest story out of any material, 0 when there is none. Kept up as materials come, go
    // and move; the materials are walked again only when the latest few dozen distinct story
    // outs have all gone, or when a material whose container is unknown moved (see below).
    DWORD GetDuration() const;
    // What keeps the latest story out up: the storyboard's containers and their materials tell
    // it of every story out that comes, goes or moves. A held material that cannot tell which
    // storyboard holds it (no container known) says so to all of them, and each walks its
    // materials again.
    void NoteStoryOutAdded(DWORD dwOut) const;
    void NoteStoryOutRemoved(DWORD dwOut) const;
    static void NoteStoryOutUntold();
    DWORD GetFramesPerUnit() const { return m_dwFramesPerUnit; }
    // 0 (refused) for 0 or for more than CKelSBContentBaseObj::kMaxFrame frames per unit.
    int SetFramesPerUnit(DWORD dwFrames);
    DWORD GetTimeLinePos() const { return m_dwTimeLinePos; }
    // A frame beyond CKelSBContentBaseObj::kMaxFrame is taken as that frame.
    void SetTimeLinePos(DWORD dwFrame);
    DWORD GetRangeStart() const { return m_attr.dwRangeStart; }
    DWORD GetRangeEnd() const { return m_attr.dwRangeEnd; }
    // The marks are kept ordered: a start after the end is taken as the end and vice versa.
    // Marks beyond CKelSBContentBaseObj::kMaxFrame are taken as that frame.
    void SetRange(DWORD dwStart, DWORD dwEnd);

    // ---- Properties.
    int GetTrackHeight() const { return m_attr.nTrackHeight; }
    int GetFrameDisplay() const { return m_attr.nFrameDisplay; }
    const CKelSBBodyAttr& GetEditAttr() const { return m_attr; }
    // Takes the values, the track height clamped to its range and the range marks ordered.
    void SetEditAttr(const CKelSBBodyAttr& attr);
    // Shows the properties dialog modally over `pParent`: the name, whether times show as
    // frames, the track height, whether playing covers only the range, and the range marks.
    // Returns non-zero only when the user pressed OK and something changed.
    int EditAttr(CWnd* pParent);

    // 1 Ripple (a delete closes the gap it leaves), 0 Normal.
    int GetDeleteMode() const { return m_nDeleteMode; }
    void SetDeleteMode(int nMode) { m_nDeleteMode = nMode ? 1 : 0; }

    // The storyboard's undo/redo history; never null.
    CKelURBase* GetURBase() const { return m_pURBase.get(); }

    CKelSBBodyObj* MakeCopy() const override;
    // Loading checks counts, indices and times and raises CArchiveException on bad values; the
    // history is not stored.
    void Serialize(CArchive& ar) override;

private:
    using TrackRows = std::vector<std::vector<CKelSBContentBaseObj*>>;
    // What ResetAllTrackContentList puts into each track's list: the track's materials by
    // story in, equal ones in container order. Materials of tracks that do not exist are
    // counted in nOffTrack.
    TrackRows BuildTrackRows(int& nOffTrack) const;
    // Notes that the track lists are what BuildTrackRows gives as of now (or not).
    void NoteTrackListsChecked(bool bCurrent, int nOffTrack) const;
    void ShiftTracksFrom(int nFirst, int nDelta);
    void DeleteMaterialsOnTrack(int nIndex);

    // Tells each container which storyboard holds it and the latest story out what comes and
    // goes.
    class ContainerList : public CKelObList {
    public:
        explicit ContainerList(const CKelSBBodyObj& owner) : m_owner(owner) {}
        ~ContainerList() override;
        ContainerList(const ContainerList&) = delete;
        ContainerList& operator=(const ContainerList&) = delete;

    protected:
        void OnElementAdded(CObject* pObject) override;
        void OnElementRemoved(CObject* pObject) override;

    private:
        const CKelSBBodyObj& m_owner;
    };

    CKelSBBodyAttr m_attr;
    CKelObList m_lstTracks;
    ContainerList m_lstContainers{*this};
    DWORD m_dwFramesPerUnit = kDefaultFramesPerUnit;
    DWORD m_dwTimeLinePos = 0;
    int m_nDeleteMode = 0;
    std::unique_ptr<CKelURBase> m_pURBase;

    // ---- Derived data, current as long as the model generation it was built at (see
    // KelModelGeneration); rebuilt on the first question after a change.
    void FindKeyPoints() const;
    mutable std::vector<DWORD> m_keyPoints;
    mutable std::uint64_t m_nKeyPointsGeneration = ~std::uint64_t{0};
    mutable kel::host::LatestStoryOuts m_latestOuts;
    mutable std::uint64_t m_nLatestOutsUntold = 0; // as of which count of untold moves
    // Which container holds each material. An entry is checked against the lists before it
    // is believed, so entries that went stale are harmless; the map is rebuilt when an answer
    // cannot be found or checked and the storyboard changed since it was built.
    // Once built, every material that comes into the storyboard is entered as it comes, so a
    // pointer the map does not hold is none of ours without a rebuild.
    mutable std::unordered_map<const void*, CKelSBContainerObj*> m_containerOf;
    mutable std::uint64_t m_nContainerOfGeneration = ~std::uint64_t{0};
    mutable bool m_bContainerOfWhole = false;
    // The last check of the track lists: as of which generation, and its answer.
    struct TrackListCheck {
        std::uint64_t nGeneration = ~std::uint64_t{0};
        bool bCurrent = false;
        int nOffTrack = 0;
    };
    mutable TrackListCheck m_listCheck;
};
