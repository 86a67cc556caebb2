// What lies under a point of the timeline, and which tracks and materials are selected.
// Materials are selected by their container: selecting one material selects every material
// that was put on the storyboard together with it.
#include "dialog/messages.h"
#include "dialog/sbedit_dlg.h"
#include "view/sbedit_view.h"
#include "view/view_paint_tools.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/services/tool_box.h"

#include <algorithm>
#include <climits>

namespace {

// Materials of an effect piece's In, Stay or Out phase. They are tied to their own track;
// movies and scrolls are tested wherever their rectangle reaches.
bool IsPhaseContent(const CKelSBContentBaseObj* pContent) {
    const auto* pPiece = DYNAMIC_DOWNCAST(CKelSBContentPieceBaseObj, pContent);
    if (!pPiece)
        return false;
    const int nState = pPiece->GetIOStateType();
    return nState >= 0 && nState <= 2;
}

bool ListHolds(const CObList& list, const CObject* pObject) {
    return pObject && list.Find(const_cast<CObject*>(pObject)) != nullptr;
}

} // namespace

// ---- Hit tests.

// A material is hit through its container: the first container of the storyboard that has a
// material under the point wins, and within it the last such material. The track lists,
// while current, name the few materials near the point, so the answer costs the same however
// many materials the storyboard holds; otherwise every container is asked in turn.
int CKelSBEditView::HitTest(CPoint point, KelSBHitResult& result) const {
    result = KelSBHitResult{};
    if (!GetTrackAreaRect().PtInRect(point))
        return 1;
    const CKelSBBodyObj* pBody = GetCurSBBody();
    if (!pBody)
        return 0;
    const auto [nFirstTrack, nEndTrack] = GetTrackSpan(point.y, point.y + 1);
    for (int i = nFirstTrack; i < nEndTrack; ++i) {
        const CRect row = GetTrackRowRect(i);
        if (row.PtInRect(point)) {
            result.nTrackIndex = i;
            result.pTrack = pBody->GetTrackObj(i);
            result.rcTrackRow = row;
            break;
        }
    }
    if (result.nTrackIndex < 0)
        return 0;

    if (pBody->AreTrackContentListsCurrent()) {
        // Rows do not overlap, so whatever is under the point lies on this track.
        CKelSBContainerObj* pFirst = nullptr;
        int nFirst = INT_MAX;
        DWORD dwFrom = 0;
        DWORD dwTo = 0;
        if (result.pTrack && GetFrameSpan(point.x, point.x + 1, dwFrom, dwTo)) {
            for (CKelSBContentBaseObj* pContent : result.pTrack->GetContentsNear(dwFrom, dwTo)) {
                if (!GetMaterialHitRect(pContent).PtInRect(point))
                    continue;
                CKelSBContainerObj* pContainer = pBody->GetContainerOf(pContent);
                const int nIndex = pBody->GetContainerIndex(pContainer);
                if (pContainer && nIndex < nFirst) {
                    pFirst = pContainer;
                    nFirst = nIndex;
                }
            }
        }
        return pFirst && HitContainer(pFirst, point, result) ? 1 : 0;
    }
    const CKelObList& containers = pBody->GetContainerList();
    for (POSITION pos = containers.GetHeadPosition(); pos;) {
        auto* pContainer = dynamic_cast<CKelSBContainerObj*>(containers.GetNext(pos));
        if (pContainer && HitContainer(pContainer, point, result))
            return 1;
    }
    return 0;
}

bool CKelSBEditView::HitContainer(CKelSBContainerObj* pContainer, CPoint point,
                                  KelSBHitResult& result) const {
    CRect outline;
    CKelSBContentBaseObj* pHit = nullptr;
    CRect rcHit;
    const CKelObList& contents = pContainer->GetContentList();
    for (POSITION pos = contents.GetHeadPosition(); pos;) {
        auto* pContent = dynamic_cast<CKelSBContentBaseObj*>(contents.GetNext(pos));
        if (!pContent)
            continue;
        const CRect rc = GetMaterialHitRect(pContent);
        outline.UnionRect(outline, rc);
        // The extra pixel at the bottom of a phase material reaches into the next row; that
        // row belongs to the next track alone.
        if (IsPhaseContent(pContent) && pContent->GetTrackIndex() != result.nTrackIndex)
            continue;
        if (rc.PtInRect(point)) {
            pHit = pContent;
            rcHit = rc;
        }
    }
    if (!pHit)
        return false;
    result.pContainer = pContainer;
    result.pContent = pHit;
    result.rcContent = rcHit;
    result.rcContainerOutline = outline;
    return true;
}

