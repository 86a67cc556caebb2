// The storyboard's tracks: adding, removing, moving, and the track clipboard.
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_content_walk.h"

#include <memory>

void CKelSBBodyObj::ShiftTracksFrom(int nFirst, int nDelta) {
    kel::host::ForEachContent(m_lstContainers, [&](CKelSBContentBaseObj& content) {
        if (content.GetTrackIndex() >= nFirst)
            content.SetTrackIndex(static_cast<WORD>(content.GetTrackIndex() + nDelta));
    });
}

void CKelSBBodyObj::DeleteMaterialsOnTrack(int nIndex) {
    for (POSITION pos = m_lstContainers.GetHeadPosition(); pos != nullptr;) {
        const POSITION here = pos;
        auto* pContainer = DYNAMIC_DOWNCAST(CKelSBContainerObj, m_lstContainers.GetNext(pos));
        if (pContainer == nullptr)
            continue;
        CKelObList& contents = pContainer->GetContentList();
        for (POSITION p = contents.GetHeadPosition(); p != nullptr;) {
            const POSITION at = p;
            auto* pContent = DYNAMIC_DOWNCAST(CKelSBContentBaseObj, contents.GetNext(p));
            if (pContent != nullptr && pContent->GetTrackIndex() == nIndex)
                contents.DeleteAt(at);
        }
        if (contents.IsEmpty())
            m_lstContainers.DeleteAt(here);
    }
}

int CKelSBBodyObj::AppendTrack() {
    return InsertTrack(GetTrackCount());
}

int CKelSBBodyObj::InsertTrack(int nIndex) {
    if (nIndex < 0 || nIndex > GetTrackCount() || GetTrackCount() >= kMaxTrackCount)
        return 0;
    ShiftTracksFrom(nIndex, +1);
    POSITION pos = m_lstTracks.FindIndex(nIndex);
    if (pos != nullptr)
        m_lstTracks.InsertBefore(pos, new CKelSBTrackObj);
    else
        m_lstTracks.AddTail(new CKelSBTrackObj);
    ResetAllTrackContentList();
    return 1;
}

int CKelSBBodyObj::DeleteTrack(int nIndex) {
    POSITION pos = m_lstTracks.FindIndex(nIndex);
    if (pos == nullptr)
        return 0;
    ClearAllTrackContentList();
    DeleteMaterialsOnTrack(nIndex);
    ShiftTracksFrom(nIndex + 1, -1);
    m_lstTracks.DeleteAt(pos);
    ResetAllTrackContentList();
    return 1;
}

int CKelSBBodyObj::MoveTrack(int nIndex, int nDirection) {
    if (nDirection != 0 && nDirection != 1)
        return 0;
    const int nOther = nDirection == 0 ? nIndex - 1 : nIndex + 1;
    POSITION posA = m_lstTracks.FindIndex(nIndex);
    POSITION posB = m_lstTracks.FindIndex(nOther);
    if (posA == nullptr || posB == nullptr)
        return 0;
    kel::host::ForEachContent(m_lstContainers, [&](CKelSBContentBaseObj& content) {
        if (content.GetTrackIndex() == nIndex)
            content.SetTrackIndex(static_cast<WORD>(nOther));
        else if (content.GetTrackIndex() == nOther)
            content.SetTrackIndex(static_cast<WORD>(nIndex));
    });
    CObject* pA = m_lstTracks.GetAt(posA);
    m_lstTracks.SetAt(posA, m_lstTracks.GetAt(posB));
    m_lstTracks.SetAt(posB, pA);
    ResetAllTrackContentList();
    return 1;
}

int CKelSBBodyObj::CopyTrack(CKelObList& clipboard, int nIndex) {
    const CKelSBTrackObj* pTrack = GetTrackObj(nIndex);
    if (pTrack == nullptr)
        return 0;
    CKelObList copies(CKelObList::kQuiet); // appended to the clipboard only when complete
    copies.AddTail(pTrack->MakeCopy());
    for (POSITION pos = m_lstContainers.GetHeadPosition(); pos != nullptr;) {
        auto* pContainer = DYNAMIC_DOWNCAST(CKelSBContainerObj, m_lstContainers.GetNext(pos));
        if (pContainer == nullptr)
            continue;
        auto pCopy = std::make_unique<CKelSBContainerObj>();
        const CKelObList& contents = pContainer->GetContentList();
        for (POSITION p = contents.GetHeadPosition(); p != nullptr;) {
            auto* pContent = DYNAMIC_DOWNCAST(CKelSBContentBaseObj, contents.GetNext(p));
            if (pContent != nullptr && pContent->GetTrackIndex() == nIndex)
                pCopy->AddContent(pContent->MakeCopy());
        }
        if (pCopy->GetContentCount() > 0)
            copies.AddTail(pCopy.release());
    }
    clipboard.AddTail(&copies);
    copies.RemoveAll();
    return 1;
}

int CKelSBBodyObj::CutTrack(CKelObList& clipboard, int nIndex) {
    if (GetTrackObj(nIndex) == nullptr)
        return 0;
    CopyTrack(clipboard, nIndex);
    return DeleteTrack(nIndex);
}

int CKelSBBodyObj::PasteTrack(const CKelObList& clipboard, CObList* pPieces, int nIndex) {
    if (nIndex < 0 || nIndex > GetTrackCount() || GetTrackCount() >= kMaxTrackCount)
        return 0;
    // The clipboard holds a track followed by its containers (CopyTrack); anything after a
    // second track belongs to that one.
    const CKelSBTrackObj* pTrack = nullptr;
    CKelObList containers(CKelObList::kQuiet);
    for (POSITION pos = clipboard.GetHeadPosition(); pos != nullptr;) {
        const CObject* pObject = clipboard.GetNext(pos);
        if (const auto* pT = DYNAMIC_DOWNCAST(CKelSBTrackObj, pObject)) {
            if (pTrack != nullptr)
                break;
            pTrack = pT;
        } else if (const auto* pC = DYNAMIC_DOWNCAST(CKelSBContainerObj, pObject)) {
            if (pTrack != nullptr)
                containers.AddTail(pC->MakeCopy());
        }
    }
    if (pTrack == nullptr)
        return 0;

    ShiftTracksFrom(nIndex, +1);
    POSITION pos = m_lstTracks.FindIndex(nIndex);
    if (pos != nullptr)
        m_lstTracks.InsertBefore(pos, pTrack->MakeCopy());
    else
        m_lstTracks.AddTail(pTrack->MakeCopy());
    while (!containers.IsEmpty()) {
        auto* pContainer = static_cast<CKelSBContainerObj*>(containers.RemoveHead());
        CKelObList& contents = pContainer->GetContentList();
        for (POSITION p = contents.GetHeadPosition(); p != nullptr;) {
            if (auto* pContent = DYNAMIC_DOWNCAST(CKelSBContentBaseObj, contents.GetNext(p)))
                pContent->SetTrackIndex(static_cast<WORD>(nIndex));
        }
        MakePieceContentIcon(pContainer, pPieces);
        m_lstContainers.AddTail(pContainer);
    }
    ResetAllTrackContentList();
    return 1;
}
