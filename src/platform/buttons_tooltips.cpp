#include "platform/backend.h"
#include "platform/controls.h"
#include "platform/dialog.h"

#include <algorithm>
#include <memory>

namespace {

std::function<CString(UINT)>& StringLoader() {
    static std::function<CString(UINT)> loader;
    return loader;
}

CString LoadTipText(UINT id) {
    const auto& loader = StringLoader();
    return loader ? loader(id) : CString();
}

CString TipText(LPCTSTR text) {
    return (text && text != LPSTR_TEXTCALLBACK) ? CString(text) : CString();
}

bool IsMouseMessage(UINT message) {
    return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST;
}

// The standard control classes make their own objects when a dialog template names them.
struct StandardControls {
    StandardControls() {
        using kel::platform::RegisterControlFactory;
        RegisterControlFactory("BUTTON", [] { return std::make_unique<CButton>(); });
        RegisterControlFactory("LISTBOX", [] { return std::make_unique<CListBox>(); });
        RegisterControlFactory("COMBOBOX", [] { return std::make_unique<CComboBox>(); });
        RegisterControlFactory("SCROLLBAR", [] { return std::make_unique<CScrollBar>(); });
        RegisterControlFactory("STATIC", [] { return std::make_unique<CStatic>(); });
        RegisterControlFactory("tooltips_class32", [] { return std::make_unique<CToolTipCtrl>(); });
    }
};
const StandardControls registerStandardControls;

} // namespace

// ---------------------------------------------------------------------------------------------
// CButton

BOOL CButton::Create(LPCTSTR caption, DWORD style, const CRect& rect, CWnd* parent, UINT id) {
    return CWnd::Create("BUTTON", caption, style, rect, parent, id);
}

void CButton::SetCheck(int check) {
    // Only buttons that show a check keep one; a push button has no checked state to show.
    const DWORD type = ButtonType();
    if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_GROUPBOX ||
        type == BS_OWNERDRAW || type == BS_USERBUTTON)
        return;
    const int limit =
        (type == BS_3STATE || type == BS_AUTO3STATE) ? BST_INDETERMINATE : BST_CHECKED;
    const int value = std::clamp(check, BST_UNCHECKED, limit);
    if (value != m_check) {
        m_check = value;
        if (m_hWnd)
            Invalidate(FALSE);
    }
}

UINT CButton::GetState() const {
    return static_cast<UINT>(m_check) | (m_pushed ? BST_PUSHED : 0) |
           (GetFocus() == this ? BST_FOCUS : 0);
}

void CButton::SetState(BOOL highlight) {
    if (m_pushed != (highlight != FALSE)) {
        m_pushed = highlight != FALSE;
        if (m_hWnd)
            Invalidate(FALSE);
    }
}

void CButton::SetButtonStyle(UINT style, BOOL redraw) {
    ModifyStyle(0xFFFF, style & 0xFFFF);
    if (redraw && m_hWnd)
        Invalidate(FALSE);
}

HBITMAP CButton::SetBitmap(HBITMAP bitmap) {
    HBITMAP previous = m_bitmap;
    m_bitmap = bitmap;
    if (m_hWnd)
        Invalidate(FALSE);
    return previous;
}

void CButton::UncheckGroupSiblings() {
    CWnd* parent = GetParent();
    if (!parent)
        return;
    std::vector<CWnd*> siblings;
    for (CWnd* w = parent->GetWindow(GW_CHILD); w; w = w->GetWindow(GW_HWNDNEXT))
        siblings.push_back(w);
    auto self = std::find(siblings.begin(), siblings.end(), this);
    if (self == siblings.end())
        return;
    // A group runs from a window with WS_GROUP up to the next one with WS_GROUP.
    auto first = self;
    while (first != siblings.begin() && !((*first)->GetStyle() & WS_GROUP))
        --first;
    auto last = self + 1;
    while (last != siblings.end() && !((*last)->GetStyle() & WS_GROUP))
        ++last;
    for (auto it = first; it != last; ++it) {
        auto* button = dynamic_cast<CButton*>(*it);
        if (button && button != this && button->ButtonType() == BS_AUTORADIOBUTTON)
            button->SetCheck(BST_UNCHECKED);
    }
}

