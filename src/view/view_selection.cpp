// Which tracks and materials of the timeline are selected. Materials are selected by their
// container: selecting one material selects every material that was put on the storyboard
// together with it.
#include "view/view_selection.h"

#include "dialog/messages.h"
#include "dialog/sbedit_dlg.h"
#include "view/sbedit_view.h"
#include "view/view_paint_tools.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"

#include <algorithm>
#include <climits>

namespace {

bool ListHolds(const CObList& list, const CObject* pObject) {
    return pObject && list.Find(const_cast<CObject*>(pObject)) != nullptr;
}

} // namespace

// ---- Selecting.

int KelSBViewSelection::SelectTrackAt(CPoint point, int bExclusive) {
    const CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    if (!pBody)
        return 0;
    int nTrack = -1;
    const auto [nFirst, nEnd] = m_view.Geometry().GetTrackSpan(point.y, point.y + 1);
    for (int i = nFirst; i < nEnd && nTrack < 0; ++i) {
        CRect rc;
        rc.UnionRect(m_view.Geometry().GetTrackRowRect(i), m_view.Geometry().GetTrackHeaderRect(i));
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
    m_view.InvalidateRect(m_view.Geometry().GetTrackHeaderRect(nTrack), TRUE);
    m_view.UpdateWindow();
    return 1;
}

int KelSBViewSelection::SelectMaterialAt(CPoint point, int bExclusive) {
    KelSBHitResult hit;
    m_view.Geometry().HitTest(point, hit);
    if (!hit.pContainer || !hit.pContent) {
        static_cast<const CKelSBEditorServices&>(m_view).NotifyNavigatorContent(nullptr);
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
    static_cast<const CKelSBEditorServices&>(m_view).NotifyNavigatorContent(m_pCurContent);
    if (pPrevious)
        m_view.InvalidateRect(m_view.Geometry().GetMaterialRect(pPrevious), TRUE);
    m_view.InvalidateRect(hit.rcContainerOutline, TRUE);
    return 1;
}

void KelSBViewSelection::SelectByRect(const CRect& rect) {
    ClearMaterialSelection();
    const CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    if (!pBody)
        return;
    const auto touches = [&](const CKelSBContentBaseObj* pContent) {
        CRect overlap;
        return overlap.IntersectRect(m_view.Geometry().GetMaterialHitRect(pContent), rect) != FALSE;
    };
    DWORD dwFrom = 0;
    DWORD dwTo = 0;
    if (pBody->AreTrackContentListsComplete()) {
        // The materials in the band are near it on the rows it crosses; their containers go in
        // in storyboard order.
        std::vector<int> found;
        auto [nFirst, nEnd] = m_view.Geometry().GetTrackSpan(rect.top, rect.bottom);
        if (!m_view.Geometry().GetFrameSpan(rect.left, rect.right, dwFrom, dwTo))
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
        static_cast<const CKelSBEditorServices&>(m_view).NotifyNavigatorContent(m_pCurContent);
    }
    InvalidateSelection(FALSE);
}

int KelSBViewSelection::SelectAllMaterials() {
    const CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    if (!pBody)
        return 0;
    m_lstSelContainers.RemoveAll();
    const CKelObList& containers = pBody->GetContainerList();
    for (POSITION pos = containers.GetHeadPosition(); pos;) {
        if (auto* pContainer = DYNAMIC_DOWNCAST(CKelSBContainerObj, containers.GetNext(pos)))
            m_lstSelContainers.AddTail(pContainer);
    }
    m_view.Invalidate(TRUE);
    return 1;
}

int KelSBViewSelection::SelectAllMaterialsOfSelTracks() {
    if (!m_view.GetCurSBBody() || m_lstSelTracks.IsEmpty())
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

void KelSBViewSelection::ClearMaterialSelection() {
    m_pCurContent = nullptr;
    if (m_view.GetParentDlg())
        m_view.GetParentDlg()->UpdateCaption(nullptr);
    if (!m_lstSelContainers.IsEmpty()) {
        InvalidateSelection(FALSE);
        m_lstSelContainers.RemoveAll();
    }
}

void KelSBViewSelection::ClearTrackSelection() {
    if (!m_lstSelTracks.IsEmpty()) {
        InvalidateSelection(TRUE);
        m_lstSelTracks.RemoveAll();
    }
}

void KelSBViewSelection::ClearAllSelection() {
    ClearTrackSelection();
    ClearMaterialSelection();
    m_view.RefreshView(nullptr);
}

void KelSBViewSelection::ShowSelectedSpan() {
    if (!m_view.GetParentDlg())
        return;
    if (m_lstSelContainers.IsEmpty()) {
        m_view.GetParentDlg()->UpdateCaption(0, 0, 0, 0);
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
        m_view.GetParentDlg()->UpdateCaption(0, 0, 0, 0);
        return;
    }
    m_view.GetParentDlg()->UpdateCaption(dwIn, dwOut, dwOut - dwIn, 1);
}

// ---- Questions the menus and the editing operations ask.

int KelSBViewSelection::HasNoContainers() const {
    const CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    return !pBody || pBody->GetContainerCount() == 0;
}

int KelSBViewSelection::HasNoLockedTrack() const {
    const CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    for (int i = 0; pBody && i < pBody->GetTrackCount(); ++i) {
        const CKelSBTrackObj* pTrack = pBody->GetTrackObj(i);
        if (pTrack && pTrack->IsLocked())
            return 0;
    }
    return 1;
}

CKelSBContainerObj*
KelSBViewSelection::FindContainerOf(const CKelSBContentBaseObj* pContent) const {
    const CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    return pBody ? pBody->GetContainerOf(pContent) : nullptr;
}

int KelSBViewSelection::IsContentSelected(const CKelSBContentBaseObj* pContent) const {
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
KelSBViewSelection::SelectedMaterialsWithin(const CRect& clip) const {
    std::vector<const CKelSBContentBaseObj*> materials;
    const CKelSBBodyObj* pBody = m_view.GetCurSBBody();
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
        auto [nFirst, nEnd] = m_view.Geometry().GetTrackSpan(clip.top, clip.bottom);
        if (!m_view.Geometry().GetFrameSpan(clip.left, clip.right, dwFrom, dwTo))
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

int KelSBViewSelection::CollectSelectedMaterials(CKelObList& list) const {
    int nCount = 0;
    for (POSITION pos = m_lstSelContainers.GetHeadPosition(); pos;) {
        const auto* pContainer =
            static_cast<const CKelSBContainerObj*>(m_lstSelContainers.GetNext(pos));
        for (INT_PTR m = 0; m < pContainer->GetContentCount(); ++m) {
            const CKelSBContentBaseObj* pContent = pContainer->GetContentObj(m);
            if (!pContent)
                continue;
            CKelSBContentBaseObj* pCopy = pContent->MakeCopy();
            pCopy->SetGeometryRect(m_view.Geometry().GetMaterialRect(pContent));
            list.AddTail(pCopy);
            ++nCount;
        }
    }
    return nCount;
}

void KelSBViewSelection::InvalidateSelection(int bTracks) {
    if (!m_view.GetSafeHwnd())
        return;
    const CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    if (bTracks) {
        for (POSITION pos = m_lstSelTracks.GetHeadPosition(); pBody && pos;) {
            const int nTrack = pBody->GetTrackIndex(
                static_cast<const CKelSBTrackObj*>(m_lstSelTracks.GetNext(pos)));
            if (nTrack < 0)
                continue;
            m_view.InvalidateRect(m_view.Geometry().GetTrackHeaderRect(nTrack), TRUE);
            m_view.InvalidateRect(m_view.Geometry().GetTrackRowRect(nTrack), TRUE);
        }
        return;
    }
    CRect client;
    m_view.GetClientRect(&client);
    for (const CKelSBContentBaseObj* pContent : SelectedMaterialsWithin(client))
        m_view.InvalidateRect(m_view.Geometry().GetMaterialRect(pContent), TRUE);
}

// ---- The selection as indices, and back.

void KelSBViewSelection::CollectSelectionRects(std::vector<CRect>& rects) const {
    for (POSITION pos = m_lstSelContainers.GetHeadPosition(); pos;) {
        const auto* pContainer =
            static_cast<const CKelSBContainerObj*>(m_lstSelContainers.GetNext(pos));
        const CKelObList& contents = pContainer->GetContentList();
        for (POSITION p = contents.GetHeadPosition(); p != nullptr;) {
            const auto* pContent = DYNAMIC_DOWNCAST(CKelSBContentBaseObj, contents.GetNext(p));
            const CRect rect = m_view.Geometry().GetMaterialRect(pContent);
            if (!rect.IsRectEmpty())
                rects.push_back(rect);
        }
    }
}

kel::edit::Focus KelSBViewSelection::GetCurFocus() const {
    const CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    return pBody ? kel::edit::FindFocus(*pBody, m_pCurContent) : kel::edit::Focus{};
}

std::vector<int> KelSBViewSelection::GetSelContainerIndices() const {
    const CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    return pBody ? kel::edit::ContainerIndices(*pBody, m_lstSelContainers) : std::vector<int>{};
}

std::vector<int> KelSBViewSelection::GetSelContainerIndicesInSelectionOrder() const {
    const CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    return pBody ? kel::edit::ContainerIndicesInListOrder(*pBody, m_lstSelContainers)
                 : std::vector<int>{};
}

void KelSBViewSelection::RestoreSelection(const std::vector<int>& containerIndices,
                                          const kel::edit::Focus& focus, bool bTracksToo) {
    const CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    if (!pBody)
        return;
    kel::edit::RestoreSelection(*pBody, containerIndices, focus,
                                {m_lstSelTracks, m_lstSelContainers, m_pCurContent}, bTracksToo);
}

int KelSBViewSelection::IsSelectionOnUnlockedTracks() const {
    const CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    if (!pBody)
        return 0;
    // The locks are read once, not once a material: a select all asks this of every material.
    std::vector<char> locked(static_cast<std::size_t>(pBody->GetTrackCount()));
    bool bAnyLocked = false;
    for (int t = 0; t < pBody->GetTrackCount(); ++t) {
        const CKelSBTrackObj* pTrack = pBody->GetTrackObj(t);
        locked[static_cast<std::size_t>(t)] = pTrack != nullptr && pTrack->IsLocked();
        bAnyLocked = bAnyLocked || locked[static_cast<std::size_t>(t)];
    }
    if (!bAnyLocked)
        return 1;
    for (POSITION pos = m_lstSelContainers.GetHeadPosition(); pos;) {
        const auto* pContainer =
            static_cast<const CKelSBContainerObj*>(m_lstSelContainers.GetNext(pos));
        if (pContainer == nullptr)
            continue;
        const CKelObList& contents = pContainer->GetContentList();
        for (POSITION p = contents.GetHeadPosition(); p != nullptr;) {
            const auto* pContent = DYNAMIC_DOWNCAST(CKelSBContentBaseObj, contents.GetNext(p));
            const std::size_t nTrack = pContent ? pContent->GetTrackIndex() : locked.size();
            if (nTrack < locked.size() && locked[nTrack])
                return 0;
        }
    }
    return 1;
}

std::vector<CKelSBContentBaseObj*> KelSBViewSelection::GetSelectedMaterials() const {
    std::vector<CKelSBContentBaseObj*> materials;
    for (POSITION pos = m_lstSelContainers.GetHeadPosition(); pos != nullptr;) {
        const auto* pContainer = static_cast<CKelSBContainerObj*>(m_lstSelContainers.GetNext(pos));
        for (INT_PTR m = 0; m < pContainer->GetContentCount(); ++m)
            materials.push_back(pContainer->GetContentObj(m));
    }
    return materials;
}

void KelSBViewSelection::Forget() {
    m_pCurContent = nullptr;
    m_lstSelTracks.RemoveAll();
    m_lstSelContainers.RemoveAll();
}