int CKelSBEditView::EdgeTest(CPoint point, KelSBTrimCandidate& candidate) const {
    KelSBHitResult hit;
    HitTest(point, hit);
    const CKelSBBodyObj* pBody = GetCurSBBody();
    if (!pBody || !hit.pContent)
        return 0;
    const CKelSBTrackObj* pTrack = pBody->GetTrackObj(hit.pContent->GetTrackIndex());
    if (!pTrack || pTrack->IsLocked())
        return 0;
    DWORD dwEdge = 0;
    int nGrabOffset = 0;
    // On a material too short for both edges the story in edge wins: a trim can turn to the
    // other edge once it runs.
    if (point.x - hit.rcContent.left < 3) {
        dwEdge = 1;
        nGrabOffset = hit.rcContent.left - point.x;
    } else if (hit.rcContent.right - point.x < 4) {
        dwEdge = 2;
        nGrabOffset = hit.rcContent.right - point.x;
    } else {
        return 0;
    }
    candidate.pContent = hit.pContent;
    candidate.dwEdge = dwEdge;
    candidate.ptPoint = point;
    candidate.nGrabOffset = nGrabOffset;
    candidate.dwEdgeFrame = static_cast<DWORD>(std::max(0, ClientXToFrame(point.x + nGrabOffset)));
    candidate.rcMaterial = GetMaterialRect(hit.pContent);
    return 1;
}

int CKelSBEditView::HeaderButtonTest(CPoint point, int& nButton) const {
    const CKelSBBodyObj* pBody = GetCurSBBody();
    if (!pBody)
        return -1;
    // A button square starts 3 pixels into its header and is 16 high, so with low rows it
    // reaches into the next header: the track above the point is asked first.
    const auto [nFirst, nEnd] =
        GetTrackSpan(point.y - kel::sbedit::kHeaderButtonReach + 1, point.y + 1);
    for (int i = nFirst; i < nEnd; ++i) {
        const CRect header = GetTrackHeaderRect(i);
        for (int nCandidate = 0; nCandidate < 2; ++nCandidate) {
            if (kel::sbedit::HeaderButtonRect(header, nCandidate).PtInRect(point)) {
                nButton = nCandidate;
                return i;
            }
        }
    }
    return -1;
}

// ---- Selecting.

int CKelSBEditView::SelectTrackAt(CPoint point, int bExclusive) {
    const CKelSBBodyObj* pBody = GetCurSBBody();
    if (!pBody)
        return 0;
    int nTrack = -1;
    const auto [nFirst, nEnd] = GetTrackSpan(point.y, point.y + 1);
    for (int i = nFirst; i < nEnd && nTrack < 0; ++i) {
        CRect rc;
        rc.UnionRect(GetTrackRowRect(i), GetTrackHeaderRect(i));
        if (rc.PtInRect(point))
            nTrack = i;
    }
    if (nTrack < 0)
        return 0;
    CKelSBTrackObj* pTrack = pBody->GetTrackObj(nTrack);
    if (POSITION pos = m_lstSelTracks.Find(pTrack)) {
        m_lstSelTracks.RemoveAt(pos);
        if (bExclusive) {
            // Clearing repaints every selected track, this one included.
            ClearTrackSelection();
            m_lstSelTracks.AddTail(pTrack);
            return 1;
        }
    } else {
        if (bExclusive)
            ClearTrackSelection();
        m_lstSelTracks.AddTail(pTrack);
    }
    InvalidateRect(GetTrackHeaderRect(nTrack), TRUE);
    UpdateWindow();
    return 1;
}

int CKelSBEditView::SelectMaterialAt(CPoint point, int bExclusive) {
    KelSBHitResult hit;
    HitTest(point, hit);
    if (!hit.pContainer || !hit.pContent) {
        NotifyNavigatorContent(nullptr);
        return 0;
    }
    const bool bSelected = ListHolds(m_lstSelContainers, hit.pContainer);
    if (bSelected && hit.pContent == m_pCurContent)
        return 1;
    if (!bSelected) {
        if (bExclusive)
            ClearMaterialSelection();
        m_lstSelContainers.AddTail(hit.pContainer);
    }
    const CKelSBContentBaseObj* pPrevious = m_pCurContent;
    m_pCurContent = hit.pContent;
    NotifyNavigatorContent(m_pCurContent);
    if (pPrevious)
        InvalidateRect(GetMaterialRect(pPrevious), TRUE);
    InvalidateRect(hit.rcContainerOutline, TRUE);
    return 1;
}

