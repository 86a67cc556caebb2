#include "edit/edit_delete.h"

#include "edit/edit_find.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"

#include <algorithm>

namespace kel::edit {

namespace {

void NoteTrack(std::vector<int>& tracks, int nTrack) {
    if (std::find(tracks.begin(), tracks.end(), nTrack) == tracks.end())
        tracks.push_back(nTrack);
}

// The material that follows pContent in its track's list, or null.
CKelSBContentBaseObj* FollowerOnTrack(const CKelSBTrackObj& track,
                                      const CKelSBContentBaseObj* pContent) {
    const CObList& list = track.GetContentList();
    POSITION pos = list.Find(pContent);
    if (pos == nullptr)
        return nullptr;
    list.GetNext(pos);
    return pos ? DYNAMIC_DOWNCAST(CKelSBContentBaseObj, list.GetAt(pos)) : nullptr;
}

// Closes up behind each deleted material, in time order. False when the order is ambiguous or
// a material would leave the frame range; what moved is in the journal.
bool Ripple(CKelSBBodyObj& body, const std::vector<CKelSBContainerObj*>& containers,
            ChangeJournal& journal, DeleteResult& result) {
    CObList ordered;
    for (CKelSBContainerObj* pContainer : containers)
        ordered.AddTail(&pContainer->GetContentList());
    if (!CKelSBContainerObj::MakeOrder(ordered, 1))
        return false;
    for (POSITION pos = ordered.GetHeadPosition(); pos != nullptr;) {
        const auto* pDeleted = static_cast<const CKelSBContentBaseObj*>(ordered.GetNext(pos));
        const int nTrack = pDeleted->GetTrackIndex();
        const CKelSBTrackObj* pTrack = body.GetTrackObj(nTrack);
        if (pTrack == nullptr || pTrack->IsLocked())
            continue;
        const CKelSBContentBaseObj* pNext = FollowerOnTrack(*pTrack, pDeleted);
        if (pNext == nullptr || pNext->GetStoryIn() <= pDeleted->GetStoryIn())
            continue;
        const RippleShift shift{nTrack, pNext->GetStoryIn(),
                                static_cast<long>(pDeleted->GetStoryIn()) -
                                    static_cast<long>(pNext->GetStoryIn())};
        // The follower is the first material of its track at its story in, so shifting by frame
        // moves it and everything after it, as replaying the shift will.
        if (!ShiftTrackFrom(body, nTrack, shift.dwFrom, shift.nDelta, journal))
            return false;
        result.shifts.push_back(shift);
        NoteTrack(result.touchedTracks, nTrack);
    }
    return true;
}

} // namespace

std::optional<DeleteResult> DeleteContainers(CKelSBBodyObj& body, std::vector<int> indices,
                                             bool bRipple, const SaveContainerFn& save) {
    std::sort(indices.rbegin(), indices.rend());
    if (indices.empty() || std::adjacent_find(indices.begin(), indices.end()) != indices.end())
        return std::nullopt;
    std::vector<CKelSBContainerObj*> containers;
    for (int nIndex : indices) {
        CKelSBContainerObj* pContainer = body.GetContainerObj(nIndex);
        if (pContainer == nullptr)
            return std::nullopt;
        containers.push_back(pContainer);
    }

    TrackListUpkeep lists(body);
    DeleteResult result;
    // Every container is kept before any material moves or goes: no delete without a way back.
    for (std::size_t i = 0; i < containers.size(); ++i) {
        if (!save(*containers[i], indices[i]))
            return std::nullopt;
        result.removed.push_back(indices[i]);
    }
    ChangeJournal journal;
    if (bRipple && !Ripple(body, containers, journal, result))
        return std::nullopt; // the journal puts the moved materials back
    journal.Commit();

    for (const CKelSBContainerObj* pContainer : containers) {
        for (INT_PTR m = 0; m < pContainer->GetContentCount(); ++m)
            NoteTrack(result.touchedTracks, pContainer->GetContentObj(m)->GetTrackIndex());
        lists.Remove(*pContainer);
    }
    for (int nIndex : indices)
        TakeContainerAt(body, nIndex).reset();
    lists.Done(result.touchedTracks);
    return result;
}

std::optional<ClosedSpace> CloseSpace(CKelSBBodyObj& body, int nTrack, int nFrame) {
    const CKelSBTrackObj* pTrack = body.GetTrackObj(nTrack);
    if (pTrack == nullptr)
        return std::nullopt;
    const CObList& list = pTrack->GetContentList();
    const CKelSBContentBaseObj* pAfter = nullptr;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr && pAfter == nullptr;) {
        const auto* pContent = static_cast<const CKelSBContentBaseObj*>(list.GetNext(pos));
        if (static_cast<long long>(pContent->GetStoryIn()) >= nFrame)
            pAfter = pContent;
        // A frame inside a material lies in no gap: closing would pull what follows over it.
        // (The view's hit test leaves out the border pixels of a track row, so a click there
        // reaches here with a frame that a material spans.)
        else if (static_cast<long long>(pContent->GetStoryOut()) > nFrame)
            return std::nullopt;
    }
    if (pAfter == nullptr)
        return std::nullopt;
    DWORD dwGapStart = 0;
    for (POSITION pos = list.GetTailPosition(); pos != nullptr;) {
        const auto* pContent = static_cast<const CKelSBContentBaseObj*>(list.GetPrev(pos));
        if (static_cast<long long>(pContent->GetStoryOut()) <= nFrame) {
            dwGapStart = pContent->GetStoryOut();
            break;
        }
    }
    const ClosedSpace closed{pAfter->GetStoryIn(), dwGapStart};
    if (closed.dwNew >= closed.dwOld)
        return std::nullopt;
    TrackListUpkeep lists(body);
    ChangeJournal journal;
    if (!ShiftTrackFrom(body, nTrack, closed.dwOld,
                        static_cast<long>(closed.dwNew) - static_cast<long>(closed.dwOld), journal))
        return std::nullopt;
    journal.Commit();
    lists.Done({nTrack});
    return closed;
}

} // namespace kel::edit
