// The button strip and the dialog's own operations behind it: tool modes, undo and redo,
// delete with its question, the time line buttons, load and unload. Which button runs what,
// and when it is refused, is the command table's (sbedit_commands.cpp).
#include "dialog/messages.h"
#include "dialog/module_instance.h"
#include "dialog/sbedit_commands.h"
#include "dialog/sbedit_dlg.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"
#include "host/services/module_rc.h"
#include "host/services/tool_box.h"
#include "host/undo/ur_manager.h"
#include "platform/cursor.h"
#include "res/resource.h"

BOOL CKelSBEditDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT nId = LOWORD(wParam);
    const UINT nCode = HIWORD(wParam);
    if (nCode == BN_CLICKED && lParam != 0 && GetButton(nId))
        return RunButton(nId);
    return CKelAquaBaseDlg::OnCommand(wParam, lParam);
}

BOOL CKelSBEditDlg::RunButton(UINT nId) {
    return GetButton(nId) ? RunCommand(nId) : FALSE;
}

void CKelSBEditDlg::OnToolMode(DWORD dwMode) {
    // The modes that edit are refused while loaded.
    if (m_pView && (dwMode == CKelSBEditView::kToolNormal || !m_bLoaded))
        m_pView->SetToolMode(dwMode);
    SyncToolButtons();
}

void CKelSBEditDlg::SyncToolButtons() {
    if (!GetSafeHwnd() || !m_pView)
        return;
    const int nChecked = static_cast<int>(IDC_BTN_NORMAL + m_pView->GetToolMode());
    CheckRadioButton(IDC_BTN_NORMAL, IDC_BTN_FIXED_PASTE, nChecked);
}

void CKelSBEditDlg::OnUndo() {
    CKelURBase* pHistory = m_pView ? m_pView->GetCurHistory() : nullptr;
    if (!m_bLoaded && pHistory && pHistory->GetUndoStepCount() >= 1) {
        UndoRedoSteps(TRUE, 1);
        SendToHistoryPanel(KEL_UR_HISTORY_UNDONE,
                           reinterpret_cast<LPARAM>(m_pView->GetCurHistory()));
    }
}

void CKelSBEditDlg::OnRedo() {
    CKelURBase* pHistory = m_pView ? m_pView->GetCurHistory() : nullptr;
    if (!m_bLoaded && pHistory && pHistory->GetStepCount() - pHistory->GetUndoStepCount() >= 1) {
        UndoRedoSteps(FALSE, 1);
        SendToHistoryPanel(KEL_UR_HISTORY_REDONE,
                           reinterpret_cast<LPARAM>(m_pView->GetCurHistory()));
    }
}

void CKelSBEditDlg::UndoRedoSteps(int bUndo, int nSteps) {
    CKelURBase* pHistory = m_pView ? m_pView->GetCurHistory() : nullptr;
    if (!pHistory)
        return;
    // A step may take away what a gesture on the view holds on to.
    m_pView->CancelGesture();
    const int bDone = bUndo ? pHistory->Undo(nSteps) : pHistory->Redo(nSteps);
    // A step that failed half-way leaves the document and the history out of step; what is
    // left of the history cannot be trusted any more.
    if (!bDone)
        pHistory->ClearHistory();
    m_pView->DebugCheck(bUndo ? "undo" : "redo");
    SendToNavigator(KEL_SBNAV_CONTENT,
                    reinterpret_cast<LPARAM>(m_pView->Selection().GetCurContent()));
}

void CKelSBEditDlg::OnDelete() {
    CKelSBEditView* pView = m_pView.get();
    if (m_bLoaded || !pView || pView->Selection().GetSelContainerList().IsEmpty())
        return;
    const HINSTANCE inst = kel::sbedit::ModuleInstance();
    const int bAllowed = pView->Selection().IsSelectionOnUnlockedTracks();
    pView->SetHistorySync(0);
    if (bAllowed) {
        const int nAnswer = CKelModuleRC::MessageBoxW(inst, IDS_ASK_DELETE_MATERIALS,
                                                      MB_YESNO | MB_ICONQUESTION, this);
        pView->SetHistorySync(1);
        // Only a confirmation deletes: a box that could not be shown (0) is no answer.
        if (nAnswer == IDYES) {
            CWaitCursor wait;
            pView->DeleteSelectedMaterials();
        }
    } else {
        CKelModuleRC::MessageBoxW(inst, IDS_LOCKED_NO_DELETE, MB_OK, this);
        pView->SetHistorySync(1);
    }
}

