// Track operations and storyboard settings: the track menu's commands on the track it was
// opened over (the current track index), the storyboard properties and the delete mode.
//
// Every change is one undoable step, registered only once the storyboard has really changed:
// a model call that fails leaves no trace, neither in the storyboard nor in its history. The
// copy and cut operations replace the track clipboard, so that it always holds the one track a
// paste inserts (and that the paste's undo takes out again). Tracks that are locked are not
// moved, deleted or cut. None of these acts while the storyboard is loaded onto the output,
// except the delete mode switch, which changes nothing that plays.
#include "dialog/sbedit_dlg.h"
#include "module/module_instance.h"
#include "undo/track_cmds.h"
#include "undo/ur_register.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"
#include "host/services/module_rc.h"
#include "platform/cursor.h"
#include "res/resource.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace {

// The track above the one an operation acted on (the first track for the first).
int TrackAbove(int nTrack) {
    return std::max(nTrack - 1, 0);
}

bool IsLockedTrack(const CKelSBBodyObj& body, int nTrack) {
    const CKelSBTrackObj* pTrack = body.GetTrackObj(nTrack);
    return pTrack != nullptr && pTrack->IsLocked();
}

// Copies (or cuts) the track into a list of its own, and only when that worked puts it on the
// clipboard in place of what the clipboard held, so a refused call leaves the clipboard alone.
bool ReplaceTrackClipboard(CKelSBEditObj& document, CKelSBBodyObj& body, int nTrack, bool bCut) {
    CKelObList taken(CKelObList::kQuiet);
    if (!(bCut ? body.CutTrack(taken, nTrack) : body.CopyTrack(taken, nTrack)))
        return false;
    CKelObList& clipboard = document.GetTrackClipboard();
    clipboard.DeleteAll();
    while (!taken.IsEmpty())
        clipboard.AddTail(taken.RemoveHead());
    return true;
}

// The step of a track about to be deleted or cut, holding what undo needs; null when it could
// not be taken.
template <class Cmd>
std::unique_ptr<CKelSBEditURBaseCmd> RecordRemoval(CKelSBEditView* pView, UINT nTextId,
                                                   int nTrack) {
    auto pCmd = KelSBNewCommand<Cmd>(pView, nTextId);
    if (!pCmd->Record(nTrack))
        return nullptr;
    return pCmd;
}

} // namespace

int CKelSBEditView::AppendCurTrack() {
    CKelSBBodyObj* pBody = GetEditableBody();
    if (!pBody || pBody->GetTrackCount() >= CKelSBBodyObj::kMaxTrackCount || !pBody->AppendTrack())
        return 0;
    KelSBEditScope scope(*this);
    const int nTrack = pBody->GetTrackCount() - 1;
    auto pCmd = KelSBNewCommand<CKelURSBAppendTrackCmd>(this, IDS_HIST_APPEND_TRACK);
    pCmd->m_nTrackIndex = nTrack;
    KelSBRegisterCommand(this, std::move(pCmd));
    SelectOnlyTrack(nTrack);
    AfterTrackChange();
    return 1;
}

int CKelSBEditView::InsertCurTrack() {
    CKelSBBodyObj* pBody = GetEditableBody();
    const int nTrack = m_selection.GetCurTrackIndex();
    if (!pBody || pBody->GetTrackCount() >= CKelSBBodyObj::kMaxTrackCount || nTrack < 0 ||
        !pBody->InsertTrack(nTrack))
        return 0;
    KelSBEditScope scope(*this);
    auto pCmd = KelSBNewCommand<CKelURSBInsertTrackCmd>(this, IDS_HIST_INSERT_TRACK);
    pCmd->m_nTrackIndex = nTrack;
    KelSBRegisterCommand(this, std::move(pCmd));
    SelectOnlyTrack(TrackAbove(nTrack));
    AfterTrackChange();
    return 1;
}

