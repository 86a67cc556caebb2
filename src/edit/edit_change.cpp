#include "edit/edit_change.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/scene/play_scene.h"

#include <algorithm>

namespace kel::edit {

// ---- The container list ----------------------------------------------------------------------

void InsertAtIndex(CObList& list, CObject* pObject, int nIndex) {
    // Restoring a whole list inserts at its end every time; appending needs no walk.
    POSITION pos = nIndex >= 0 && nIndex < list.GetCount() ? list.FindIndex(nIndex) : nullptr;
    if (pos != nullptr)
        list.InsertBefore(pos, pObject);
    else
        list.AddTail(pObject);
}

void InsertContainerAt(CKelSBBodyObj& body, int nIndex,
                       std::unique_ptr<CKelSBContainerObj> pContainer) {
    InsertAtIndex(body.GetContainerList(), pContainer.get(), nIndex);
    pContainer.release(); // the list owns it now
}

std::unique_ptr<CKelSBContainerObj> TakeContainerAt(CKelSBBodyObj& body, int nIndex) {
    CKelObList& list = body.GetContainerList();
    POSITION pos = nIndex >= 0 ? list.FindIndex(nIndex) : nullptr;
    if (pos == nullptr)
        return nullptr;
    auto* pContainer = DYNAMIC_DOWNCAST(CKelSBContainerObj, list.GetAt(pos));
    if (pContainer == nullptr)
        return nullptr;
    list.RemoveAt(pos);
    return std::unique_ptr<CKelSBContainerObj>(pContainer);
}

void DeleteAllContainers(CKelSBBodyObj& body) {
    body.ClearAllTrackContentList();
    body.GetContainerList().DeleteAll();
}

TrackListUpkeep::TrackListUpkeep(CKelSBBodyObj& body)
    : m_body(body), m_bKeeping(body.AreTrackContentListsNotedCurrent()) {}

void TrackListUpkeep::Remove(const CKelSBContainerObj& container) {
    if (!m_bKeeping) {
        if (!m_bCleared)
            m_body.ClearAllTrackContentList(); // they name the materials that go
        m_bCleared = true;
        return;
    }
    NoteTracksOf(container);
    for (INT_PTR m = 0; m < container.GetContentCount(); ++m)
        m_body.RemoveTrackContent(container.GetContentObj(m));
}

void TrackListUpkeep::Insert(const CKelSBContainerObj& container) {
    if (!m_bKeeping)
        return; // Done rebuilds every list
    NoteTracksOf(container);
    for (INT_PTR m = 0; m < container.GetContentCount(); ++m)
        m_body.InsertTrackContent(container.GetContentObj(m), &container);
}

void TrackListUpkeep::RemoveContent(const CKelSBContentBaseObj& content) {
    if (!m_bKeeping) {
        if (!m_bCleared)
            m_body.ClearAllTrackContentList();
        m_bCleared = true;
        return;
    }
    NoteTrack(content.GetTrackIndex());
    m_body.RemoveTrackContent(&content);
}

void TrackListUpkeep::InsertContent(CKelSBContentBaseObj& content,
                                    const CKelSBContainerObj& container) {
    if (!m_bKeeping)
        return;
    NoteTrack(content.GetTrackIndex());
    m_body.InsertTrackContent(&content, &container);
}

void TrackListUpkeep::Refile(const ChangeJournal& journal) {
    if (!m_bKeeping)
        return; // Done rebuilds every list
    // All leave first: the lists then hold only materials in their places, among which each
    // moved one finds its own.
    struct Moved {
        CKelSBContentBaseObj* pContent;
        bool bListed; // it was in a list of this storyboard
    };
    std::vector<Moved> moved;
    journal.ForEachKept([&](CKelSBContentBaseObj& content, int nOldTrack) {
        bool bListed = false;
        if (CKelSBTrackObj* pTrack = m_body.GetTrackObj(nOldTrack)) {
            CObList& list = pTrack->GetContentList();
            if (POSITION pos = list.Find(&content)) {
                list.RemoveAt(pos);
                NoteTrack(nOldTrack);
                bListed = true;
            }
        }
        moved.push_back({&content, bListed});
    });
    for (const Moved& entry : moved) {
        // Most materials name their container. One held by another container and in no list
        // here (a group being put down) is none of this storyboard's; the rest are searched.
        const CKelSBContainerObj* pContainer = entry.pContent->GetHolder();
        if (pContainer == nullptr || pContainer->GetBody() != &m_body)
            pContainer = entry.bListed || pContainer == nullptr
                             ? m_body.GetContainerOf(entry.pContent)
                             : nullptr;
        if (pContainer != nullptr)
            InsertContent(*entry.pContent, *pContainer);
    }
}

void TrackListUpkeep::NoteTrack(int nTrack) {
    if (std::find(m_tracks.begin(), m_tracks.end(), nTrack) == m_tracks.end())
        m_tracks.push_back(nTrack);
}

void TrackListUpkeep::NoteTracksOf(const CKelSBContainerObj& container) {
    for (INT_PTR m = 0; m < container.GetContentCount(); ++m)
        NoteTrack(container.GetContentObj(m)->GetTrackIndex());
}

void TrackListUpkeep::Done(const std::vector<int>& tracks) {
    if (!m_bKeeping) {
        m_body.ResetAllTrackContentList();
        return;
    }
    for (int nTrack : tracks)
        NoteTrack(nTrack);
    m_body.NoteTrackContentListsKept(m_tracks);
}

// ---- Piece copies ----------------------------------------------------------------------------

void AttachPieces(CKelSBContentBaseObj& content, const CKelPlaySceneObj* pScene) {
    const CKelPlayBaseObj* pPiece = pScene ? pScene->FindPieceByGUID(content.GetGUID()) : nullptr;
    if (pPiece != nullptr)
        content.GetAttachedPieceList().AddTail(pPiece->MakeCopy());
}

void DetachPieces(CKelSBContentBaseObj& content, const CKelPlaySceneObj* pScene) {
    if (pScene != nullptr && pScene->FindPieceByGUID(content.GetGUID()) != nullptr)
        content.GetAttachedPieceList().DeleteAll();
}

namespace {
template <class Fn>
void ForEachContentOf(CKelSBContainerObj& container, Fn&& fn) {
    CKelObList& contents = container.GetContentList();
    for (POSITION pos = contents.GetHeadPosition(); pos != nullptr;) {
        if (auto* pContent = DYNAMIC_DOWNCAST(CKelSBContentBaseObj, contents.GetNext(pos)))
            fn(*pContent);
    }
}
} // namespace

void AttachPieces(CKelSBContainerObj& container, const CKelPlaySceneObj* pScene) {
    ForEachContentOf(container, [&](CKelSBContentBaseObj& c) { AttachPieces(c, pScene); });
}

void DetachPieces(CKelSBContainerObj& container, const CKelPlaySceneObj* pScene) {
    ForEachContentOf(container, [&](CKelSBContentBaseObj& c) { DetachPieces(c, pScene); });
}

// ---- Times -----------------------------------------------------------------------------------

ChangeJournal::~ChangeJournal() {
    Rollback();
}

void ChangeJournal::Keep(CKelSBContentBaseObj& content) {
    if (!m_kept.insert(&content).second)
        return;
    const auto* pPiece = DYNAMIC_DOWNCAST(CKelSBContentPieceBaseObj, &content);
    const CKelIOSoftEffectBaseObj* pEffect = pPiece ? pPiece->GetIOSoftEffect() : nullptr;
    m_entries.push_back({&content, content.GetStoryIn(), content.GetStoryOut(),
                         content.GetTrackIndex(), pEffect != nullptr,
                         pEffect ? pEffect->GetPlayDuration() : 0});
}

void ChangeJournal::Rollback() noexcept {
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it) {
        CKelSBContentBaseObj& content = *it->pContent;
        content.SetTrackIndex(it->nTrack);
        if (content.GetDuration() == it->dwStoryOut - it->dwStoryIn) {
            content.SetStoryIn(it->dwStoryIn, 1);
        } else if (!content.SetStoryIn(it->dwStoryIn, 0) ||
                   !content.SetStoryOut(it->dwStoryOut, 0)) {
            // Growing the other end first makes room for the first one.
            content.SetStoryOut(it->dwStoryOut, 0);
            content.SetStoryIn(it->dwStoryIn, 0);
        }
        auto* pPiece = DYNAMIC_DOWNCAST(CKelSBContentPieceBaseObj, &content);
        if (it->bHasEffect && pPiece != nullptr)
            pPiece->SetPlayDuration(it->dwPlayDuration);
    }
    m_entries.clear();
    m_kept.clear();
}

