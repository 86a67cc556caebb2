#include "host/gui/combo_popup_menu.h"

#include "host/gui/skin.h"
#include "host/services/gui_font.h"
#include "host/services/module_rc.h"

using namespace kel::gui;

namespace {

// Menu texts carry mnemonics and accelerator hints that a face does not show.
CString faceText(const CString& menuText) {
    CString text = menuText;
    const int tab = text.Find('\t');
    if (tab >= 0)
        text = text.Left(tab);
    text.Replace("&&", "\x01");
    text.Replace("&", "");
    text.Replace("\x01", "&");
    return text;
}

} // namespace

CKelComboPopupMenu::CKelComboPopupMenu() = default;
CKelComboPopupMenu::~CKelComboPopupMenu() = default;

BOOL CKelComboPopupMenu::Create(HINSTANCE module, UINT menuId, const CRect& rect, CWnd* parent,
                                UINT id) {
    if (!parent || GetSafeHwnd() || m_menu.GetSafeHmenu())
        return FALSE;
    if (!CKelModuleRC::LoadMenuW(module, menuId, m_menu))
        return FALSE;
    if (!m_menu.GetSubMenu(0) ||
        !CButton::Create("", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, rect, parent, id)) {
        m_menu.DestroyMenu();
        return FALSE;
    }
    return TRUE;
}

CMenu* CKelComboPopupMenu::GetPopupMenu() const {
    return m_menu.GetSafeHmenu() ? m_menu.GetSubMenu(0) : nullptr;
}

int CKelComboPopupMenu::GetMenuItemCount() const {
    const CMenu* popup = GetPopupMenu();
    return popup ? popup->GetMenuItemCount() : 0;
}

int CKelComboPopupMenu::FindCommandIndex(UINT id) const {
    const CMenu* popup = GetPopupMenu();
    if (!popup || id == 0)
        return -1;
    for (int i = 0; i < popup->GetMenuItemCount(); ++i)
        if (popup->GetMenuItemID(i) == id)
            return i;
    return -1;
}

BOOL CKelComboPopupMenu::SetCurMenuItem(int index) {
    CMenu* popup = GetPopupMenu();
    if (!popup || index < 0 || index >= popup->GetMenuItemCount())
        return FALSE;
    const UINT id = popup->GetMenuItemID(index);
    if (id == 0 || id == static_cast<UINT>(-1))
        return FALSE;
    if (m_curItem >= 0)
        popup->CheckMenuItem(static_cast<UINT>(m_curItem), MF_BYPOSITION | MF_UNCHECKED);
    popup->CheckMenuItem(static_cast<UINT>(index), MF_BYPOSITION | MF_CHECKED);
    m_curItem = index;
    m_freeText = false;
    m_text.Empty();
    if (GetSafeHwnd())
        Invalidate(FALSE);
    return TRUE;
}

void CKelComboPopupMenu::SetText(const CString& text) {
    // A free value matches no item, so none stays checked; the index is kept for stepping.
    if (CMenu* popup = GetPopupMenu(); popup && m_curItem >= 0)
        popup->CheckMenuItem(static_cast<UINT>(m_curItem), MF_BYPOSITION | MF_UNCHECKED);
    m_text = text;
    m_freeText = true;
    if (GetSafeHwnd())
        Invalidate(FALSE);
}

CString CKelComboPopupMenu::GetShownText() const {
    if (m_freeText)
        return m_text;
    const CMenu* popup = GetPopupMenu();
    if (!popup || m_curItem < 0)
        return {};
    return faceText(popup->GetMenuString(static_cast<UINT>(m_curItem), MF_BYPOSITION));
}

UINT CKelComboPopupMenu::ShowPopup() {
    CMenu* popup = GetPopupMenu();
    if (!popup || !GetSafeHwnd() || !IsWindowEnabled())
        return 0;
    CRect client;
    GetClientRect(&client);
    CPoint below(client.left, client.bottom);
    ClientToScreen(&below);
    const UINT chosen = static_cast<UINT>(popup->TrackPopupMenu(
        TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD, below.x, below.y, this));
    if (chosen == 0 || !popup->IsCommandSelectable(chosen))
        return 0;
    const int index = FindCommandIndex(chosen);
    if (index >= 0)
        SetCurMenuItem(index);
    CWnd* target = GetOwner() ? GetOwner() : GetParent();
    if (target && IsWindow(target))
        target->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<int>(chosen), 0), 0);
    return chosen;
}

LRESULT CKelComboPopupMenu::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // The menu opens on the press, as a drop-down box does; the parent never sees a click.
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK || message == BM_CLICK) {
        ShowPopup();
        return 0;
    }
    return CButton::WindowProc(message, wParam, lParam);
}

void CKelComboPopupMenu::OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    DrawBevel(dc, client, kFace, false);
    const int arrowWidth = client.Height();
    CRect arrow(client.right - arrowWidth, client.top, client.right, client.bottom);
    arrow.DeflateRect(1, 1);
    DrawBevel(dc, arrow, kFaceHot, false);
    DrawArrow(dc, arrow, 3, IsWindowEnabled() ? kText : kTextDisabled);

    CFont* font = CKelGuiFont::GetFont();
    CFont* oldFont = font ? dc.SelectObject(font) : nullptr;
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(IsWindowEnabled() ? kText : kTextDisabled);
    CRect text(client.left + 4, client.top, arrow.left - 2, client.bottom);
    dc.DrawText(GetShownText(), text,
                DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    if (oldFont)
        dc.SelectObject(oldFont);
}