BOOL CButton::UserClick() {
    if (!m_hWnd || !IsWindowEnabled())
        return FALSE;
    switch (ButtonType()) {
    case BS_AUTOCHECKBOX:
        SetCheck(m_check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
        break;
    case BS_AUTO3STATE:
        SetCheck((m_check + 1) % 3);
        break;
    case BS_AUTORADIOBUTTON:
        SetCheck(BST_CHECKED);
        UncheckGroupSiblings();
        break;
    default:
        break;
    }
    CWnd* parent = GetParent();
    if (parent && IsWindow(parent))
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED),
                            reinterpret_cast<LPARAM>(this));
    return TRUE;
}

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    auto* dis = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
    if (message == WM_DRAWITEM && dis && dis->hwndItem == this) {
        DrawItem(dis);
        if (result)
            *result = TRUE;
        return TRUE;
    }
    return CWnd::OnChildNotify(message, wParam, lParam, result);
}

void CButton::OnSubclassed(CWnd& previous) {
    CWnd::OnSubclassed(previous);
    if (auto* other = dynamic_cast<CButton*>(&previous)) {
        m_check = other->m_check;
        m_bitmap = other->m_bitmap;
        m_pushed = false;
    }
}

void CButton::OnLButtonDown(UINT /*flags*/, CPoint /*point*/) {
    SetState(TRUE);
    SetCapture();
}

void CButton::OnLButtonUp(UINT /*flags*/, CPoint point) {
    if (!m_pushed)
        return;
    SetState(FALSE);
    if (GetCapture() == this)
        ReleaseCapture();
    CRect client;
    GetClientRect(&client);
    // Releasing the button off the control cancels the click.
    if (client.PtInRect(point))
        UserClick();
}

void CButton::OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    if (ButtonType() == BS_OWNERDRAW) {
        DRAWITEMSTRUCT dis;
        dis.CtlType = ODT_BUTTON;
        dis.CtlID = static_cast<UINT>(GetDlgCtrlID());
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = (m_pushed ? ODS_SELECTED : 0) | (GetFocus() == this ? ODS_FOCUS : 0) |
                        (IsWindowEnabled() ? 0 : ODS_DISABLED);
        dis.hwndItem = this;
        dis.hDC = &dc;
        dis.rcItem = client;
        // Through the parent, which may draw the button itself or hand it back.
        CWnd* parent = GetParent();
        if (parent && IsWindow(parent))
            parent->SendMessage(WM_DRAWITEM, static_cast<WPARAM>(GetDlgCtrlID()),
                                reinterpret_cast<LPARAM>(&dis));
        else
            DrawItem(&dis);
        return;
    }
    const bool down = m_pushed || ((GetStyle() & BS_PUSHLIKE) && m_check == BST_CHECKED);
    dc.FillSolidRect(client, RGB(240, 240, 240));
    dc.Draw3dRect(client, down ? RGB(128, 128, 128) : RGB(255, 255, 255),
                  down ? RGB(255, 255, 255) : RGB(128, 128, 128));
    if (m_bitmap && m_bitmap->GetSafeHandle()) {
        CSize size = m_bitmap->GetSize();
        CPoint at(client.left + (client.Width() - size.cx) / 2,
                  client.top + (client.Height() - size.cy) / 2);
        dc.DrawState(at, size, m_bitmap, DST_BITMAP | DSS_NORMAL);
        return;
    }
    if (CFont* font = GetFont())
        dc.SelectObject(font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(IsWindowEnabled() ? RGB(0, 0, 0) : RGB(128, 128, 128));
    dc.DrawText(GetWindowText(), &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

LRESULT CButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case BM_GETCHECK:
        return GetCheck();
    case BM_SETCHECK:
        SetCheck(static_cast<int>(wParam));
        return 0;
    case BM_GETSTATE:
        return static_cast<LRESULT>(GetState());
    case BM_SETSTATE:
        SetState(static_cast<BOOL>(wParam));
        return 0;
    case BM_SETSTYLE:
        SetButtonStyle(static_cast<UINT>(wParam), static_cast<BOOL>(lParam));
        return 0;
    case BM_CLICK:
        UserClick();
        return 0;
    case BM_GETIMAGE:
        return reinterpret_cast<LRESULT>(GetBitmap());
    case BM_SETIMAGE:
        return reinterpret_cast<LRESULT>(SetBitmap(reinterpret_cast<HBITMAP>(lParam)));
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}

// ---------------------------------------------------------------------------------------------
// CStatic

BOOL CStatic::Create(LPCTSTR text, DWORD style, const CRect& rect, CWnd* parent, UINT id) {
    return CWnd::Create("STATIC", text, style, rect, parent, id);
}

HBITMAP CStatic::SetBitmap(HBITMAP bitmap) {
    HBITMAP previous = m_bitmap;
    m_bitmap = bitmap;
    if (m_hWnd)
        Invalidate();
    return previous;
}

void CStatic::OnSubclassed(CWnd& previous) {
    CWnd::OnSubclassed(previous);
    if (auto* other = dynamic_cast<CStatic*>(&previous))
        m_bitmap = other->m_bitmap;
}

void CStatic::OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    if (m_bitmap && m_bitmap->GetSafeHandle()) {
        dc.DrawState(client.TopLeft(), m_bitmap->GetSize(), m_bitmap, DST_BITMAP | DSS_NORMAL);
        return;
    }
    if (CFont* font = GetFont())
        dc.SelectObject(font);
    dc.SetBkMode(TRANSPARENT);
    UINT align = DT_LEFT;
    if ((GetStyle() & 0x1F) == SS_CENTER)
        align = DT_CENTER;
    else if ((GetStyle() & 0x1F) == SS_RIGHT)
        align = DT_RIGHT;
    dc.DrawText(GetWindowText(), &client, align | DT_WORDBREAK);
}

