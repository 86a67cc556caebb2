// The edit dialog's creation, its button strip and tooltips, the layout of the view and the
// window rectangle kept in the scene.
#include "dialog/sbedit_dlg.h"

#include "dialog/module_instance.h"
#include "view/sbedit_view.h"

#include "host/scene/play_scene.h"
#include "host/services/host_settings.h"
#include "host/services/module_rc.h"
#include "res/button_table.h"
#include "res/resource.h"

namespace {

// The tooltip control's window style (always tip, no prefix, as a pop-up).
constexpr DWORD kTooltipStyle = 0x80000081;

} // namespace

CKelSBEditDlg::CKelSBEditDlg() = default;

CKelSBEditDlg::~CKelSBEditDlg() {
    // The view is a child window: let it go before the dialog's own window does.
    if (GetSafeHwnd())
        CKelAquaBaseDlg::DestroyWindow();
    m_pView.reset();
}

int CKelSBEditDlg::CreateEditDlg(CWnd* pParent) {
    m_pItemEditWnd = nullptr;
    m_pView.reset();
    m_bInitialized = 0;
    return DlgCreate(kel::sbedit::ModuleInstance(), IDD_SBEDIT, pParent) ? 1 : 0;
}

BOOL CKelSBEditDlg::DestroyWindow() {
    if (GetSafeHwnd() && !(GetStyle() & WS_VISIBLE))
        ShowWindow(SW_SHOW);
    const BOOL bDone = CKelAquaBaseDlg::DestroyWindow();
    m_pView.reset();
    m_pItemEditWnd = nullptr;
    m_bInitialized = 0;
    return bDone;
}

CKelBmpReliefBtn* CKelSBEditDlg::GetButton(UINT nId) {
    const auto table = kel::res::EditDialogButtons();
    for (std::size_t i = 0; i < table.size() && i < m_Buttons.size(); ++i) {
        if (table[i].controlId == nId)
            return &m_Buttons[i];
    }
    return nullptr;
}

void CKelSBEditDlg::DoDataExchange(CDataExchange* pDX) {
    CKelAquaBaseDlg::DoDataExchange(pDX);
}

BOOL CKelSBEditDlg::OnInitDialog() {
    CKelAquaBaseDlg::OnInitDialog();
    BindButtons();
    CreateTooltips();
    for (UINT nId : {UINT(IDC_BTN_IO_MODE), UINT(IDC_BTN_SAME_LENGTH)}) {
        if (CKelBmpReliefBtn* pButton = GetButton(nId); pButton && pButton->GetSafeHwnd())
            pButton->EnableWindow(TRUE);
    }
    m_pView = std::make_unique<CKelSBEditView>();
    if (!m_pView->CreateView(this, ComputeViewRect(), kViewId))
        m_pView.reset();
    UpdateData(FALSE);
    m_bInitialized = 1;
    return FALSE; // no default focus
}

void CKelSBEditDlg::BindButtons() {
    const HINSTANCE inst = kel::sbedit::ModuleInstance();
    const auto table = kel::res::EditDialogButtons();
    for (std::size_t i = 0; i < table.size() && i < m_Buttons.size(); ++i) {
        // One button that cannot be bound leaves the others working.
        m_Buttons[i].SubclassDlgItem(table[i].controlId, this, inst, 0, 2, table[i].bitmapId,
                                     CKelBmpReliefBtn::kNoTransparentColour);
    }
}

void CKelSBEditDlg::CreateTooltips() {
    if (m_ToolTip.GetSafeHwnd())
        m_ToolTip.DestroyWindow();
    if (!m_ToolTip.Create(this, kTooltipStyle))
        return;
    const HINSTANCE inst = kel::sbedit::ModuleInstance();
    const auto table = kel::res::EditDialogButtons();
    for (std::size_t i = 0; i < table.size() && i < m_Buttons.size(); ++i) {
        if (m_Buttons[i].GetSafeHwnd())
            CKelModuleRC::AddTips(inst, m_ToolTip, &m_Buttons[i], table[i].tipId);
    }
    m_ToolTip.Activate(TRUE);
}

CRect CKelSBEditDlg::ComputeViewRect() const {
    CRect rect;
    GetWindowRect(&rect);
    ScreenToClient(&rect);
    rect.left += kViewLeftInset;
    rect.top += kViewTopInset;
    rect.right -= kViewRightInset;
    rect.bottom -= kViewBottomInset;
    return rect;
}

BOOL CKelSBEditDlg::PreTranslateMessage(MSG* pMsg) {
    if (m_ToolTip.GetSafeHwnd()) {
        m_ToolTip.Activate(TRUE);
        m_ToolTip.RelayEvent(pMsg);
    }
    // Escape ends a gesture on the view wherever the focus is in the dialog.
    if (m_pView && IsWindow(m_pView.get()) && m_pView->CancelGestureOnEscape(*pMsg))
        return TRUE;
    if (KelDoesUseHotKey() && pMsg->message == WM_KEYDOWN) {
        const UINT nRepCnt = LOWORD(static_cast<std::uintptr_t>(pMsg->lParam));
        const UINT nFlags = HIWORD(static_cast<std::uintptr_t>(pMsg->lParam));
        CWnd* pFocus = CWnd::GetFocus();
        if (auto* pView = dynamic_cast<CKelSBEditView*>(pFocus)) {
            pView->HandleKeyDown(static_cast<UINT>(pMsg->wParam), nRepCnt, nFlags);
            return TRUE;
        }
        if (pMsg->wParam == VK_F6) {
            OnDownload();
            ShowWindow(SW_HIDE);
            return TRUE;
        }
    }
    return CKelAquaBaseDlg::PreTranslateMessage(pMsg);
}

void CKelSBEditDlg::OnSize(UINT nType, int cx, int cy) {
    CKelAquaBaseDlg::OnSize(nType, cx, cy);
    if (m_bInitialized && m_pView && m_pView->GetCurScene() && IsWindow(m_pView.get()))
        m_pView->MoveWindow(ComputeViewRect(), TRUE);
    StoreWindowRect();
}

void CKelSBEditDlg::OnMove(int x, int y) {
    CKelAquaBaseDlg::OnMove(x, y);
    StoreWindowRect();
}

void CKelSBEditDlg::StoreWindowRect() {
    if (!m_bInitialized || m_bPlacing || !m_pView || !m_pView->GetCurScene())
        return;
    CRect rect;
    GetWindowRect(&rect);
    m_pView->GetCurScene()->SetSBEditWndRect(rect);
}

void CKelSBEditDlg::PlaceAtSceneRect(const CKelPlaySceneObj* pScene) {
    if (!pScene || !GetSafeHwnd())
        return;
    const CRect rect = pScene->GetSBEditWndRect();
    // A scene that never stored a rectangle keeps the dialog where it is: placing it at an
    // empty rectangle would shrink it to nothing. Nor is a rectangle far beyond any desktop
    // taken (a damaged or made-up file): its size would not even fit an int.
    constexpr int kMaxCoordinate = 1 << 24;
    const auto onAnyDesktop = [](int v) { return v >= -kMaxCoordinate && v <= kMaxCoordinate; };
    if (rect.IsRectEmpty() || !onAnyDesktop(rect.left) || !onAnyDesktop(rect.top) ||
        !onAnyDesktop(rect.right) || !onAnyDesktop(rect.bottom))
        return;
    m_bPlacing = true;
    SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    m_bPlacing = false;
}

void CKelSBEditDlg::FocusView() {
    if (m_pView && IsWindow(m_pView.get()))
        m_pView->SetFocus();
}
