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
    if (pBody == nullptr || m_selection.GetSelContainerList().IsEmpty())
        return nullptr;
    if (m_selection.GetCurContent() == nullptr) {
        ShowMessage(IDS_SELECT_REFERENCE);
        return nullptr;
    }
    return pBody;
}

// Moves the selected materials of the other tracks than the current material's, track by
// track, so that they start where it starts (bLeft) or end where it ends; one undoable step
// per track. Asks for a reference without a current one, and tells when a track's group
// cannot move there (the groups moved before it stay moved).
int CKelSBEditView::AlignMaterials(int bLeft) {
    if (GetReferencedBody() == nullptr)
        return 0;
    const std::vector<CKelSBContentBaseObj*> materials = Selection().GetSelectedMaterials();
    auto groups = kel::edit::AlignGroups(materials, *m_selection.GetCurContent(), bLeft != 0);
    if (groups && groups->empty())
        return 0; // nothing on another track than the reference's
    if (!groups ||
        !PlaceGroupsInTurn(*groups, bLeft ? IDS_HIST_ALIGN_LEFT : IDS_HIST_ALIGN_RIGHT)) {
        ShowMessage(IDS_ALIGN_IMPOSSIBLE);
        return 0;
    }
    NotifyNavigatorContent(m_selection.GetCurContent());
    EnsureCurContentVisible();
    return 1;
}

int CKelSBEditView::RunSelectionEdit(UINT nTextId, kel::operations::SelectionOperation operation) {
    CKelSBBodyObj* pBody = GetReferencedBody();
    if (pBody == nullptr || operation == nullptr)
        return 0;
    const std::vector<CKelSBContentBaseObj*> materials = Selection().GetSelectedMaterials();
    const auto touchedTracks = operation(*this, nTextId, {*pBody, *GetCurContent(), materials});
    if (!touchedTracks)
        return 0;
    Scroll().UpdateHRange(); // the operation may have made the storyboard longer
    EnsureCurContentVisible();
    InvalidateTrackRows(*touchedTracks);
    ShowSelectedSpan();
    MarkModified();
    NotifyNavigatorContent(m_selection.GetCurContent());
    return 1;
}

// The first selected container receives the materials of the others, in selection order.
int CKelSBEditView::MergeMaterials() {
    CKelSBBodyObj* pBody = GetEditableBody();
    if (pBody == nullptr || m_selection.GetSelContainerList().GetCount() < 2)
        return 0;
    std::vector<CRect> rects;
    CollectSelectionRects(rects);
    if (kel::operations::MergeMaterials(*this, IDS_HIST_MERGE, *pBody, Selection().GetCurFocus(),
                                        Selection().GetSelContainerIndicesInSelectionOrder()) ==
        nullptr)
        return 0;
    CollectSelectionRects(rects);
    InvalidateRects(rects);
    MarkModified();
    return 1;
}

// Every selected container keeps its first material; each other goes alone into a new
// container, and the new ones join the selection.
int CKelSBEditView::SplitMaterials() {
    CKelSBBodyObj* pBody = GetEditableBody();
    if (pBody == nullptr || m_selection.GetSelContainerList().IsEmpty())
        return 0;
    std::vector<CRect> rects;
    CollectSelectionRects(rects);
    if (!kel::operations::SplitMaterials(*this, IDS_HIST_SPLIT, *pBody, Selection().GetCurFocus(),
                                         Selection().GetSelContainerIndicesInSelectionOrder()))
        return 0;
    CollectSelectionRects(rects);
    InvalidateRects(rects);
    MarkModified();
    return 1;
}