// ---------------------------------------------------------------------------------------------
// CToolTipCtrl

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD style) {
    return CWnd::CreateEx(0, "tooltips_class32", nullptr, WS_POPUP | style, CRect(), parent, 0);
}

CToolTipCtrl::Tool* CToolTipCtrl::Find(const CWnd* wnd, UINT_PTR toolId) {
    auto it = std::find_if(m_tools.begin(), m_tools.end(),
                           [&](const Tool& t) { return t.wnd == wnd && t.id == toolId; });
    return it == m_tools.end() ? nullptr : &*it;
}

const CToolTipCtrl::Tool* CToolTipCtrl::FindTool(const CWnd* wnd, UINT_PTR toolId) const {
    return const_cast<CToolTipCtrl*>(this)->Find(wnd, toolId);
}

BOOL CToolTipCtrl::AddTool(CWnd* wnd, LPCTSTR text, const CRect* toolRect, UINT_PTR toolId) {
    if (!wnd)
        return FALSE;
    // Adding a tool again replaces it, so a window never has two tips for one spot.
    Tool* tool = Find(wnd, toolId);
    if (!tool) {
        m_tools.push_back(Tool{wnd, toolId, CRect(), CString()});
        tool = &m_tools.back();
    }
    tool->rect = toolRect ? *toolRect : CRect();
    tool->text = TipText(text);
    return TRUE;
}

BOOL CToolTipCtrl::AddTool(CWnd* wnd, UINT textId, const CRect* toolRect, UINT_PTR toolId) {
    CString text = LoadTipText(textId);
    return AddTool(wnd, text.GetString(), toolRect, toolId);
}

void CToolTipCtrl::DelTool(CWnd* wnd, UINT_PTR toolId) {
    if (m_shownWnd == wnd && m_shownId == toolId)
        Pop();
    std::erase_if(m_tools, [&](const Tool& t) { return t.wnd == wnd && t.id == toolId; });
}

void CToolTipCtrl::UpdateTipText(LPCTSTR text, CWnd* wnd, UINT_PTR toolId) {
    Tool* tool = Find(wnd, toolId);
    if (!tool)
        return;
    tool->text = TipText(text);
    // The tool under the mouse shows its new text at once (or puts its tip away).
    if (m_active && m_shownWnd == wnd && m_shownId == toolId) {
        CPoint cursor = kel::platform::GetBackend().GetCursorPos();
        Show(tool, cursor);
    }
}

