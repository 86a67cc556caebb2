#include "host/sbobject/sb_body.h"

#include "host/base/kel_item.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/undo/ur_manager.h"
#include "platform/archive.h"

#include <algorithm>

IMPLEMENT_SERIAL(CKelSBBodyObj, CKelObject, 1)

namespace {

// Every material of the storyboard, container by container.
template <class Fn>
void ForEachContent(const CKelObList& containers, Fn&& fn) {
    for (POSITION pos = containers.GetHeadPosition(); pos != nullptr;) {
        auto* pContainer = dynamic_cast<CKelSBContainerObj*>(containers.GetNext(pos));
        if (pContainer == nullptr)
            continue;
        const CKelObList& contents = pContainer->GetContentList();
        for (POSITION p = contents.GetHeadPosition(); p != nullptr;) {
            if (auto* pContent = dynamic_cast<CKelSBContentBaseObj*>(contents.GetNext(p)))
                fn(*pContent);
        }
    }
}

} // namespace

CKelSBBodyObj::CKelSBBodyObj() : m_pURBase(std::make_unique<CKelURBase>()) {
    m_attr.strName = GetDefName();
    for (int i = 0; i < kDefaultTrackCount; ++i)
        m_lstTracks.AddTail(new CKelSBTrackObj);
}

CKelSBBodyObj::CKelSBBodyObj(const CKelSBBodyObj& other)
    : CKelObject(other), m_attr(other.m_attr), m_lstTracks(other.m_lstTracks),
      m_lstContainers(other.m_lstContainers), m_dwFramesPerUnit(other.m_dwFramesPerUnit),
      m_dwTimeLinePos(other.m_dwTimeLinePos), m_nDeleteMode(other.m_nDeleteMode),
      m_pURBase(std::make_unique<CKelURBase>()) {
    ResetAllTrackContentList();
}

CKelSBBodyObj::~CKelSBBodyObj() {
    // The history goes first: its commands may still look at the storyboard's objects.
    m_pURBase.reset();
    ClearAllTrackContentList();
}

CString CKelSBBodyObj::GetDefName() {
    return CString("Storyboard");
}

CKelSBTrackObj* CKelSBBodyObj::GetTrackObj(int nIndex) const {
    return dynamic_cast<CKelSBTrackObj*>(m_lstTracks.GetAtIndex(nIndex));
}

int CKelSBBodyObj::GetTrackIndex(const CKelSBTrackObj* pTrack) const {
    return pTrack ? static_cast<int>(m_lstTracks.IndexOf(pTrack)) : -1;
}

CKelSBContainerObj* CKelSBBodyObj::GetContainerObj(int nIndex) const {
    return dynamic_cast<CKelSBContainerObj*>(m_lstContainers.GetAtIndex(nIndex));
}

void CKelSBBodyObj::AddContainer(CKelSBContainerObj* pContainer) {
    m_lstContainers.AddTail(pContainer);
}

// ---- Tracks ---------------------------------------------------------------------------------

void CKelSBBodyObj::ShiftTracksFrom(int nFirst, int nDelta) {
    ForEachContent(m_lstContainers, [&](CKelSBContentBaseObj& content) {
        if (content.GetTrackIndex() >= nFirst)
            content.SetTrackIndex(static_cast<WORD>(content.GetTrackIndex() + nDelta));
    });
}