void CKelSBEditView::SelectByRect(const CRect& rect) {
    ClearMaterialSelection();
    const CKelSBBodyObj* pBody = GetCurSBBody();
    if (!pBody)
        return;
    const auto touches = [&](const CKelSBContentBaseObj* pContent) {
        CRect overlap;
        return overlap.IntersectRect(GetMaterialHitRect(pContent), rect) != FALSE;
    };
    DWORD dwFrom = 0;
    DWORD dwTo = 0;
    if (pBody->AreTrackContentListsComplete()) {
        // The materials in the band are near it on the rows it crosses; their containers go in
        // in storyboard order.
        std::vector<int> found;
        auto [nFirst, nEnd] = GetTrackSpan(rect.top, rect.bottom);
        if (!GetFrameSpan(rect.left, rect.right, dwFrom, dwTo))
            nEnd = nFirst;
        for (int i = nFirst; i < nEnd; ++i) {
            for (CKelSBContentBaseObj* pContent :
                 pBody->GetTrackObj(i)->GetContentsNear(dwFrom, dwTo)) {
                if (touches(pContent))
                    found.push_back(pBody->GetContainerIndex(pBody->GetContainerOf(pContent)));
            }
        }
        std::sort(found.begin(), found.end());
        found.erase(std::unique(found.begin(), found.end()), found.end());
        for (int nIndex : found) {
            if (nIndex >= 0)
                m_lstSelContainers.AddTail(pBody->GetContainerObj(nIndex));
        }
    } else {
        const CKelObList& containers = pBody->GetContainerList();
        for (POSITION pos = containers.GetHeadPosition(); pos;) {
            auto* pContainer = dynamic_cast<CKelSBContainerObj*>(containers.GetNext(pos));
            const CKelObList* pContents = pContainer ? &pContainer->GetContentList() : nullptr;
            for (POSITION p = pContents ? pContents->GetHeadPosition() : nullptr; p;) {
                const auto* pContent = dynamic_cast<CKelSBContentBaseObj*>(pContents->GetNext(p));
                if (pContent && touches(pContent)) {
                    m_lstSelContainers.AddTail(pContainer);
                    break;
                }
            }
        }
    }
    if (!m_lstSelContainers.IsEmpty()) {
        const auto* pFirst = static_cast<CKelSBContainerObj*>(m_lstSelContainers.GetHead());
        m_pCurContent = pFirst->GetContentObj(0);
        NotifyNavigatorContent(m_pCurContent);
    }
    InvalidateSelection(FALSE);
}

int CKelSBEditView::SelectAllMaterials() {
    const CKelSBBodyObj* pBody = GetCurSBBody();
    if (!pBody)
        return 0;
    m_lstSelContainers.RemoveAll();
    const CKelObList& containers = pBody->GetContainerList();
    for (POSITION pos = containers.GetHeadPosition(); pos;) {
        if (auto* pContainer = DYNAMIC_DOWNCAST(CKelSBContainerObj, containers.GetNext(pos)))
            m_lstSelContainers.AddTail(pContainer);
    }
    Invalidate(TRUE);
    return 1;
}

int CKelSBEditView::SelectAllMaterialsOfSelTracks() {
    if (!GetCurSBBody() || m_lstSelTracks.IsEmpty())
        return 0;
    InvalidateSelection(FALSE);
    m_lstSelContainers.RemoveAll();
    CKelSBContentBaseObj* pFirstFound = nullptr;
    bool bKeepCurrent = false;
    for (POSITION pos = m_lstSelTracks.GetHeadPosition(); pos;) {
        const auto* pTrack = static_cast<const CKelSBTrackObj*>(m_lstSelTracks.GetNext(pos));
        const CObList* pContents = pTrack ? &pTrack->GetContentList() : nullptr;
        for (POSITION p = pContents ? pContents->GetHeadPosition() : nullptr; p;) {
            auto* pContent = dynamic_cast<CKelSBContentBaseObj*>(pContents->GetNext(p));
            CKelSBContainerObj* pContainer = FindContainerOf(pContent);
            if (!pContainer)
                continue;
            if (!pFirstFound)
                pFirstFound = pContent;
            if (pContent == m_pCurContent)
                bKeepCurrent = true;
            if (!ListHolds(m_lstSelContainers, pContainer))
                m_lstSelContainers.AddTail(pContainer);
        }
    }
    if (!bKeepCurrent)
        m_pCurContent = pFirstFound;
    InvalidateSelection(FALSE);
    return 1;
}