int CKelSBEditView::MoveCurTrack(int nDirection) {
    CKelSBBodyObj* pBody = GetEditableBody();
    const int nTrack = m_selection.GetCurTrackIndex();
    if (!pBody || pBody->GetTrackCount() < 2 || nTrack < 0 || IsLockedTrack(*pBody, nTrack) ||
        !pBody->MoveTrack(nTrack, nDirection))
        return 0;
    KelSBEditScope scope(*this);
    if (nDirection == 0) {
        auto pCmd = KelSBNewCommand<CKelURSBMoveupTrackCmd>(this, IDS_HIST_MOVE_UP_TRACK);
        pCmd->m_nTrackIndex = nTrack - 1;
        KelSBRegisterCommand(this, std::move(pCmd));
    } else {
        auto pCmd = KelSBNewCommand<CKelURSBMovedownTrackCmd>(this, IDS_HIST_MOVE_DOWN_TRACK);
        pCmd->m_nTrackIndex = nTrack + 1;
        KelSBRegisterCommand(this, std::move(pCmd));
    }
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
    KelSBEditScope scope(*this);
    // The record first (it snapshots every container), the change next, the step last: a
    // removal the model refuses leaves no step behind.
    std::unique_ptr<CKelSBEditURBaseCmd> pCmd =
        bCut ? RecordRemoval<CKelURSBCutTrackCmd>(this, IDS_HIST_CUT_TRACK, nTrack)
             : RecordRemoval<CKelURSBDeleteTrackCmd>(this, IDS_HIST_DELETE_TRACK, nTrack);
    const bool bRemoved = pCmd && (bCut ? ReplaceTrackClipboard(*pDoc, *pBody, nTrack, true)
                                        : pBody->DeleteTrack(nTrack) != 0);
    if (!bRemoved)
        return 0;
    AfterTrackRemoval(TrackAbove(nTrack));
    KelSBRegisterCommand(this, std::move(pCmd));
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
    return ReplaceTrackClipboard(*pDoc, *pBody, m_selection.GetCurTrackIndex(), false) ? 1 : 0;
}

int CKelSBEditView::PasteAtCurTrack() {
    CKelSBBodyObj* pBody = GetEditableBody();
    CKelSBEditObj* pDoc = GetSBEditObj();
    const int nTrack = m_selection.GetCurTrackIndex();
    if (!pBody || !pDoc || pDoc->GetTrackClipboard().IsEmpty() ||
        pBody->GetTrackCount() >= CKelSBBodyObj::kMaxTrackCount || nTrack < 0)
        return 0;
    CWaitCursor wait;
    if (!pBody->PasteTrack(pDoc->GetTrackClipboard(), m_pCurScene->GetPieceList(), nTrack))
        return 0;
    KelSBEditScope scope(*this);
    auto pCmd = KelSBNewCommand<CKelURSBPasteTrackCmd>(this, IDS_HIST_PASTE_TRACK);
    pCmd->m_nTrackIndex = nTrack;
    KelSBRegisterCommand(this, std::move(pCmd));
    SelectOnlyTrack(TrackAbove(nTrack));
    AfterTrackChange();
    return 1;
}

// ---- Storyboard settings ----------------------------------------------------------------------

// The storyboard's own properties dialog ("Storyboard Setup").
int CKelSBEditView::EditSBSettings() {
    CKelSBBodyObj* pBody = GetEditableBody();
    if (!pBody)
        return 0;
    // What the storyboard holds before the dialog edits it: what undo puts back.
    auto pCmd = KelSBNewCommand<CKelURSBSettingsCmd>(this, IDS_HIST_SETTINGS);
    if (!pCmd->Record())
        return 0;
    EnableHostPanels(FALSE);
    m_bHistorySync = 0;
    const int bChanged = pBody->EditAttr(this);
    m_bHistorySync = 1;
    if (bChanged) {
        KelSBEditScope scope(*this);
        KelSBRegisterCommand(this, std::move(pCmd));
        if (m_pParentDlg)
            m_pParentDlg->UpdateCaption(m_selection.GetCurContent());
        EnsureCurContentVisible();
        RebuildKeepingSelection();
        MarkModified();
    }
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

void CKelSBEditView::SelectOnlyTrack(int nTrack) {
    const CKelSBBodyObj* pBody = GetCurSBBody();
    m_selection.GetSelTrackList().RemoveAll();
    if (CKelSBTrackObj* pTrack = pBody ? pBody->GetTrackObj(nTrack) : nullptr)
        m_selection.GetSelTrackList().AddTail(pTrack);
}

// After a track went: the track to select, and no material selection.
void CKelSBEditView::AfterTrackRemoval(int nSelectTrack) {
    // The removed track's materials went, and containers with them: nothing of the material
    // selection may stay.
    SelectOnlyTrack(nSelectTrack);
    m_selection.GetSelContainerList().RemoveAll();
    m_selection.SetCurContent(nullptr);
    ClearStatusLine();
}

// The common end of the track operations: the view rebuilt, the selected track kept, the
// host's document marked changed, the navigator told.
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
