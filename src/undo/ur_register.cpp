#include "undo/ur_register.h"

#include "module/messages.h"
#include "module/module_instance.h"
#include "undo/sbedit_ur_cmd.h"
#include "view/sbedit_view.h"

#include "host/services/module_rc.h"
#include "host/services/tool_box.h"
#include "host/undo/ur_manager.h"

namespace {

// The innermost open scope. Everything runs on the user-interface thread.
KelSBEditScope* g_pInnermostScope = nullptr;

void SendToHistoryPanel(WPARAM wParam, CKelURBase* pHistory) {
    CWnd* pPanel = KelToolGetToolBox(KEL_TOOLBOX_HISTORY);
    if (pPanel != nullptr && IsWindow(pPanel))
        pPanel->SendMessage(WM_CG_UPDATE_HISTORY, wParam, reinterpret_cast<LPARAM>(pHistory));
}

} // namespace

CString KelSBLoadHistoryText(UINT nTextId) {
    return CKelModuleRC::LoadStringW(kel::sbedit::ModuleInstance(), nTextId);
}

int KelSBRegisterCommand(CKelSBEditView* pView, std::unique_ptr<CKelSBEditURBaseCmd> pCmd) {
    CKelURBase* pHistory = pView ? pView->GetCurHistory() : nullptr;
    if (pHistory == nullptr || !pCmd)
        return 0;
    SendToHistoryPanel(KEL_UR_HISTORY_SHOW, pHistory);
    pCmd->Do();
    const int bAdded = pHistory->AddCommand(pCmd.release()); // the history owns it now
    SendToHistoryPanel(KEL_UR_HISTORY_ADDED, pHistory);
    if (g_pInnermostScope != nullptr)
        g_pInnermostScope->m_bCheckPending = true;
    else
        pView->DebugCheck("registering a command");
    return bAdded;
}

KelSBEditScope::KelSBEditScope(CKelSBEditView& view) : m_view(view), m_pOuter(g_pInnermostScope) {
    g_pInnermostScope = this;
}

KelSBEditScope::~KelSBEditScope() {
    g_pInnermostScope = m_pOuter;
    if (!m_bCheckPending)
        return;
    if (m_pOuter != nullptr)
        m_pOuter->m_bCheckPending = true;
    else
        m_view.DebugCheck("an editing operation");
}
