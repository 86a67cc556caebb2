// Arranging the selected materials: aligned to the current one, one length for all, and
// merging or splitting their containers. Merge and split work in the order the containers were
// selected, and their commands replay that order.
#include "edit/edit_arrange.h"
#include "edit/edit_change.h"
#include "undo/container_cmds.h"
#include "undo/material_cmds.h"
#include "undo/ur_register.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "res/resource.h"

#include <new>

namespace {

// The step of a merge or split, with the focus, the containers in the order the operation
// takes them and copies of them as they are now; null when they cannot be copied.
template <class Cmd>
std::unique_ptr<Cmd> RecordRegrouping(CKelSBEditView& view, UINT nTextId,
                                      std::vector<int> Cmd::*pOrder,
                                      const std::vector<int>& order) {
    auto pCmd = KelSBNewCommand<Cmd>(&view, nTextId);
    pCmd->m_focus = view.Selection().GetCurFocus();
    (*pCmd).*pOrder = order;
    if (!pCmd->RecordContainers())
        return nullptr;
    return pCmd;
}

} // namespace

// The storyboard an operation against the current material (align, same length) changes:
// null when it may not be edited or nothing is selected, and, after asking the user to
// select a reference, when no material is current.
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

// Gives every selected material but the current one the current one's length; materials
// they run into on their tracks move right. Asks for a reference without a current one.
int CKelSBEditView::SameLength() {
    CKelSBBodyObj* pBody = GetReferencedBody();
    if (pBody == nullptr)
        return 0;
    const std::vector<CKelSBContentBaseObj*> materials = Selection().GetSelectedMaterials();
    auto record = kel::edit::SameLength(*pBody, *m_selection.GetCurContent(), materials);
    if (!record || record->IsEmpty())
        return 0;
    KelSBEditScope scope(*this);
    auto pCmd = KelSBNewCommand<CKelURSBSameLengthCmd>(this, IDS_HIST_SAME_LENGTH);
    const std::vector<int> touchedTracks = record->touchedTracks;
    pCmd->m_record = std::move(*record);
    KelSBRegisterCommand(this, std::move(pCmd));
    Scroll().UpdateHRange(); // pushes may have made the storyboard longer
    EnsureCurContentVisible();
    InvalidateTrackRows(touchedTracks);
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
    const std::vector<int> order = Selection().GetSelContainerIndicesInSelectionOrder();
    if (order.size() < 2)
        return 0;
    KelSBEditScope scope(*this);
    kel::edit::TrackListUpkeep lists(*pBody);
    auto pCmd = RecordRegrouping(*this, IDS_HIST_MERGE,
                                 &CKelURSBUnionContainerCmd::m_arrMergedContainers, order);
    if (!pCmd)
        return 0;
    std::vector<CRect> rects;
    CollectSelectionRects(rects);
    CKelSBContainerObj* pReceiver = kel::edit::MergeContainers(*pBody, order, lists);
    if (pReceiver == nullptr)
        return 0;
    KelSBRegisterCommand(this, std::move(pCmd));
    m_selection.GetSelContainerList().RemoveAll();
    m_selection.GetSelContainerList().AddTail(pReceiver);
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
    const std::vector<int> order = Selection().GetSelContainerIndicesInSelectionOrder();
    bool bAnyToSplit = false;
    for (int nIndex : order)
        bAnyToSplit = bAnyToSplit || pBody->GetContainerObj(nIndex)->GetContentCount() > 1;
    if (!bAnyToSplit)
        return 0;
    KelSBEditScope scope(*this);
    kel::edit::TrackListUpkeep lists(*pBody);
    auto pCmd = RecordRegrouping(*this, IDS_HIST_SPLIT,
                                 &CKelURSBSplitContainerCmd::m_arrSplitContainers, order);
    if (!pCmd)
        return 0;
    std::vector<CRect> rects;
    CollectSelectionRects(rects);
    std::optional<std::vector<CKelSBContainerObj*>> added;
    try {
        added = kel::edit::SplitContainers(*pBody, order, lists);
    } catch (const std::bad_alloc&) {
        return 0; // nothing was split
    }
    if (!added || added->empty())
        return 0;
    KelSBRegisterCommand(this, std::move(pCmd));
    for (CKelSBContainerObj* pContainer : *added)
        m_selection.GetSelContainerList().AddTail(pContainer);
    CollectSelectionRects(rects);
    InvalidateRects(rects);
    MarkModified();
    return 1;
}
