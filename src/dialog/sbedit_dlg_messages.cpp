// The registered messages between the host and the edit dialog.
#include "dialog/automation.h"
#include "dialog/messages.h"
#include "dialog/sbedit_commands.h"
#include "dialog/sbedit_dlg.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"

LRESULT CKelSBEditDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message < 0xC000)
        return CKelAquaBaseDlg::WindowProc(message, wParam, lParam);

    // A message handler must not let an exception reach the host's message loop.
    try {
        if (message == WM_CG_SB_REFRESH_WINDOW)
            return OnRefreshWindow();
        if (message == WM_CG_SB_CHANGE_LIST)
            return OnChangeList();
        if (message == WM_CG_SB_REFRESH_CONTENTS || message == WM_UPDATE_PLAY_CURRENT_FRAME) {
            return m_pView && IsWindow(m_pView.get())
                       ? m_pView->SendMessage(message, wParam, lParam)
                       : 0;
        }
        if (message == WM_CG_ADD_ITEM_TO_SB) {
            if (!m_bLoaded && m_pView && IsWindow(m_pView.get()))
                m_pView->SendMessage(message, wParam, lParam);
            return 0;
        }
        if (message == WM_CG_UR_FROM_HISTORY) {
            if (!m_bLoaded)
                UndoRedoSteps(wParam != 0, static_cast<int>(lParam));
            return 0;
        }
        if (message == WM_CG_ENABLE_ALL_PANEL_STUFF) {
            if (CWnd* pParent = GetParent())
                pParent->SendMessage(message, wParam, reinterpret_cast<LPARAM>(this));
            return 0;
        }
        if (message == WM_CG_SWITCH_ITEMEDITUR_HISTORY) {
            if (CWnd* pParent = GetParent())
                pParent->SendMessage(message, wParam, lParam);
            return 0;
        }
        if (message == WM_CG_ENABLE_AQUA_NCPAINT) {
            m_bAquaNcPaint = static_cast<int>(wParam);
            SetAquaNcPaint(m_bAquaNcPaint);
            return 0;
        }
        if (message == WM_KELSB_AUTOMATION_STATE)
            return OnAutomationState(lParam);
    } catch (...) {
        return 0;
    }
    return CKelAquaBaseDlg::WindowProc(message, wParam, lParam);
}

LRESULT CKelSBEditDlg::OnRefreshWindow() {
    if (!m_pItemEditWnd || !IsWindow(m_pItemEditWnd))
        return 0;
    m_bSceneFetched = 1;
    auto* pScene = reinterpret_cast<CKelPlaySceneObj*>(
        m_pItemEditWnd->SendMessage(WM_CG_EDW_FETCH_CURRENT_SCENE, 0, 0));
    if (IsWindowVisible()) {
        if (pScene)
            PlaceAtSceneRect(pScene);
        if (m_pView)
            m_pView->RefreshView(pScene);
        UpdateData(FALSE);
        return 0;
    }
    // Hidden: keep the scene's storyboard in step with its pieces, draw nothing.
    CKelSBEditObj* pDoc = pScene ? pScene->GetSBEditObj() : nullptr;
    if (CKelSBBodyObj* pBody = pDoc ? pDoc->GetCurSBBodyObj() : nullptr) {
        pBody->ValidateContainerList(pScene->GetPieceList());
        pBody->ResetAllTrackContentList();
        pBody->UpdateContentIcon(pScene->GetPieceList());
    }
    return 0;
}

LRESULT CKelSBEditDlg::OnChangeList() {
    if (m_bLoaded || !m_pView)
        return 0;
    CKelSBEditObj* pDoc = m_pView->GetSBEditObj();
    if (pDoc && pDoc->GetSBBodyCount() >= 2) {
        m_pView->RefreshView(nullptr);
        static_cast<CKelSBEditorServices&>(*m_pView).EnsureCurContentVisible();
    }
    return 0;
}

static_assert(static_cast<int>(KelSBCommandPlace::kButtonStrip) ==
                  kel::automation::kPlaceButtonStrip &&
              static_cast<int>(KelSBCommandPlace::kStoryboardList) ==
                  kel::automation::kPlaceStoryboardList);

LRESULT CKelSBEditDlg::OnAutomationState(LPARAM lParam) {
    auto* pState = reinterpret_cast<kel::automation::EditorState*>(lParam);
    if (!pState || !GetSafeHwnd())
        return 0;
    const int nCheck = pState->consistencyCheck;
    *pState = kel::automation::EditorState{};
    pState->loaded = m_bLoaded != 0;
    pState->consistencyCheck = nCheck;
    for (const KelSBCommandEntry& entry : KelSBCommandTable()) {
        kel::automation::CommandInfo& info = pState->commands.emplace_back();
        info.firstId = entry.nFirstId;
        info.lastId = entry.nLastId;
        info.edits = (entry.flags & kKelSBEditsDocument) != 0;
        info.refusedWhileLoaded = (entry.flags & kKelSBRefusedWhileLoaded) != 0;
        info.waitCursor = (entry.flags & kKelSBWaitCursor) != 0;
        info.disabledWhileLoaded = (entry.flags & kKelSBDisabledWhileLoaded) != 0;
        info.place = static_cast<int>(entry.place);
        info.needs = entry.needs == KelSBCommandNeeds::kCurrentTrack
                         ? kel::automation::kNeedsCurrentTrack
                     : entry.needs == KelSBCommandNeeds::kSelectionAndFocus
                         ? kel::automation::kNeedsSelectionAndFocus
                         : kel::automation::kNeedsNothing;
    }
    if (m_pView && IsWindow(m_pView.get())) {
        m_pView->FillAutomationState(*pState);
        if (nCheck != kel::automation::kCheckNone)
            pState->problems = m_pView->CheckConsistency(nCheck == kel::automation::kCheckAll);
    }
    return 1;
}
