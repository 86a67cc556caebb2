// Taking materials off the storyboard and the material clipboard: delete, cut, copy, delete
// space; paste and fixed point paste place the clipboard's copies again.
//
// Delete and cut disable the host's panels while they run. A delete that cannot keep what it
// removes (every container is saved before anything changes) deletes nothing; a cut that
// deleted nothing leaves the clipboard as it was.
#include "edit/edit_delete.h"
#include "undo/container_cmds.h"
#include "undo/material_cmds.h"
#include "undo/ur_register.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_edit.h"
#include "res/resource.h"

namespace {

// The host's panels stay disabled for as long as it lives.
class HostPanelsDisabled {
public:
    explicit HostPanelsDisabled(CKelSBEditView& view) : m_view(view) {
        m_view.EnableHostPanels(FALSE);
    }
    ~HostPanelsDisabled() { m_view.EnableHostPanels(TRUE); }
    HostPanelsDisabled(const HostPanelsDisabled&) = delete;
    HostPanelsDisabled& operator=(const HostPanelsDisabled&) = delete;

private:
    CKelSBEditView& m_view;
};

// Replaces what the clipboard owns with what `copies` owns.
void ReplaceClipboard(CKelObList& clipboard, CKelObList& copies) {
    clipboard.DeleteAll();
    clipboard.AddTail(&copies);
    copies.RemoveAll(); // the clipboard owns them now
}

} // namespace

int CKelSBEditView::DeleteSelectedMaterials() {
    return DeleteSelection(IDS_HIST_DELETE);
}

int CKelSBEditView::DeleteSelection(UINT nTitleId) {
    CKelSBBodyObj* pBody = GetEditableBody();
    if (pBody == nullptr || m_lstSelContainers.IsEmpty())
        return 0;
    HostPanelsDisabled panels(*this);
    if (!IsSelectionOnUnlockedTracks())
        return 0;
    KelSBEditScope scope(*this);
    auto pCmd = KelSBNewCommand<CKelURSBDeleteContainerCmd>(this, nTitleId);
    pCmd->m_focus = GetCurFocus();
    const auto result =
        kel::edit::DeleteContainers(*pBody, GetSelContainerIndices(), pBody->GetDeleteMode() != 0,
                                    [&](CKelSBContainerObj& /*container*/, int nIndex) {
                                        return pCmd->SaveContainer(nIndex) != 0;
                                    });
    if (!result)
        return 0;
    pCmd->m_arrRippleShifts = result->shifts;
    KelSBRegisterCommand(this, std::move(pCmd));

    // The selection named the containers that went.
    m_lstSelContainers.RemoveAll();
    m_pCurContent = nullptr;
    NotifyNavigatorContent(nullptr);
    InvalidateTrackRows(result->touchedTracks);
    ClearStatusLine();
    MarkModified();
    EnsureCurContentVisible();
    return 1;
}

int CKelSBEditView::CutMaterials() {
    CKelSBEditObj* pDoc = GetSBEditObj();
    if (GetEditableBody() == nullptr || pDoc == nullptr || m_lstSelContainers.IsEmpty())
        return 0;
    HostPanelsDisabled panels(*this);
    if (!IsSelectionOnUnlockedTracks())
        return 0;
    // The copies are taken while the materials are still where they are drawn, and reach the
    // clipboard only once the materials are gone.
    CKelObList copies;
    CollectSelectedMaterials(copies);
    const int bDeleted = DeleteSelection(IDS_HIST_CUT);
    if (bDeleted)
        ReplaceClipboard(pDoc->GetMaterialClipboard(), copies);
    return bDeleted;
}

int CKelSBEditView::CopyMaterials() {
    CKelSBEditObj* pDoc = GetSBEditObj();
    if (GetEditableBody() == nullptr || pDoc == nullptr || m_lstSelContainers.IsEmpty())
        return 0;
    CKelObList copies;
    CollectSelectedMaterials(copies);
    ReplaceClipboard(pDoc->GetMaterialClipboard(), copies);
    return 1;
}

int CKelSBEditView::DeleteSpaceAt(CPoint point) {
    CKelSBBodyObj* pBody = GetEditableBody();
    if (pBody == nullptr)
        return 0;
    KelSBHitResult hit;
    HitTest(point, hit);
    if (hit.pTrack == nullptr || hit.pTrack->IsLocked() || hit.pContent != nullptr)
        return 0;
    const auto closed = kel::edit::CloseSpace(*pBody, hit.nTrackIndex, ClientXToFrame(point.x));
    if (!closed)
        return 0;
    KelSBEditScope scope(*this);
    auto pCmd = KelSBNewCommand<CKelURSBDeleteSpaceCmd>(this, IDS_HIST_DELETE_SPACE);
    pCmd->m_nTrackIndex = hit.nTrackIndex;
    pCmd->m_dwOldFrame = closed->dwOld;
    pCmd->m_dwNewFrame = closed->dwNew;
    KelSBRegisterCommand(this, std::move(pCmd));
    EnsureCurContentVisible();
    InvalidateTrackRows({hit.nTrackIndex});
    MarkModified();
    return 1;
}