bool ShiftTrackFrom(CKelSBBodyObj& body, int nTrack, DWORD dwFrom, long nDelta,
                    ChangeJournal& journal, const ContentSet* pSkip) {
    CKelSBTrackObj* pTrack = body.GetTrackObj(nTrack);
    if (pTrack == nullptr)
        return false;
    if (nDelta == 0)
        return true;
    const CObList& contents = pTrack->GetContentList();
    for (POSITION pos = contents.GetHeadPosition(); pos != nullptr;) {
        auto* pContent = DYNAMIC_DOWNCAST(CKelSBContentBaseObj, contents.GetNext(pos));
        if (pContent == nullptr || pContent->GetStoryIn() < dwFrom ||
            (pSkip != nullptr && pSkip->count(pContent) != 0))
            continue;
        journal.Keep(*pContent);
        if (!pContent->Move(nDelta))
            return false;
    }
    return true;
}

bool SetPoint(CKelSBContentBaseObj& content, DWORD dwFrame, int bInPoint, ChangeJournal& journal) {
    journal.Keep(content);
    const int bSet = bInPoint ? content.SetStoryIn(dwFrame, 0) : content.SetStoryOut(dwFrame, 0);
    if (!bSet)
        return false;
    if (auto* pPiece = DYNAMIC_DOWNCAST(CKelSBContentPieceBaseObj, &content))
        pPiece->SetPlayDuration(content.GetDuration());
    return true;
}

} // namespace kel::edit