void CKelSBEditView::ClearMaterialSelection() {
    m_pCurContent = nullptr;
    if (m_pParentDlg)
        m_pParentDlg->UpdateCaption(nullptr);
    if (!m_lstSelContainers.IsEmpty()) {
        InvalidateSelection(FALSE);
        m_lstSelContainers.RemoveAll();
    }
}

void CKelSBEditView::ClearTrackSelection() {
    if (!m_lstSelTracks.IsEmpty()) {
        InvalidateSelection(TRUE);
        m_lstSelTracks.RemoveAll();
    }
}

void CKelSBEditView::ClearAllSelection() {
    ClearTrackSelection();
    ClearMaterialSelection();
    RefreshView(nullptr);
}

void CKelSBEditView::ShowSelectedSpan() {
    if (!m_pParentDlg)
        return;
    if (m_lstSelContainers.IsEmpty()) {
        m_pParentDlg->UpdateCaption(0, 0, 0, 0);
        return;
    }
    DWORD dwIn = INT_MAX;
    DWORD dwOut = 0;
    for (POSITION pos = m_lstSelContainers.GetHeadPosition(); pos;) {
        const auto* pContainer =
            static_cast<const CKelSBContainerObj*>(m_lstSelContainers.GetNext(pos));
        if (pContainer->GetContentCount() == 0)
            continue;
        // In time order the first material starts earliest. Materials of one container may
        // overlap on different tracks, so the one that starts last need not end last: the
        // latest outlet of them all counts.
        dwIn = std::min(dwIn, pContainer->GetStoryIn());
        dwOut = std::max(dwOut, pContainer->GetStoryOut());
    }
    if (dwIn > dwOut) {
        m_pParentDlg->UpdateCaption(0, 0, 0, 0);
        return;
    }
    m_pParentDlg->UpdateCaption(dwIn, dwOut, dwOut - dwIn, 1);
}

void CKelSBEditView::NotifyNavigatorContent(const CKelSBContentBaseObj* pContent) const {
    CWnd* pNavigator = KelToolGetToolBox(KEL_TOOLBOX_SB_NAVIGATOR);
    if (pNavigator && IsWindow(pNavigator))
        pNavigator->SendMessage(WM_CG_SBNAV_SBSELCONTENT_CHANGED, KEL_SBNAV_CONTENT,
                                reinterpret_cast<LPARAM>(pContent));
}

// ---- Questions the menus and the editing operations ask.

int CKelSBEditView::HasNoContainers() const {
    const CKelSBBodyObj* pBody = GetCurSBBody();
    return !pBody || pBody->GetContainerCount() == 0;
}

int CKelSBEditView::HasNoLockedTrack() const {
    const CKelSBBodyObj* pBody = GetCurSBBody();
    for (int i = 0; pBody && i < pBody->GetTrackCount(); ++i) {
        const CKelSBTrackObj* pTrack = pBody->GetTrackObj(i);
        if (pTrack && pTrack->IsLocked())
            return 0;
    }
    return 1;
}

CKelSBContainerObj* CKelSBEditView::FindContainerOf(const CKelSBContentBaseObj* pContent) const {
    const CKelSBBodyObj* pBody = GetCurSBBody();
    return pBody ? pBody->GetContainerOf(pContent) : nullptr;
}

int CKelSBEditView::IsContentSelected(const CKelSBContentBaseObj* pContent) const {
    if (!pContent)
        return 0;
    // A material belongs to one container of the storyboard; only a selection that outlived
    // its storyboard needs its containers asked one by one.
    if (const CKelSBContainerObj* pContainer = FindContainerOf(pContent))
        return ListHolds(m_lstSelContainers, pContainer) ? 1 : 0;
    for (POSITION pos = m_lstSelContainers.GetHeadPosition(); pos;) {
        const auto* pContainer =
            static_cast<const CKelSBContainerObj*>(m_lstSelContainers.GetNext(pos));
        if (ListHolds(pContainer->GetContentList(), pContent))
            return 1;
    }
    return 0;
}