void CToolTipCtrl::UpdateTipText(UINT textId, CWnd* wnd, UINT_PTR toolId) {
    CString text = LoadTipText(textId);
    UpdateTipText(text.GetString(), wnd, toolId);
}

void CToolTipCtrl::SetToolRect(CWnd* wnd, UINT_PTR toolId, const CRect& rect) {
    if (Tool* tool = Find(wnd, toolId))
        tool->rect = rect;
}

void CToolTipCtrl::Activate(BOOL activate) {
    m_active = activate != FALSE;
    if (!m_active)
        Pop();
}

void CToolTipCtrl::Pop() {
    const bool wasShown = !m_shownText.IsEmpty();
    m_shownWnd = nullptr;
    m_shownId = 0;
    m_shownText.Empty();
    CWnd* owner = GetParent();
    if (wasShown && owner)
        kel::platform::GetBackend().ShowTooltip(*owner, CString(), CPoint());
}

void CToolTipCtrl::Show(const Tool* tool, CPoint screen) {
    if (!tool || tool->text.IsEmpty()) {
        Pop();
        if (tool) {
            m_shownWnd = tool->wnd;
            m_shownId = tool->id;
        }
        return;
    }
    m_shownWnd = tool->wnd;
    m_shownId = tool->id;
    m_shownText = tool->text;
    CWnd* owner = GetParent() ? GetParent() : tool->wnd;
    kel::platform::GetBackend().ShowTooltip(*owner, m_shownText, screen);
}

void CToolTipCtrl::RelayEvent(LPMSG msg) {
    if (!msg || !IsMouseMessage(msg->message))
        return;
    if (!m_active) {
        Pop();
        return;
    }
    // A click puts the tip away; it comes back with the next move over a tool.
    if (msg->message != WM_MOUSEMOVE) {
        Pop();
        return;
    }
    CWnd* wnd = msg->hwnd;
    const CPoint point(GET_X_LPARAM(msg->lParam), GET_Y_LPARAM(msg->lParam));
    const Tool* hit = nullptr;
    for (const Tool& tool : m_tools) {
        if (tool.wnd != wnd || !IsWindow(tool.wnd))
            continue;
        CRect area = tool.rect;
        if (area.IsRectEmpty())
            tool.wnd->GetClientRect(&area);
        if (area.PtInRect(point)) {
            hit = &tool;
            break;
        }
    }
    if (!hit) {
        Pop();
        return;
    }
    CPoint screen = point;
    wnd->ClientToScreen(&screen);
    // Moving within the same tool keeps the tip where it is.
    if (hit->wnd == m_shownWnd && hit->id == m_shownId && m_shownText == hit->text)
        return;
    Show(hit, screen);
}

LRESULT CToolTipCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const TOOLINFO* info = reinterpret_cast<const TOOLINFO*>(lParam);
    auto toolWnd = [](const TOOLINFO* ti) {
        return (ti->uFlags & TTF_IDISHWND) ? reinterpret_cast<CWnd*>(ti->uId) : ti->hwnd;
    };
    auto toolId = [](const TOOLINFO* ti) { return (ti->uFlags & TTF_IDISHWND) ? 0 : ti->uId; };
    switch (message) {
    case TTM_ACTIVATE:
        Activate(static_cast<BOOL>(wParam));
        return 0;
    case TTM_RELAYEVENT:
        RelayEvent(reinterpret_cast<LPMSG>(lParam));
        return 0;
    case TTM_POP:
        Pop();
        return 0;
    case TTM_ADDTOOL:
        if (!info)
            return FALSE;
        return AddTool(toolWnd(info), info->lpszText,
                       (info->uFlags & TTF_IDISHWND) ? nullptr : &info->rect, toolId(info));
    case TTM_DELTOOL:
        if (info)
            DelTool(toolWnd(info), toolId(info));
        return 0;
    case TTM_UPDATETIPTEXT:
        if (info)
            UpdateTipText(info->lpszText, toolWnd(info), toolId(info));
        return 0;
    case TTM_NEWTOOLRECT:
        if (info)
            SetToolRect(toolWnd(info), toolId(info), info->rect);
        return 0;
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}

namespace kel::platform {

void SetTooltipStringLoader(std::function<CString(UINT)> loader) {
    StringLoader() = std::move(loader);
}

} // namespace kel::platform
