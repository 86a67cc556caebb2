// The host's selected items put on the storyboard (WM_CG_ADD_ITEM_TO_SB): each group or movie on
// a new track of its own, as one undoable step.
#include "dialog/sbedit_dlg.h"
#include "edit/edit_add_items.h"
#include "operations/op_materials.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/scene/play_scene.h"
#include "res/resource.h"

// The host's items (view_add_items.cpp): WM_CG_ADD_ITEM_TO_SB. Puts the scene's
// selected groups (their In pieces; with a non-zero mode In, Stay and Out) and movies each
// on a new track, inserted at the first selected track or appended, as one undoable step,
// and selects them. 0 without a storyboard, at 255 tracks, or without such items.
int CKelSBEditView::AddSelectedItems(int nMode) {
    CKelSBBodyObj* pBody = GetCurSBBody();
    if (!pBody || !m_pCurScene || pBody->GetTrackCount() >= CKelSBBodyObj::kMaxTrackCount ||
        m_pCurScene->GetPieceList()->IsEmpty() || kel::edit::CountSelectedItems(*m_pCurScene) == 0)
        return 0;
    // The new tracks go in at the first selected track, else after the last.
    int nTarget = pBody->GetTrackCount();
    for (int i = 0; i < pBody->GetTrackCount() && !m_selection.GetSelTrackList().IsEmpty(); ++i) {
        if (m_selection.GetSelTrackList().Find(pBody->GetTrackObj(i))) {
            nTarget = i;
            break;
        }
    }
    if (!m_pParentDlg || !m_pParentDlg->GetSafeHwnd())
        return 0;
    if (!m_pParentDlg->IsWindowVisible()) {
        m_pParentDlg->ShowWindow(SW_SHOW);
        SetFocus();
    }
    // The host asks while the mouse may be busy on the view; new tracks move what a gesture
    // holds, so it gives way.
    CancelGesture();

    if (!kel::operations::AddSelectedItems(
            *this, nMode ? IDS_HIST_ADD_ITEMS_IN_STAY_OUT : IDS_HIST_ADD_ITEMS_IN, *pBody,
            *m_pCurScene, nTarget, nMode, Selection().GetCurFocus(),
            Selection().GetSelContainerIndices()))
        return 0;
    Scroll().UpdateHRange();
    Scroll().UpdateVRange();
    EnsureCurContentVisible();
    Invalidate(TRUE);
    MarkModified();
    NotifyNavigatorContent(m_selection.GetCurContent());
    return 1;
}
