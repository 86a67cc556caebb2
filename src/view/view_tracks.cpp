// Track operations and storyboard settings: the track menu's commands on the track it was
// opened over (the current track index), the storyboard properties and the delete mode.
//
// Every change is one undoable step, registered only once the storyboard has really changed:
// a model call that fails leaves no trace, neither in the storyboard nor in its history. The
// copy and cut operations replace the track clipboard, so that it always holds the one track a
// paste inserts (and that the paste's undo takes out again). Tracks that are locked are not
// moved, deleted or cut. None of these acts while the storyboard is loaded onto the output,
// except the delete mode switch, which changes nothing that plays.
#include "dialog/module_instance.h"
#include "dialog/sbedit_dlg.h"
#include "operations/op_tracks.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"
#include "host/services/module_rc.h"
#include "platform/cursor.h"
#include "res/resource.h"

#include <optional>

int CKelSBEditView::AppendCurTrack() {
    CKelSBBodyObj* pBody = GetEditableBody();
    if (!pBody || !kel::operations::AppendTrack(*this, IDS_HIST_APPEND_TRACK, *pBody))
        return 0;
    AfterTrackChange();
    return 1;
}

int CKelSBEditView::InsertCurTrack() {
    CKelSBBodyObj* pBody = GetEditableBody();
    if (!pBody || !kel::operations::InsertTrack(*this, IDS_HIST_INSERT_TRACK, *pBody,
                                                m_selection.GetCurTrackIndex()))
        return 0;
    AfterTrackChange();
    return 1;
}

int CKelSBEditView::MoveCurTrack(int nDirection) {
    CKelSBBodyObj* pBody = GetEditableBody();
    const UINT nTextId = nDirection == 0 ? IDS_HIST_MOVE_UP_TRACK : IDS_HIST_MOVE_DOWN_TRACK;
    if (!pBody || !kel::operations::MoveTrack(*this, nTextId, *pBody,
                                              m_selection.GetCurTrackIndex(), nDirection))
        return 0;
    AfterTrackChange();
    return 1;
}

int CKelSBEditView::RemoveCurTrack(bool bCut) {
    CKelSBBodyObj* pBody = GetEditableBody();
    CKelSBEditObj* pDoc = GetSBEditObj();
    const int nTrack = m_selection.GetCurTrackIndex();
    const CKelSBTrackObj* pTrack = pBody ? pBody->GetTrackObj(nTrack) : nullptr;
    if (!pTrack || !pDoc || pBody->GetTrackCount() < 2 || pTrack->IsLocked())
        return 0;
    // Cutting always asks; an empty track is deleted without a question.
    if ((bCut || pTrack->HasContentObj()) &&
        !AskYes(bCut ? IDS_ASK_CUT_TRACK : IDS_ASK_DELETE_TRACK))
        return 0;
    std::optional<CWaitCursor> wait;
    if (bCut)
        wait.emplace();
    if (!kel::operations::RemoveTrack(*this, bCut ? IDS_HIST_CUT_TRACK : IDS_HIST_DELETE_TRACK,
                                      *pBody, *pDoc, nTrack, bCut))
        return 0;
    ClearStatusLine();
    AfterTrackChange();
    return 1;
}

int CKelSBEditView::CopyCurTrack() {
    CKelSBBodyObj* pBody = GetEditableBody();
    CKelSBEditObj* pDoc = GetSBEditObj();
    if (!pBody || !pDoc || m_selection.GetCurTrackIndex() < 0)
        return 0;
    CWaitCursor wait;
    // Copying changes only the clipboard: no step, and the document stays unchanged.
    return kel::operations::CopyTrack(*pBody, *pDoc, m_selection.GetCurTrackIndex()) ? 1 : 0;
}

int CKelSBEditView::PasteAtCurTrack() {
    CKelSBBodyObj* pBody = GetEditableBody();
    CKelSBEditObj* pDoc = GetSBEditObj();
    if (!pBody || !pDoc || pDoc->GetTrackClipboard().IsEmpty() ||
        pBody->GetTrackCount() >= CKelSBBodyObj::kMaxTrackCount ||
        m_selection.GetCurTrackIndex() < 0)
        return 0;
    CWaitCursor wait;
    if (!kel::operations::PasteTrack(*this, IDS_HIST_PASTE_TRACK, *pBody, *pDoc,
                                     m_pCurScene->GetPieceList(), m_selection.GetCurTrackIndex()))
        return 0;
    AfterTrackChange();
    return 1;
}

// ---- Storyboard settings ----------------------------------------------------------------------

// The storyboard's own properties dialog ("Storyboard Setup").
int CKelSBEditView::EditSBSettings() {
    CKelSBBodyObj* pBody = GetEditableBody();
    if (!pBody)
        return 0;
    // The host's panels stay disabled from the dialog's start to the end of the step.
    bool bAsked = false;
    const bool bChanged = kel::operations::EditSettings(*this, IDS_HIST_SETTINGS, [&] {
        bAsked = true;
        EnableHostPanels(FALSE);
        m_bHistorySync = 0;
        const int bEdited = pBody->EditAttr(this);
        m_bHistorySync = 1;
        return bEdited != 0;
    });
    if (bChanged) {
        if (m_pParentDlg)
            m_pParentDlg->UpdateCaption(m_selection.GetCurContent());
        EnsureCurContentVisible();
        RebuildKeepingSelection();
        MarkModified();
    }
    if (bAsked)
        EnableHostPanels(TRUE);
    return bChanged ? 1 : 0;
}

// ID_DELETE_MODE_RIPPLE or ID_DELETE_MODE_NORMAL: a setting, not a step of the history.
int CKelSBEditView::SetDeleteMode(UINT nId) {
    CKelSBBodyObj* pBody = GetCurSBBody();
    if (!pBody)
        return 0;
    if (nId == ID_DELETE_MODE_RIPPLE)
        pBody->SetDeleteMode(1);
    else if (nId == ID_DELETE_MODE_NORMAL)
        pBody->SetDeleteMode(0);
    // A setting of the storyboard, kept with it but not a step of its history.
    MarkModified();
    return 1;
}

// ---- Shared steps -----------------------------------------------------------------------------

// view_sbbody_ops.cpp).
// A question with Yes, No and Cancel; true only for Yes.
int CKelSBEditView::AskYes(UINT nTextId) {
    m_bHistorySync = 0;
    const int nAnswer = CKelModuleRC::MessageBoxW(kel::sbedit::ModuleInstance(), nTextId,
                                                  MB_YESNOCANCEL | MB_ICONQUESTION, this);
    m_bHistorySync = 1;
    // Only a Yes acts: No, Cancel and a box that could not be shown all leave things alone.
    return nAnswer == IDYES;
}

void CKelSBEditView::AfterTrackChange() {
    EnsureCurContentVisible();
    RebuildKeepingSelection();
    MarkModified();
    NotifyNavigatorContent(m_selection.GetCurContent());
}

// The selector, the ranges and the picture from the storyboard; the selection stays.
void CKelSBEditView::RebuildKeepingSelection() {
    // The model keeps the track lists in step with its track operations (and the debug check
    // after each step says so); what the view derives from the storyboard follows here.
    if (!GetCurSBBody())
        return;
    FillSBSelector();
    Scroll().UpdateHRange();
    Scroll().UpdateVRange();
    Scroll().UpdateZoomBarRange();
    if (GetSafeHwnd()) {
        Invalidate();
        UpdateWindow();
    }
}