void CKelSBEditDlg::OnStoryboardHead() {
    CKelSBBodyObj* pBody = m_pView ? m_pView->GetCurSBBody() : nullptr;
    if (pBody && pBody->GetTimeLinePos() != 0) {
        m_pView->SetTimeLine(0);
        m_pView->Invalidate();
        m_pView->UpdateWindow();
    }
}

void CKelSBEditDlg::OnStoryboardTail() {
    CKelSBBodyObj* pBody = m_pView ? m_pView->GetCurSBBody() : nullptr;
    if (pBody && pBody->GetTimeLinePos() != pBody->GetDuration()) {
        m_pView->SetTimeLine(pBody->GetDuration());
        m_pView->Invalidate();
        m_pView->UpdateWindow();
    }
}

void CKelSBEditDlg::OnPrevKeyPoint() {
    if (CKelSBBodyObj* pBody = m_pView ? m_pView->GetCurSBBody() : nullptr) {
        const DWORD dwPos = pBody->GetNewTimeLinePos(1);
        if (dwPos != pBody->GetTimeLinePos())
            m_pView->SetTimeLine(dwPos);
    }
}

void CKelSBEditDlg::OnNextKeyPoint() {
    if (CKelSBBodyObj* pBody = m_pView ? m_pView->GetCurSBBody() : nullptr) {
        const DWORD dwPos = pBody->GetNewTimeLinePos(0);
        if (dwPos != pBody->GetTimeLinePos())
            m_pView->SetTimeLine(dwPos);
    }
}

void CKelSBEditDlg::OnUpload() {
    if (m_bLoaded || !m_pView || !m_pView->UpLoadStoryBoard(this))
        return;
    FocusView();
    if (CKelBmpReliefBtn* pUpload = GetButton(IDC_BTN_UPLOAD))
        pUpload->ShowWindow(SW_HIDE);
    if (CKelBmpReliefBtn* pDownload = GetButton(IDC_BTN_DOWNLOAD))
        pDownload->ShowWindow(SW_SHOW);
    EnableButtonGroup(FALSE);
    CRect rcClip;
    GetClientRect(&rcClip);
    ClientToScreen(&rcClip);
    ClipCursor(&rcClip);
    m_bLoaded = 1;
}

void CKelSBEditDlg::OnDownload() {
    if (!m_bLoaded)
        return;
    if (m_pView)
        m_pView->DownLoadStoryBoard(this);
    FocusView();
    if (CKelBmpReliefBtn* pUpload = GetButton(IDC_BTN_UPLOAD))
        pUpload->ShowWindow(SW_SHOW);
    if (CKelBmpReliefBtn* pDownload = GetButton(IDC_BTN_DOWNLOAD))
        pDownload->ShowWindow(SW_HIDE);
    EnableButtonGroup(TRUE);
    ClipCursor(nullptr);
    m_bLoaded = 0;
}

void CKelSBEditDlg::EnableButtonGroup(BOOL bEnable) {
    for (const KelSBCommandEntry& entry : KelSBCommandTable()) {
        if (!(entry.flags & kKelSBDisabledWhileLoaded))
            continue;
        if (CKelBmpReliefBtn* pButton = GetButton(entry.nFirstId);
            pButton && pButton->GetSafeHwnd())
            pButton->EnableWindow(bEnable);
    }
}

void CKelSBEditDlg::SendToHistoryPanel(WPARAM wParam, LPARAM lParam) {
    CWnd* pPanel = KelToolGetToolBox(KEL_TOOLBOX_HISTORY);
    if (pPanel && IsWindow(pPanel))
        pPanel->SendMessage(WM_CG_UPDATE_HISTORY, wParam, lParam);
}

void CKelSBEditDlg::SendToNavigator(WPARAM wParam, LPARAM lParam) {
    CWnd* pNavigator = KelToolGetToolBox(KEL_TOOLBOX_SB_NAVIGATOR);
    if (pNavigator && IsWindow(pNavigator))
        pNavigator->SendMessage(WM_CG_SBNAV_SBSELCONTENT_CHANGED, wParam, lParam);
}
