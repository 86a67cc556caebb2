// What lies under a point of the timeline, and which tracks and materials are selected.
// Materials are selected by their container: selecting one material selects every material
// that was put on the storyboard together with it.
#include "dialog/sbedit_dlg.h"
#include "module/messages.h"
#include "view/sbedit_view.h"

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

int CKelSBEditView::HitTest(CPoint point, KelSBHitResult& result) const {
    result = KelSBHitResult{};
    if (!GetTrackAreaRect().PtInRect(point))
        return 1;
    const CKelSBBodyObj* pBody = GetCurSBBody();
    if (!pBody)
        return 0;
    for (int i = 0; i < pBody->GetTrackCount(); ++i) {
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

    for (int c = 0; c < pBody->GetContainerCount(); ++c) {
        CKelSBContainerObj* pContainer = pBody->GetContainerObj(c);
        if (!pContainer)
            continue;
        CRect outline;
        CKelSBContentBaseObj* pHit = nullptr;
        CRect rcHit;
        for (INT_PTR m = 0; m < pContainer->GetContentCount(); ++m) {
            CKelSBContentBaseObj* pContent = pContainer->GetContentObj(m);
            if (!pContent)
                continue;
            const CRect rc = GetMaterialHitRect(pContent);
            outline.UnionRect(outline, rc);
            // The extra pixel at the bottom of a phase material reaches into the next row;
            // that row belongs to the next track alone.
            if (IsPhaseContent(pContent) && pContent->GetTrackIndex() != result.nTrackIndex)
                continue;
            if (rc.PtInRect(point)) {
                pHit = pContent;
                rcHit = rc;
            }
        }
        if (pHit) {
            result.pContainer = pContainer;
            result.pContent = pHit;
            result.rcContent = rcHit;
            result.rcContainerOutline = outline;
            return 1;
        }
    }
    return 0;
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
    for (int i = 0; i < pBody->GetTrackCount(); ++i) {
        CRect rc = GetTrackHeaderRect(i);
        rc.DeflateRect(3, 3);
        const CRect play(rc.left, rc.top, rc.left + 16, rc.top + 16);
        CRect lock = play;
        lock.OffsetRect(16, 0);
        if (play.PtInRect(point)) {
            nButton = 0;
            return i;
        }
        if (lock.PtInRect(point)) {
            nButton = 1;
            return i;
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
    for (int i = 0; i < pBody->GetTrackCount() && nTrack < 0; ++i) {
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
    for (int c = 0; c < pBody->GetContainerCount(); ++c) {
        CKelSBContainerObj* pContainer = pBody->GetContainerObj(c);
        for (INT_PTR m = 0; pContainer && m < pContainer->GetContentCount(); ++m) {
            CRect overlap;
            if (overlap.IntersectRect(GetMaterialHitRect(pContainer->GetContentObj(m)), rect)) {
                m_lstSelContainers.AddTail(pContainer);
                break;
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
    for (int c = 0; c < pBody->GetContainerCount(); ++c)
        m_lstSelContainers.AddTail(pBody->GetContainerObj(c));
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
        for (INT_PTR m = 0; pTrack && m < pTrack->GetContentCount(); ++m) {
            CKelSBContentBaseObj* pContent = pTrack->GetContentObj(m);
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
        CObList ordered;
        ordered.AddTail(&pContainer->GetContentList());
        if (ordered.IsEmpty())
            continue;
        CKelSBContainerObj::MakeOrder(ordered, 0);
        dwIn = std::min(dwIn,
                        static_cast<const CKelSBContentBaseObj*>(ordered.GetHead())->GetStoryIn());
        // Materials of one container may overlap on different tracks, so the one that starts
        // last need not end last: take the latest outlet of them all.
        for (POSITION m = ordered.GetHeadPosition(); m;)
            dwOut = std::max(
                dwOut, static_cast<const CKelSBContentBaseObj*>(ordered.GetNext(m))->GetStoryOut());
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
    if (!pBody || !pContent)
        return nullptr;
    for (int c = 0; c < pBody->GetContainerCount(); ++c) {
        CKelSBContainerObj* pContainer = pBody->GetContainerObj(c);
        if (pContainer && ListHolds(pContainer->GetContentList(), pContent))
            return pContainer;
    }
    return nullptr;
}

int CKelSBEditView::IsContentSelected(const CKelSBContentBaseObj* pContent) const {
    for (POSITION pos = m_lstSelContainers.GetHeadPosition(); pContent && pos;) {
        const auto* pContainer =
            static_cast<const CKelSBContainerObj*>(m_lstSelContainers.GetNext(pos));
        if (ListHolds(pContainer->GetContentList(), pContent))
            return 1;
    }
    return 0;
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
    for (POSITION pos = m_lstSelContainers.GetHeadPosition(); pos;) {
        const auto* pContainer =
            static_cast<const CKelSBContainerObj*>(m_lstSelContainers.GetNext(pos));
        for (INT_PTR m = 0; m < pContainer->GetContentCount(); ++m)
            InvalidateRect(GetMaterialRect(pContainer->GetContentObj(m)), TRUE);
    }
}
