#include "edit/edit_arrange.h"

#include "edit/edit_change.h"
#include "edit/edit_find.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"

#include <algorithm>
#include <memory>

namespace kel::edit {

namespace {

void NoteTrack(std::vector<int>& tracks, int nTrack) {
    if (std::find(tracks.begin(), tracks.end(), nTrack) == tracks.end())
        tracks.push_back(nTrack);
}

// Resizes one material and pushes what it runs into; false, with everything as it was, when
// the model refuses a frame.
bool ResizeOne(CKelSBBodyObj& body, CKelSBContentBaseObj& content, DWORD dwLength,
               SameLengthRecord& record) {
    const int nTrack = content.GetTrackIndex();
    const CKelSBTrackObj* pTrack = body.GetTrackObj(nTrack);
    ChangeJournal journal;
    const DWORD dwIn = content.GetStoryIn();
    const DWORD dwOldLength = content.GetDuration();
    if (pTrack == nullptr || !SetPoint(content, dwIn + dwLength, 0, journal))
        return false;
    const CObList& list = pTrack->GetContentList();
    POSITION pos = list.Find(&content);
    if (pos != nullptr)
        list.GetNext(pos);
    const auto* pNext = pos ? static_cast<const CKelSBContentBaseObj*>(list.GetAt(pos)) : nullptr;
    // A follower starting with the material (an overlap the storyboard came with) stays: moving
    // every material from its story in on would move the resized one too.
    const bool bPush = pNext != nullptr && pNext->GetStoryIn() > dwIn &&
                       pNext->GetStoryIn() < content.GetStoryOut();
    DWORD dwShift = 0;
    DWORD dwThreshold = 0;
    if (bPush) {
        dwShift = content.GetStoryOut() - pNext->GetStoryIn();
        dwThreshold = pNext->GetStoryIn() + dwShift;
        if (!ShiftTrackFrom(body, nTrack, pNext->GetStoryIn(), static_cast<long>(dwShift), journal))
            return false;
    }
    journal.Commit();
    record.resizedTracks.push_back(static_cast<DWORD>(nTrack));
    record.resizedStoryIns.push_back(dwIn);
    record.oldLengths.push_back(dwOldLength);
    if (bPush) {
        record.shiftedTracks.push_back(static_cast<DWORD>(nTrack));
        record.shiftThresholds.push_back(dwThreshold);
        record.shiftAmounts.push_back(dwShift);
    }
    NoteTrack(record.touchedTracks, nTrack);
    return true;
}

// Moves every material of `from` to the end of `to`. A material is in one list at any time, so
// an allocation failure half-way leaves every material owned once.
void MoveContents(CKelSBContainerObj& from, CKelSBContainerObj& to) {
    CKelObList& source = from.GetContentList();
    CKelObList& target = to.GetContentList();
    while (!source.IsEmpty()) {
        target.AddTail(source.GetHead());
        source.RemoveHead();
    }
}

// The tracks of the container's materials, each once.
std::vector<int> TracksOf(const CKelSBContainerObj& container) {
    std::vector<int> tracks;
    for (INT_PTR m = 0; m < container.GetContentCount(); ++m)
        NoteTrack(tracks, container.GetContentObj(m)->GetTrackIndex());
    return tracks;
}

// New containers that borrow materials owned elsewhere until they are committed; emptied
// without deleting when they go uncommitted.
struct BorrowingContainers {
    std::vector<std::unique_ptr<CKelSBContainerObj>> containers;
    ~BorrowingContainers() {
        for (auto& pContainer : containers) {
            if (pContainer)
                pContainer->GetContentList().RemoveAll();
        }
    }
};

} // namespace

std::optional<SameLengthRecord> SameLength(CKelSBBodyObj& body,
                                           const CKelSBContentBaseObj& reference,
                                           const std::vector<CKelSBContentBaseObj*>& selected) {
    CObList materials;
    for (CKelSBContentBaseObj* pContent : selected)
        materials.AddTail(pContent);
    if (!CKelSBContainerObj::MakeOrder(materials, 1))
        return std::nullopt;
    TrackListUpkeep lists(body);
    SameLengthRecord record;
    record.dwLength = reference.GetDuration();
    for (POSITION pos = materials.GetHeadPosition(); pos != nullptr;) {
        auto* pContent = static_cast<CKelSBContentBaseObj*>(materials.GetNext(pos));
        const CKelSBTrackObj* pTrack = body.GetTrackObj(pContent->GetTrackIndex());
        if (pContent == &reference || pTrack == nullptr || pTrack->IsLocked() ||
            pContent->GetDuration() == record.dwLength)
            continue;
        ResizeOne(body, *pContent, record.dwLength, record);
    }
    if (!record.IsEmpty())
        lists.Done(record.touchedTracks);
    return record;
}

std::optional<PlacementGroups> AlignGroups(const std::vector<CKelSBContentBaseObj*>& materials,
                                           const CKelSBContentBaseObj& reference, bool bLeft) {
    const WORD nReferenceTrack = reference.GetTrackIndex();
    PlacementGroups groups;
    std::vector<WORD> tracks; // of the records, in order
    for (CKelSBContentBaseObj* pContent : materials) {
        if (pContent->GetTrackIndex() == nReferenceTrack)
            continue;
        std::size_t i = 0;
        while (i < tracks.size() && tracks[i] != pContent->GetTrackIndex())
            ++i;
        if (i == tracks.size()) {
            groups.push_back(std::make_unique<CONTAINER_INSERT_PARAM>());
            groups.back()->bKeepTracks = true;
            tracks.push_back(pContent->GetTrackIndex());
        }
        groups[i]->group.GetContentList().AddTail(pContent);
    }
    for (const auto& pRecord : groups) {
        CObList& group = pRecord->group.GetContentList();
        if (!CKelSBContainerObj::MakeOrder(group, 1))
            return std::nullopt;
        long nEdge = bLeft ? static_cast<long>(pRecord->group.GetStoryIn())
                           : static_cast<long>(pRecord->group.GetStoryOut());
        const long nTarget = bLeft ? static_cast<long>(reference.GetStoryIn())
                                   : static_cast<long>(reference.GetStoryOut());
        pRecord->nDeltaFrames = nTarget - nEdge;
    }
    return groups;
}

CKelSBContainerObj* MergeContainers(CKelSBBodyObj& body, const std::vector<int>& order,
                                    TrackListUpkeep& lists) {
    const std::vector<CKelSBContainerObj*> merged = ContainersAt(body, order);
    if (merged.size() < 2)
        return nullptr;
    CKelSBContainerObj& receiver = *merged.front();
    for (std::size_t k = 1; k < merged.size(); ++k)
        MoveContents(*merged[k], receiver);
    body.NoteContainerOf(&receiver);
    // The emptied containers go from the highest index down, so the others keep theirs.
    std::vector<int> emptied(order.begin() + 1, order.end());
    std::sort(emptied.rbegin(), emptied.rend());
    for (int nIndex : emptied)
        TakeContainerAt(body, nIndex).reset();
    // No material moved; only the order of materials that start together may follow their
    // containers.
    lists.Done(TracksOf(receiver));
    return &receiver;
}

std::optional<std::vector<CKelSBContainerObj*>>
SplitContainers(CKelSBBodyObj& body, const std::vector<int>& order, TrackListUpkeep& lists) {
    const std::vector<CKelSBContainerObj*> split = ContainersAt(body, order);
    if (split.size() != order.size())
        return std::nullopt;
    // The new containers first, borrowing the materials, so that a failure changes nothing.
    BorrowingContainers made;
    for (CKelSBContainerObj* pContainer : split) {
        for (INT_PTR m = 1; m < pContainer->GetContentCount(); ++m) {
            made.containers.push_back(std::make_unique<CKelSBContainerObj>());
            made.containers.back()->AddContent(pContainer->GetContentObj(m));
        }
    }
    std::vector<CKelSBContainerObj*> added;
    if (made.containers.empty())
        return added;
    added.reserve(made.containers.size());
    CKelObList& list = body.GetContainerList();
    std::size_t nAppended = 0;
    try {
        for (; nAppended < made.containers.size(); ++nAppended)
            list.AddTail(made.containers[nAppended].get());
    } catch (...) {
        while (nAppended-- > 0)
            list.RemoveTail();
        throw;
    }
    // Committed: the list owns the new containers, the old ones keep their first material.
    for (auto& pContainer : made.containers)
        added.push_back(pContainer.release());
    for (CKelSBContainerObj* pContainer : split) {
        while (pContainer->GetContentCount() > 1)
            pContainer->GetContentList().RemoveTail();
    }
    std::vector<int> tracks;
    for (CKelSBContainerObj* pContainer : added) {
        body.NoteContainerOf(pContainer);
        NoteTrack(tracks, pContainer->GetContentObj(0)->GetTrackIndex());
    }
    lists.Done(tracks);
    return added;
}

} // namespace kel::edit
