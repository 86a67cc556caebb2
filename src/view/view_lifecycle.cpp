// The timeline view's creation, child controls, layout, cursor and destruction.
#include "dialog/module_instance.h"
#include "dialog/sbedit_dlg.h"
#include "view/sbedit_view.h"

#include "host/services/gui_font.h"
#include "host/services/module_rc.h"
#include "host/services/video_std.h"
#include "platform/cursor.h"
#include "platform/dc.h"
#include "res/button_table.h"
#include "res/resource.h"

namespace {

// The selector's drop-down room below its face while it is open.
constexpr int kSelectorDropHeight = 1000;

} // namespace

CKelSBEditView::CKelSBEditView() {
    m_brView.CreateSolidBrush(m_crView);
    RegisterLiveView(true);
}

CKelSBEditView::~CKelSBEditView() {
    RegisterLiveView(false);
    if (GetSafeHwnd())
        DestroyWindow();
}

// A visible, bordered child of the edit dialog, which it reaches as its parent dialog.
BOOL CKelSBEditView::CreateView(CKelSBEditDlg* pParentDlg, const CRect& rect, UINT nId) {
    m_pParentDlg = pParentDlg;
    return Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, rect, pParentDlg, nId);
}

int CKelSBEditView::IsLoaded() const {
    return m_pParentDlg ? m_pParentDlg->IsLoaded() : 0;
}

int CKelSBEditView::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_dragDrop.RegisterAsDropTarget();
    LoadBitmaps();
    if (m_ToolTip.Create(this))
        m_ToolTip.SendMessage(TTM_ACTIVATE, 1, 0);
    CreateStripControls();
    CreateToolButtons();
    // The header tip is one tool over the whole view; its text follows the header button under
    // the mouse.
    if (m_HeaderTip.Create(this))
        m_HeaderTip.AddTool(this, "");
    LayoutControls();
    FillSBSelector();
    return 0;
}

void CKelSBEditView::LoadBitmaps() {
    const HINSTANCE inst = kel::sbedit::ModuleInstance();
    const std::pair<CBitmap*, UINT> bitmaps[] = {
        {&m_bmpRangeStart, IDB_RANGE_START},
        {&m_bmpRangeEnd, IDB_RANGE_END},
        {&m_bmpTimeLineHead, IDB_TIMELINE_HEAD},
        {&m_bmpPlayAllowed, IDB_TRACK_PLAY_ALLOWED},
        {&m_bmpPlayForbidden, IDB_TRACK_PLAY_FORBIDDEN},
        {&m_bmpLocked, IDB_TRACK_LOCKED},
        {&m_bmpUnlocked, IDB_TRACK_UNLOCKED},
        {&m_bmpMaterialIn, IDB_MATERIAL_IN},
        {&m_bmpMaterialStay, IDB_MATERIAL_STAY},
        {&m_bmpMaterialOut, IDB_MATERIAL_OUT},
    };
    for (const auto& [pBitmap, nId] : bitmaps) {
        pBitmap->DeleteObject();
        CKelModuleRC::LoadBitmapW(inst, nId, *pBitmap);
    }
}

void CKelSBEditView::CreateStripControls() {
    const HINSTANCE inst = kel::sbedit::ModuleInstance();
    if (m_HScroll.Create(WS_CHILD | WS_VISIBLE | SBS_HORZ, Geometry().GetHScrollRect(), this,
                         IDC_VIEW_HSCROLL))
        CKelModuleRC::AddTips(inst, m_ToolTip, &m_HScroll, IDS_TIP_HSCROLL);
    if (m_VScroll.Create(WS_CHILD | WS_VISIBLE | SBS_VERT, Geometry().GetVScrollRect(), this,
                         IDC_VIEW_VSCROLL))
        CKelModuleRC::AddTips(inst, m_ToolTip, &m_VScroll, IDS_TIP_VSCROLL);
    // The zoom bar's position is a scale (its maximum less the frames per unit): every scale
    // down to one frame per unit must be reachable, so its page may not hold it back.
    m_ZoomBar.SetFullRange(TRUE);
    if (m_ZoomBar.Create(WS_CHILD | WS_VISIBLE | SBS_HORZ, Geometry().GetZoomBarRect(), this,
                         IDC_VIEW_ZOOM_BAR))
        CKelModuleRC::AddTips(inst, m_ToolTip, &m_ZoomBar, IDS_TIP_ZOOM_BAR);
    if (m_ZoomMenuBtn.Create(inst, IDR_MENU_ZOOM, Geometry().GetZoomButtonRect(), this,
                             KelSBViewScroll::kZoomMenuButtonId))
        CKelModuleRC::AddTips(inst, m_ToolTip, &m_ZoomMenuBtn, IDS_TIP_ZOOM_MENU);
    if (m_SBSelector.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST,
                            Geometry().GetSelectorRect(), this, IDC_VIEW_SB_SELECTOR)) {
        if (CFont* pFont = CKelGuiFont::GetFont())
            m_SBSelector.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(pFont), TRUE);
        CKelModuleRC::AddTips(inst, m_ToolTip, &m_SBSelector, IDS_TIP_SB_SELECTOR);
    }
}