void CKelSBBodyObj::DeleteMaterialsOnTrack(int nIndex) {
    for (POSITION pos = m_lstContainers.GetHeadPosition(); pos != nullptr;) {
        const POSITION here = pos;
        auto* pContainer = dynamic_cast<CKelSBContainerObj*>(m_lstContainers.GetNext(pos));
        if (pContainer == nullptr)
            continue;
        CKelObList& contents = pContainer->GetContentList();
        for (POSITION p = contents.GetHeadPosition(); p != nullptr;) {
            const POSITION at = p;
            auto* pContent = dynamic_cast<CKelSBContentBaseObj*>(contents.GetNext(p));
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
    ForEachContent(m_lstContainers, [&](CKelSBContentBaseObj& content) {
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
    CKelObList copies; // appended to the clipboard only when complete
    copies.AddTail(pTrack->MakeCopy());
    for (POSITION pos = m_lstContainers.GetHeadPosition(); pos != nullptr;) {
        auto* pContainer = dynamic_cast<CKelSBContainerObj*>(m_lstContainers.GetNext(pos));
        if (pContainer == nullptr)
            continue;
        auto pCopy = std::make_unique<CKelSBContainerObj>();
        const CKelObList& contents = pContainer->GetContentList();
        for (POSITION p = contents.GetHeadPosition(); p != nullptr;) {
            auto* pContent = dynamic_cast<CKelSBContentBaseObj*>(contents.GetNext(p));
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
    CKelObList containers;
    for (POSITION pos = clipboard.GetHeadPosition(); pos != nullptr;) {
        const CObject* pObject = clipboard.GetNext(pos);
        if (const auto* pT = dynamic_cast<const CKelSBTrackObj*>(pObject)) {
            if (pTrack != nullptr)
                break;
            pTrack = pT;
        } else if (const auto* pC = dynamic_cast<const CKelSBContainerObj*>(pObject)) {
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
            if (auto* pContent = dynamic_cast<CKelSBContentBaseObj*>(contents.GetNext(p)))
                pContent->SetTrackIndex(static_cast<WORD>(nIndex));
        }
        MakePieceContentIcon(pContainer, pPieces);
        m_lstContainers.AddTail(pContainer);
    }
    ResetAllTrackContentList();
    return 1;
}

// ---- Derived lists --------------------------------------------------------------------------

void CKelSBBodyObj::ClearAllTrackContentList() {
    for (POSITION pos = m_lstTracks.GetHeadPosition(); pos != nullptr;) {
        if (auto* pTrack = dynamic_cast<CKelSBTrackObj*>(m_lstTracks.GetNext(pos)))
            pTrack->GetContentList().RemoveAll();
    }
}

void CKelSBBodyObj::ResetAllTrackContentList() {
    const int nTracks = GetTrackCount();
    std::vector<std::vector<CKelSBContentBaseObj*>> rows(static_cast<std::size_t>(nTracks));
    ForEachContent(m_lstContainers, [&](CKelSBContentBaseObj& content) {
        if (content.GetTrackIndex() < nTracks)
            rows[content.GetTrackIndex()].push_back(&content);
    });
    int nTrack = 0;
    for (POSITION pos = m_lstTracks.GetHeadPosition(); pos != nullptr; ++nTrack) {
        auto* pTrack = dynamic_cast<CKelSBTrackObj*>(m_lstTracks.GetNext(pos));
        if (pTrack == nullptr)
            continue;
        auto& row = rows[static_cast<std::size_t>(nTrack)];
        std::stable_sort(row.begin(), row.end(), [](const auto* a, const auto* b) {
            return a->GetStoryIn() < b->GetStoryIn();
        });
        CObList& list = pTrack->GetContentList();
        list.RemoveAll();
        for (auto* pContent : row)
            list.AddTail(pContent);
    }
    ResetKeyPointList();
}

void CKelSBBodyObj::ResetKeyPointList() {
    const int nTracks = GetTrackCount();
    m_keyPoints.assign(1, 0);
    ForEachContent(m_lstContainers, [&](const CKelSBContentBaseObj& content) {
        if (content.GetTrackIndex() < nTracks) {
            m_keyPoints.push_back(content.GetStoryIn());
            m_keyPoints.push_back(content.GetStoryOut());
        }
    });
    std::sort(m_keyPoints.begin(), m_keyPoints.end());
    m_keyPoints.erase(std::unique(m_keyPoints.begin(), m_keyPoints.end()), m_keyPoints.end());
}

DWORD CKelSBBodyObj::GetNewTimeLinePos(int bPrevious) {
    ResetKeyPointList();
    const DWORD dwPos = m_dwTimeLinePos;
    if (bPrevious) {
        auto it = std::lower_bound(m_keyPoints.begin(), m_keyPoints.end(), dwPos);
        return it == m_keyPoints.begin() ? dwPos : *std::prev(it);
    }
    auto it = std::upper_bound(m_keyPoints.begin(), m_keyPoints.end(), dwPos);
    return it == m_keyPoints.end() ? dwPos : *it;
}

// ---- Reconciling with the scene -------------------------------------------------------------

int CKelSBBodyObj::ValidateContainerList(CObList* /*pPieces*/) {
    ClearAllTrackContentList();
    int nRemoved = 0;
    const int nTracks = GetTrackCount();
    for (POSITION pos = m_lstContainers.GetHeadPosition(); pos != nullptr;) {
        const POSITION here = pos;
        auto* pContainer = dynamic_cast<CKelSBContainerObj*>(m_lstContainers.GetNext(pos));
        if (pContainer == nullptr) {
            m_lstContainers.DeleteAt(here);
            ++nRemoved;
            continue;
        }
        CKelObList& contents = pContainer->GetContentList();
        for (POSITION p = contents.GetHeadPosition(); p != nullptr;) {
            const POSITION at = p;
            auto* pContent = dynamic_cast<CKelSBContentBaseObj*>(contents.GetNext(p));
            if (pContent == nullptr || pContent->GetTrackIndex() >= nTracks ||
                pContent->GetStoryOut() < pContent->GetStoryIn() ||
                pContent->GetDuration() < pContent->GetMinDuration()) {
                contents.DeleteAt(at);
                ++nRemoved;
            }
        }
        if (contents.IsEmpty()) {
            m_lstContainers.DeleteAt(here);
            ++nRemoved;
        }
    }
    ResetAllTrackContentList();
    return nRemoved;
}

void CKelSBBodyObj::UpdateContentIcon(CObList* pPieces) {
    for (POSITION pos = m_lstContainers.GetHeadPosition(); pos != nullptr;)
        MakePieceContentIcon(dynamic_cast<CKelSBContainerObj*>(m_lstContainers.GetNext(pos)),
                             pPieces);
}

void CKelSBBodyObj::MakePieceContentIcon(CKelSBContainerObj* pContainer, CObList* pPieces) {
    if (pContainer != nullptr)
        MakePieceContentIcon(pContainer->GetContentList(), pPieces);
}

void CKelSBBodyObj::MakePieceContentIcon(CObList& contents, CObList* pPieces) {
    for (POSITION pos = contents.GetHeadPosition(); pos != nullptr;) {
        auto* pContent = dynamic_cast<CKelSBContentBaseObj*>(contents.GetNext(pos));
        if (pContent == nullptr)
            continue;
        const CKelItemBaseObj* pPiece = KelFindItemByGUID(pPieces, pContent->GetGUID());
        if (pPiece == nullptr)
            pPiece = pContent->GetAttachedPiece();
        CKelMemBlock icon;
        if (pPiece != nullptr && pPiece->MakeThumbnail(icon) && !icon.IsEmpty())
            pContent->SetIcon(&icon);
    }
}

// ---- Time and properties --------------------------------------------------------------------

DWORD CKelSBBodyObj::GetDuration() const {
    DWORD dwOut = 0;
    ForEachContent(m_lstContainers, [&](const CKelSBContentBaseObj& content) {
        dwOut = std::max(dwOut, content.GetStoryOut());
    });
    return dwOut;
}

int CKelSBBodyObj::SetFramesPerUnit(DWORD dwFrames) {
    // More frames to a unit than the longest storyboard holds shows nothing more.
    if (dwFrames == 0 || dwFrames > CKelSBContentBaseObj::kMaxFrame)
        return 0;
    m_dwFramesPerUnit = dwFrames;
    return 1;
}

void CKelSBBodyObj::SetTimeLinePos(DWORD dwFrame) {
    m_dwTimeLinePos = std::min(dwFrame, CKelSBContentBaseObj::kMaxFrame);
}

void CKelSBBodyObj::SetRange(DWORD dwStart, DWORD dwEnd) {
    dwStart = std::min(dwStart, CKelSBContentBaseObj::kMaxFrame);
    dwEnd = std::min(dwEnd, CKelSBContentBaseObj::kMaxFrame);
    m_attr.dwRangeStart = std::min(dwStart, dwEnd);
    m_attr.dwRangeEnd = std::max(dwStart, dwEnd);
}

void CKelSBBodyObj::SetEditAttr(const CKelSBBodyAttr& attr) {
    m_attr = attr;
    m_attr.nTrackHeight = std::clamp(attr.nTrackHeight, kMinTrackHeight, kMaxTrackHeight);
    SetRange(attr.dwRangeStart, attr.dwRangeEnd);
}

CKelSBBodyObj* CKelSBBodyObj::MakeCopy() const {
    return new CKelSBBodyObj(*this);
}

// ---- Storage --------------------------------------------------------------------------------

void CKelSBBodyObj::Serialize(CArchive& ar) {
    CKelObject::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_attr.strName << m_attr.nFrameDisplay << m_attr.nTrackHeight << m_attr.nPlayRangeOnly
           << m_attr.dwRangeStart << m_attr.dwRangeEnd;
        ar << m_dwFramesPerUnit << m_dwTimeLinePos << m_nDeleteMode;
        m_lstTracks.SerializeOf(ar, RUNTIME_CLASS(CKelSBTrackObj));
        m_lstContainers.SerializeOf(ar, RUNTIME_CLASS(CKelSBContainerObj));
        return;
    }
    CKelSBBodyAttr attr;
    DWORD dwFramesPerUnit = 0;
    DWORD dwTimeLine = 0;
    int nDeleteMode = 0;
    ar >> attr.strName >> attr.nFrameDisplay >> attr.nTrackHeight >> attr.nPlayRangeOnly >>
        attr.dwRangeStart >> attr.dwRangeEnd;
    ar >> dwFramesPerUnit >> dwTimeLine >> nDeleteMode;
    KelArchiveRequire(attr.nTrackHeight >= kMinTrackHeight && attr.nTrackHeight <= kMaxTrackHeight);
    KelArchiveRequire(attr.dwRangeStart <= attr.dwRangeEnd);
    KelArchiveRequire(dwFramesPerUnit >= 1);
    KelArchiveRequire(nDeleteMode == 0 || nDeleteMode == 1);
    const DWORD dwMaxFrame = CKelSBContentBaseObj::kMaxFrame;
    KelArchiveRequireAtMost(dwFramesPerUnit, dwMaxFrame, "A storyboard's frames per unit");
    KelArchiveRequireAtMost(dwTimeLine, dwMaxFrame, "A storyboard's time line position");
    KelArchiveRequireAtMost(attr.dwRangeEnd, dwMaxFrame, "A storyboard's range end");

    // Read into fresh lists so that a failure leaves this storyboard as it was.
    CKelObList tracks;
    CKelObList containers;
    tracks.SerializeOf(ar, RUNTIME_CLASS(CKelSBTrackObj));
    KelArchiveRequire(tracks.GetCount() <= kMaxTrackCount, CArchiveException::badIndex);
    containers.SerializeOf(ar, RUNTIME_CLASS(CKelSBContainerObj));
    bool bIndicesOk = true;
    ForEachContent(containers, [&](const CKelSBContentBaseObj& content) {
        bIndicesOk = bIndicesOk && content.GetTrackIndex() < tracks.GetCount();
    });
    KelArchiveRequire(bIndicesOk, CArchiveException::badIndex);

    ClearAllTrackContentList();
    m_lstTracks.DeleteAll();
    m_lstTracks.AddTail(&tracks);
    tracks.RemoveAll();
    m_lstContainers.DeleteAll();
    m_lstContainers.AddTail(&containers);
    containers.RemoveAll();
    m_attr = attr;
    m_dwFramesPerUnit = dwFramesPerUnit;
    m_dwTimeLinePos = dwTimeLine;
    m_nDeleteMode = nDeleteMode;
    m_pURBase->ClearHistory();
    ResetAllTrackContentList();
}
