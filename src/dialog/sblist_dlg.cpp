#include "dialog/sblist_dlg.h"

#include "dialog/module_instance.h"
#include "dialog/sbedit_commands.h"
#include "dialog/sbedit_dlg.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_edit.h"
#include "res/resource.h"

#include <array>
#include <utility>

namespace {

// Each button of the dialog sends its command to the list.
constexpr std::array<std::pair<UINT, UINT>, 8> kButtonCommands = {{
    {IDC_SBL_APPEND, ID_SBLIST_APPEND},
    {IDC_SBL_INSERT, ID_SBLIST_INSERT},
    {IDC_SBL_DELETE, ID_SBLIST_DELETE},
    {IDC_SBL_MOVE_UP, ID_SBLIST_MOVE_UP},
    {IDC_SBL_MOVE_DOWN, ID_SBLIST_MOVE_DOWN},
    {IDC_SBL_CUT, ID_SBLIST_CUT},
    {IDC_SBL_COPY, ID_SBLIST_COPY},
    {IDC_SBL_PASTE, ID_SBLIST_PASTE},
}};

UINT CommandOfButton(UINT nButtonId) {
    for (const auto& [nButton, nCommand] : kButtonCommands) {
        if (nButton == nButtonId)
            return nCommand;
    }
    return 0;
}

} // namespace

CKelSBOperationDlg::CKelSBOperationDlg(CKelSBEditDlg* pOwner)
    : CKelAquaBaseDlg(IDD_SBLIST, pOwner), m_pOwner(pOwner) {}

CKelSBOperationDlg::~CKelSBOperationDlg() = default;

INT_PTR CKelSBOperationDlg::DoModal() {
    return DlgDoModal(kel::sbedit::ModuleInstance());
}

CKelSBEditDlg* CKelSBOperationDlg::GetOwner() const {
    return m_pOwner && IsWindow(m_pOwner) ? m_pOwner : nullptr;
}

CKelSBEditView* CKelSBOperationDlg::GetView() const {
    return GetOwner() ? m_pOwner->GetView() : nullptr;
}

void CKelSBOperationDlg::DoDataExchange(CDataExchange* pDX) {
    CKelAquaBaseDlg::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SBL_LIST, m_list);
}

BOOL CKelSBOperationDlg::OnInitDialog() {
    m_autoMaker.AutoMakeDialog(this);
    CKelAquaBaseDlg::OnInitDialog();
    if (!GetView())
        return FALSE;
    m_list.Fill();
    UpdateButtonStates();
    return TRUE;
}

BOOL CKelSBOperationDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT nId = LOWORD(wParam);
    const UINT nCode = HIWORD(wParam);
    if (nId == IDC_SBL_LIST) {
        if (nCode == LBN_SELCHANGE)
            OnListSelChange();
        return TRUE;
    }
    if (const UINT nCommand = nCode == BN_CLICKED ? CommandOfButton(nId) : 0) {
        m_list.SendMessage(WM_COMMAND, MAKEWPARAM(nCommand, 0), 0);
        UpdateButtonStates();
        return TRUE;
    }
    return CKelAquaBaseDlg::OnCommand(wParam, lParam);
}

void CKelSBOperationDlg::OnListSelChange() {
    CKelSBEditView* pView = GetView();
    CKelSBEditObj* pDoc = pView ? pView->GetSBEditObj() : nullptr;
    const int nSel = m_list.GetCurSel();
    // Choosing a storyboard shows it; choosing the one shown switches nothing.
    if (pDoc && nSel >= 0 && nSel != pDoc->GetCurSBBodyIndex())
        pView->SwitchSBBody(nSel);
    UpdateButtonStates();
}

void CKelSBOperationDlg::UpdateButtonStates() {
    const unsigned state = m_list.GrayState();
    for (const auto& [nId, nCommand] : kButtonCommands) {
        CWnd* pButton = GetDlgItem(static_cast<int>(nId));
        const KelSBCommandEntry* pEntry = KelSBFindCommand(nCommand);
        const bool bEnable = pEntry && !pEntry->IsGrayed(state);
        if (!pButton || (pButton->IsWindowEnabled() != FALSE) == bEnable)
            continue;
        pButton->EnableWindow(bEnable);
        pButton->Invalidate();
    }
    if (GetSafeHwnd())
        UpdateWindow();
}