void CKelSBEditView::CreateToolButtons() {
    const HINSTANCE inst = kel::sbedit::ModuleInstance();
    const auto table = kel::res::ViewToolButtons();
    for (std::size_t i = 0; i < table.size() && i < m_ToolBtns.size(); ++i) {
        const UINT nId = table[i].controlId;
        if (m_ToolBtns[i].Create(inst, table[i].bitmapId, Geometry().GetToolButtonRect(nId), this,
                                 nId))
            CKelModuleRC::AddTips(inst, m_ToolTip, &m_ToolBtns[i], table[i].tipId);
    }
}

void CKelSBEditView::LayoutControls() {
    if (m_HScroll.GetSafeHwnd())
        m_HScroll.MoveWindow(Geometry().GetHScrollRect());
    if (m_VScroll.GetSafeHwnd())
        m_VScroll.MoveWindow(Geometry().GetVScrollRect());
    if (m_ZoomBar.GetSafeHwnd())
        m_ZoomBar.MoveWindow(Geometry().GetZoomBarRect());
    if (m_ZoomMenuBtn.GetSafeHwnd())
        m_ZoomMenuBtn.MoveWindow(Geometry().GetZoomButtonRect());
    ResizeSelector(m_SBSelector.GetSafeHwnd() && m_SBSelector.GetDroppedState());
    for (auto& button : m_ToolBtns) {
        if (button.GetSafeHwnd())
            button.MoveWindow(
                Geometry().GetToolButtonRect(static_cast<UINT>(button.GetDlgCtrlID())));
    }
}

// The selector's window reaches down over the timeline only while its list is open: a box
// that tall all the time would take the clicks meant for the corner box and the track headers.
void CKelSBEditView::ResizeSelector(bool bDropped) {
    if (!m_SBSelector.GetSafeHwnd())
        return;
    CRect rect = Geometry().GetSelectorRect();
    if (bDropped)
        rect.bottom += kSelectorDropHeight;
    m_SBSelector.MoveWindow(rect);
}

void CKelSBEditView::OnSize(UINT nType, int cx, int cy) {
    CWnd::OnSize(nType, cx, cy);
    LayoutControls();
    Scroll().UpdateHRange();
    Scroll().UpdateVRange();
    Scroll().UpdateZoomBarRange();
}

void CKelSBEditView::OnDestroy() {
    for (CBitmap* pBitmap : {&m_bmpRangeStart, &m_bmpRangeEnd, &m_bmpTimeLineHead,
                             &m_bmpPlayAllowed, &m_bmpPlayForbidden, &m_bmpLocked, &m_bmpUnlocked,
                             &m_bmpMaterialIn, &m_bmpMaterialStay, &m_bmpMaterialOut})
        pBitmap->DeleteObject();
    if (m_ToolTip.GetSafeHwnd())
        m_ToolTip.DestroyWindow();
    if (m_HeaderTip.GetSafeHwnd())
        m_HeaderTip.DestroyWindow();
    CWnd::OnDestroy();
}

BOOL CKelSBEditView::PreTranslateMessage(MSG* pMsg) {
    if (CancelGestureOnEscape(*pMsg))
        return TRUE;
    if (m_ToolTip.GetSafeHwnd())
        m_ToolTip.RelayEvent(pMsg);
    if (m_HeaderTip.GetSafeHwnd())
        m_HeaderTip.RelayEvent(pMsg);
    return CWnd::PreTranslateMessage(pMsg);
}

// ---- Tool mode and cursor.

// Stores the mode and, when the cursor is over the view, shows the mode's cursor at once.
void CKelSBEditView::SetToolMode(DWORD dwMode) {
    m_dwToolMode = dwMode;
    UpdateCursor();
}

// Sets the cursor again for where it is, when that is over the view.
void CKelSBEditView::UpdateCursor() {
    if (!GetSafeHwnd())
        return;
    CPoint point;
    GetCursorPos(&point);
    ScreenToClient(&point);
    CRect client;
    GetClientRect(&client);
    if (client.PtInRect(point))
        SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(this),
                    MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

BOOL CKelSBEditView::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
    if (!IsLoaded() && pWnd == this && nHitTest == HTCLIENT) {
        CPoint point;
        GetCursorPos(&point);
        ScreenToClient(&point);
        if (const UINT nCursor = CursorIdAt(point)) {
            if (HCURSOR hCursor =
                    CKelModuleRC::LoadCursorW(kel::sbedit::ModuleInstance(), nCursor)) {
                SetCursor(hCursor);
                return TRUE;
            }
        }
    }
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

// ---- Scroll messages and the wheel go to the scroll positions and the zoom.

void CKelSBEditView::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
    CWnd::OnHScroll(nSBCode, nPos, pScrollBar);
    m_scroll.OnScrollBar(nSBCode, pScrollBar);
}

void CKelSBEditView::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
    CWnd::OnVScroll(nSBCode, nPos, pScrollBar);
    m_scroll.OnScrollBar(nSBCode, pScrollBar);
}

BOOL CKelSBEditView::OnMouseWheel(UINT nFlags, short zDelta, CPoint pt) {
    m_scroll.Wheel(zDelta, (nFlags & MK_SHIFT) != 0, (nFlags & MK_CONTROL) != 0, pt);
    return TRUE;
}
