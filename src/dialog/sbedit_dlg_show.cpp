// Showing, hiding, closing and activating the edit dialog: the navigator follows the dialog and
// remembers whether it was shown; the history panel follows the dialog's storyboard.
#include "dialog/messages.h"
#include "dialog/module_instance.h"
#include "dialog/sbedit_dlg.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"
#include "host/services/module_rc.h"
#include "host/services/tool_box.h"
#include "platform/profile.h"
#include "res/resource.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

constexpr const char* kProfileSection = "SBNAV_INFO";
constexpr const char* kProfileKeyNavShow = "SBNavShow";

} // namespace

CString KelClientProfilePath(bool bCreateFolder) {
    std::filesystem::path folder;
    if (const char* pOverride = std::getenv("KELSB_CONFIG_DIR"); pOverride && *pOverride)
        folder = pOverride;
    else if (const char* pXdg = std::getenv("XDG_CONFIG_HOME"); pXdg && *pXdg)
        folder = std::filesystem::path(pXdg) / "kelsbedit";
    else if (const char* pHome = std::getenv("HOME"); pHome && *pHome)
        folder = std::filesystem::path(pHome) / ".config" / "kelsbedit";
    else
        folder = ".";
    if (bCreateFolder) {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
    }
    return CString((folder / "KelClient.ini").string());
}

void CKelSBEditDlg::OnShowWindow(BOOL bShow, UINT nStatus) {
    CWnd* pNavigator = KelToolGetToolBox(KEL_TOOLBOX_SB_NAVIGATOR);
    if (bShow) {
        if (m_pView && m_pView->GetCurScene())
            PlaceAtSceneRect(m_pView->GetCurScene());
        const CString strProfile = KelClientProfilePath(false);
        const UINT nShowNav =
            GetPrivateProfileInt(kProfileSection, kProfileKeyNavShow, 1, strProfile.GetString());
        if (nShowNav && pNavigator && IsWindow(pNavigator)) {
            pNavigator->ShowWindow(SW_SHOW);
            SendToNavigator(
                KEL_SBNAV_CONTENT,
                reinterpret_cast<LPARAM>(m_pView ? m_pView->Selection().GetCurContent() : nullptr));
        }
    } else if (pNavigator && IsWindow(pNavigator)) {
        // This platform has no find-and-replace dialogs among the siblings to hide.
        pNavigator->ShowWindow(SW_HIDE);
    }
    CKelAquaBaseDlg::OnShowWindow(bShow, nStatus);
}

void CKelSBEditDlg::OnClose() {
    CloseToHidden();
}

void CKelSBEditDlg::CloseToHidden() {
    CWnd* pNavigator = KelToolGetToolBox(KEL_TOOLBOX_SB_NAVIGATOR);
    const bool bNavVisible = pNavigator && IsWindow(pNavigator) && pNavigator->IsWindowVisible();
    CString strValue;
    strValue.Format("%d", bNavVisible ? 1 : 0);
    const CString strProfile = KelClientProfilePath(true);
    WritePrivateProfileString(kProfileSection, kProfileKeyNavShow, strValue.GetString(),
                              strProfile.GetString());
    // Closing only hides: the host keeps the editor for the next time it is shown.
    ShowWindow(SW_HIDE);
    SendMessage(WM_CG_SWITCH_ITEMEDITUR_HISTORY, 0, 0);
}

void CKelSBEditDlg::OnNcLButtonDown(UINT nHitTest, CPoint point) {
    CKelAquaBaseDlg::OnNcLButtonDown(nHitTest, point);
    if (GetSafeHwnd())
        SendMessage(WM_CG_ENABLE_ALL_PANEL_STUFF, 1, 0);
}

void CKelSBEditDlg::OnNcLButtonDblClk(UINT /*nHitTest*/, CPoint /*point*/) {
    SendMessage(WM_CG_ENABLE_ALL_PANEL_STUFF, 1, 0);
    CloseToHidden();
}

void CKelSBEditDlg::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized) {
    CKelAquaBaseDlg::OnActivate(nState, pWndOther, bMinimized);
    CKelSBEditView* pView = m_pView.get();
    CKelURBase* pHistory = pView ? pView->GetCurHistory() : nullptr;
    if (nState != WA_INACTIVE) {
        if (pView && pView->GetCurScene() && pHistory)
            SendToHistoryPanel(KEL_UR_HISTORY_SHOW, reinterpret_cast<LPARAM>(pHistory));
        return;
    }
    if (!pWndOther)
        return;
    // Going to the history panel or the navigator must not re-point the history panel.
    const HINSTANCE inst = kel::sbedit::ModuleInstance();
    const CString strTitle = pWndOther->GetWindowText();
    const CString strHistoryTitle = CKelModuleRC::LoadStringW(inst, IDS_HISTORY_PANEL_TITLE);
    const CString strNavigatorTitle = CKelModuleRC::LoadStringW(inst, IDS_SB_NAVIGATOR_TITLE);
    if (strTitle.Find(strHistoryTitle.str()) >= 0 || strTitle.Find(strNavigatorTitle.str()) >= 0)
        return;
    if (!pView || !pView->GetHistorySync())
        return;
    if (m_bSceneFetched) {
        if (pView->GetCurScene() && pHistory)
            SendToHistoryPanel(KEL_UR_HISTORY_SHOW, reinterpret_cast<LPARAM>(pHistory));
    } else {
        SendToHistoryPanel(KEL_UR_HISTORY_NO_SCENE, 0);
    }
}
