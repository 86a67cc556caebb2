#include "undo/ur_register.h"

#include "undo/sbedit_editor.h"
#include "undo/sbedit_ur_cmd.h"

#include "host/undo/ur_manager.h"

namespace {

// The innermost open scope. Everything runs on the user-interface thread.
KelSBEditScope* g_pInnermostScope = nullptr;

void TellHistoryPanel(bool bAdded, CKelURBase* pHistory) {
    if (const auto pfnTell = KelSBGetHistoryServices().pfnTellPanel)
        pfnTell(bAdded, pHistory);
}

} // namespace

CString KelSBLoadHistoryText(UINT nTextId) {
    const auto pfnLoad = KelSBGetHistoryServices().pfnLoadText;
    return pfnLoad != nullptr ? pfnLoad(nTextId) : CString();
}

int KelSBRegisterCommand(CKelSBEditorServices* pEditor, std::unique_ptr<CKelSBEditURBaseCmd> pCmd) {
    CKelURBase* pHistory = pEditor ? pEditor->GetCurHistory() : nullptr;
    if (pHistory == nullptr || !pCmd)
        return 0;
    TellHistoryPanel(false, pHistory);
    pCmd->Do();
    const int bAdded = pHistory->AddCommand(pCmd.release()); // the history owns it now
    TellHistoryPanel(true, pHistory);
    if (g_pInnermostScope != nullptr)
        g_pInnermostScope->m_bCheckPending = true;
    else
        pEditor->DebugCheck("registering a command");
    return bAdded;
}

KelSBEditScope::KelSBEditScope(CKelSBEditorServices& editor)
    : m_editor(editor), m_pOuter(g_pInnermostScope) {
    g_pInnermostScope = this;
}

KelSBEditScope::~KelSBEditScope() {
    g_pInnermostScope = m_pOuter;
    if (!m_bCheckPending)
        return;
    if (m_pOuter != nullptr)
        m_pOuter->m_bCheckPending = true;
    else
        m_editor.DebugCheck("an editing operation");
}
