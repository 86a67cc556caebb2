// Arranging the selected materials: aligned to the current one, one length for all, and
// merging or splitting their containers. Merge and split work in the order the containers were
// selected, and their commands replay that order.
#include "edit/edit_arrange.h"
#include "operations/op_arrange.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "res/resource.h"

CKelSBBodyObj* CKelSBEditView::GetReferencedBody() {
    CKelSBBodyObj* pBody = GetEditableBody();
    if (pBody == nullptr || m_lstSelContainers.IsEmpty())
        return nullptr;
    if (m_pCurContent == nullptr) {
        ShowMessage(IDS_SELECT_REFERENCE);
        return nullptr;
    }
    return pBody;
}

std::vector<CKelSBContentBaseObj*> CKelSBEditView::GetSelectedMaterials() const {
    std::vector<CKelSBContentBaseObj*> materials;
    for (POSITION pos = m_lstSelContainers.GetHeadPosition(); pos != nullptr;) {
        const auto* pContainer = static_cast<CKelSBContainerObj*>(m_lstSelContainers.GetNext(pos));
        for (INT_PTR m = 0; m < pContainer->GetContentCount(); ++m)
            materials.push_back(pContainer->GetContentObj(m));
    }
    return materials;
}

int CKelSBEditView::AlignMaterials(int bLeft) {
    if (GetReferencedBody() == nullptr)
        return 0;
    const std::vector<CKelSBContentBaseObj*> materials = GetSelectedMaterials();
    auto groups = kel::edit::AlignGroups(materials, *m_pCurContent, bLeft != 0);
    if (groups && groups->empty())
        return 0; // nothing on another track than the reference's
    if (!groups ||
        !PlaceGroupsInTurn(*groups, bLeft ? IDS_HIST_ALIGN_LEFT : IDS_HIST_ALIGN_RIGHT)) {
        ShowMessage(IDS_ALIGN_IMPOSSIBLE);
        return 0;
    }
    NotifyNavigatorContent(m_pCurContent);
    EnsureCurContentVisible();
    return 1;
}

int CKelSBEditView::SameLength() {
    CKelSBBodyObj* pBody = GetReferencedBody();
    if (pBody == nullptr)
        return 0;
    const auto touchedTracks = kel::operations::SameLength(*this, IDS_HIST_SAME_LENGTH, *pBody,
                                                           *m_pCurContent, GetSelectedMaterials());
    if (!touchedTracks)
        return 0;
    UpdateHRange(); // pushes may have made the storyboard longer
    EnsureCurContentVisible();
    InvalidateTrackRows(*touchedTracks);
    ShowSelectedSpan();
    MarkModified();
    NotifyNavigatorContent(m_pCurContent);
    return 1;
}

int CKelSBEditView::MergeMaterials() {
    CKelSBBodyObj* pBody = GetEditableBody();
    if (pBody == nullptr || m_lstSelContainers.GetCount() < 2)
        return 0;
    std::vector<CRect> rects;
    CollectSelectionRects(rects);
    if (kel::operations::MergeMaterials(*this, IDS_HIST_MERGE, *pBody, GetCurFocus(),
                                        GetSelContainerIndicesInSelectionOrder()) == nullptr)
        return 0;
    CollectSelectionRects(rects);
    InvalidateRects(rects);
    MarkModified();
    return 1;
}

int CKelSBEditView::SplitMaterials() {
    CKelSBBodyObj* pBody = GetEditableBody();
    if (pBody == nullptr || m_lstSelContainers.IsEmpty())
        return 0;
    std::vector<CRect> rects;
    CollectSelectionRects(rects);
    if (!kel::operations::SplitMaterials(*this, IDS_HIST_SPLIT, *pBody, GetCurFocus(),
                                         GetSelContainerIndicesInSelectionOrder()))
        return 0;
    CollectSelectionRects(rects);
    InvalidateRects(rects);
    MarkModified();
    return 1;
}