std::vector<const CKelSBContentBaseObj*>
CKelSBEditView::SelectedMaterialsWithin(const CRect& clip) const {
    std::vector<const CKelSBContentBaseObj*> materials;
    const CKelSBBodyObj* pBody = GetCurSBBody();
    if (!pBody || m_lstSelContainers.IsEmpty())
        return materials;
    DWORD dwFrom = 0;
    DWORD dwTo = 0;
    if (m_lstSelContainers.GetCount() > kSelectionWalkedUpTo &&
        pBody->AreTrackContentListsComplete()) {
        // A large selection is met from the screen's side: the materials near the clip whose
        // container is selected, put in selection order.
        struct Found {
            INT_PTR nSelected;
            INT_PTR nWithin;
            const CKelSBContentBaseObj* pContent;
        };
        std::vector<Found> found;
        auto [nFirst, nEnd] = GetTrackSpan(clip.top, clip.bottom);
        if (!GetFrameSpan(clip.left, clip.right, dwFrom, dwTo))
            nEnd = nFirst;
        for (int i = nFirst; i < nEnd; ++i) {
            for (const CKelSBContentBaseObj* pContent :
                 pBody->GetTrackObj(i)->GetContentsNear(dwFrom, dwTo)) {
                const CKelSBContainerObj* pContainer = pBody->GetContainerOf(pContent);
                const INT_PTR nSelected = pContainer ? m_lstSelContainers.IndexOf(pContainer) : -1;
                if (nSelected >= 0)
                    found.push_back(
                        {nSelected, pContainer->GetContentList().IndexOf(pContent), pContent});
            }
        }
        std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
            return a.nSelected != b.nSelected ? a.nSelected < b.nSelected : a.nWithin < b.nWithin;
        });
        for (const Found& f : found)
            materials.push_back(f.pContent);
        return materials;
    }
    for (POSITION pos = m_lstSelContainers.GetHeadPosition(); pos;) {
        const auto* pContainer =
            DYNAMIC_DOWNCAST(CKelSBContainerObj, m_lstSelContainers.GetNext(pos));
        const CKelObList* pContents = pContainer ? &pContainer->GetContentList() : nullptr;
        for (POSITION p = pContents ? pContents->GetHeadPosition() : nullptr; p;) {
            if (const auto* pContent = dynamic_cast<CKelSBContentBaseObj*>(pContents->GetNext(p)))
                materials.push_back(pContent);
        }
    }
    return materials;
}

int CKelSBEditView::CollectSelectedMaterials(CKelObList& list) const {
    int nCount = 0;
    for (POSITION pos = m_lstSelContainers.GetHeadPosition(); pos;) {
        const auto* pContainer =
            static_cast<const CKelSBContainerObj*>(m_lstSelContainers.GetNext(pos));
        for (INT_PTR m = 0; m < pContainer->GetContentCount(); ++m) {
            const CKelSBContentBaseObj* pContent = pContainer->GetContentObj(m);
            if (!pContent)
                continue;
            CKelSBContentBaseObj* pCopy = pContent->MakeCopy();
            pCopy->SetGeometryRect(GetMaterialRect(pContent));
            list.AddTail(pCopy);
            ++nCount;
        }
    }
    return nCount;
}

void CKelSBEditView::InvalidateSelection(int bTracks) {
    if (!GetSafeHwnd())
        return;
    const CKelSBBodyObj* pBody = GetCurSBBody();
    if (bTracks) {
        for (POSITION pos = m_lstSelTracks.GetHeadPosition(); pBody && pos;) {
            const int nTrack = pBody->GetTrackIndex(
                static_cast<const CKelSBTrackObj*>(m_lstSelTracks.GetNext(pos)));
            if (nTrack < 0)
                continue;
            InvalidateRect(GetTrackHeaderRect(nTrack), TRUE);
            InvalidateRect(GetTrackRowRect(nTrack), TRUE);
        }
        return;
    }
    CRect client;
    GetClientRect(&client);
    for (const CKelSBContentBaseObj* pContent : SelectedMaterialsWithin(client))
        InvalidateRect(GetMaterialRect(pContent), TRUE);
}
