// CListBox: items, selection and owner-drawn painting.
#include "platform/backend.h"
#include "platform/controls.h"

#include <algorithm>
#include <utility>

using kel::platform::detail::NotifyParent;
using kel::platform::detail::TextParam;

// ---------------------------------------------------------------------------------------------
// CListBox

BOOL CListBox::Create(DWORD style, const CRect& rect, CWnd* parent, UINT id) {
    return CWnd::Create("LISTBOX", nullptr, style, rect, parent, id);
}

bool CListBox::IsOwnerDraw() const {
    return (GetStyle() & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0;
}

int CListBox::DefaultItemHeight() const {
    if (m_fixedHeight > 0)
        return m_fixedHeight;
    // One line of the list's font; without one a list draws in the system font.
    const CFont* font = GetFont();
    if (!font)
        font = static_cast<const CFont*>(GetStockObject(SYSTEM_FONT));
    return std::max(kel::platform::GetBackend().GetTextMetrics(font->GetDesc()).height, 1);
}

// Owner-draw requests go through the parent, which may draw the item itself; by default it
// hands them back (OnChildNotify). A list without a parent draws its items on its own.
void CListBox::SendOwnerDraw(UINT message, void* data) {
    CWnd* parent = GetParent();
    if (m_hWnd && parent && IsWindow(parent)) {
        parent->SendMessage(message, static_cast<WPARAM>(GetDlgCtrlID()),
                            reinterpret_cast<LPARAM>(data));
    } else if (message == WM_DRAWITEM) {
        DrawItem(static_cast<LPDRAWITEMSTRUCT>(data));
    } else {
        MeasureItem(static_cast<LPMEASUREITEMSTRUCT>(data));
    }
}

BOOL CListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_DRAWITEM) {
        auto* dis = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
        if (dis && dis->hwndItem == this) {
            DrawItem(dis);
            if (result)
                *result = TRUE;
            return TRUE;
        }
    } else if (message == WM_MEASUREITEM) {
        auto* mis = reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam);
        if (mis && mis->CtlType == ODT_LISTBOX) {
            MeasureItem(mis);
            if (result)
                *result = TRUE;
            return TRUE;
        }
    }
    return CWnd::OnChildNotify(message, wParam, lParam, result);
}

void CListBox::OnSubclassed(CWnd& previous) {
    CWnd::OnSubclassed(previous);
    if (auto* other = dynamic_cast<CListBox*>(&previous)) {
        m_items = std::exchange(other->m_items, {});
        m_topIndex = std::exchange(other->m_topIndex, 0);
        m_fixedHeight = other->m_fixedHeight;
    }
    // The new object may measure differently; items measured by the old one are measured again.
    for (int i = 0; i < GetCount(); ++i)
        Measure(static_cast<std::size_t>(i));
}

void CListBox::Measure(std::size_t index) {
    Item& item = m_items[index];
    if (!IsOwnerDraw()) {
        item.height = 0; // the list's common height
        return;
    }
    const bool variable = (GetStyle() & LBS_OWNERDRAWVARIABLE) != 0;
    if (!variable && m_fixedHeight > 0)
        return;
    MEASUREITEMSTRUCT mis;
    mis.CtlType = ODT_LISTBOX;
    mis.CtlID = static_cast<UINT>(GetDlgCtrlID());
    mis.itemID = static_cast<UINT>(index);
    mis.itemHeight = static_cast<UINT>(DefaultItemHeight());
    mis.itemData = item.data;
    SendOwnerDraw(WM_MEASUREITEM, &mis);
    if (variable)
        item.height = static_cast<int>(mis.itemHeight);
    else
        m_fixedHeight = static_cast<int>(mis.itemHeight);
}

void CListBox::Repaint() {
    if (m_hWnd)
        Invalidate();
}

int CListBox::InsertAt(std::size_t at, LPCTSTR text) {
    m_items.InsertAt(at, text);
    Measure(at);
    Repaint();
    return static_cast<int>(at);
}

int CListBox::AddString(LPCTSTR text) {
    text = text ? text : "";
    return InsertAt((GetStyle() & LBS_SORT) ? m_items.SortedPosition(text)
                                            : static_cast<std::size_t>(GetCount()),
                    text);
}

int CListBox::InsertString(int index, LPCTSTR text) {
    if (index == -1)
        index = GetCount();
    if (index < 0 || index > GetCount())
        return LB_ERR;
    return InsertAt(static_cast<std::size_t>(index), text ? text : "");
}

int CListBox::DeleteString(UINT index) {
    if (index >= static_cast<UINT>(GetCount()))
        return LB_ERR;
    m_items.EraseAt(index);
    m_topIndex = std::clamp(m_topIndex, 0, std::max(GetCount() - 1, 0));
    Repaint();
    return GetCount();
}

void CListBox::ResetContent() {
    m_items.Clear();
    m_topIndex = 0;
    Repaint();
}

int CListBox::SetCurSel(int index) {
    const int selected = m_items.SetCurSel(index);
    Repaint();
    return selected;
}

int CListBox::GetText(int index, CString& text) const {
    return m_items.GetText(index, text);
}

CString CListBox::GetText(int index) const {
    CString text;
    GetText(index, text);
    return text;
}

int CListBox::GetTextLen(int index) const {
    return m_items.GetTextLen(index);
}

int CListBox::SetItemData(int index, DWORD_PTR data) {
    return m_items.SetItemData(index, data);
}

DWORD_PTR CListBox::GetItemData(int index) const {
    return m_items.GetItemData(index);
}

void* CListBox::GetItemDataPtr(int index) const {
    return m_items.GetItemDataPtr(index);
}

int CListBox::FindStringExact(int startAfter, LPCTSTR text) const {
    return m_items.FindStringExact(startAfter, text);
}

int CListBox::GetItemHeight(int index) const {
    if ((GetStyle() & LBS_OWNERDRAWVARIABLE) && m_items.IsValid(index))
        return m_items[static_cast<std::size_t>(index)].height;
    return DefaultItemHeight();
}

int CListBox::SetItemHeight(int index, UINT height) {
    if (height == 0 || height > 255)
        return LB_ERR;
    if (GetStyle() & LBS_OWNERDRAWVARIABLE) {
        if (!m_items.IsValid(index))
            return LB_ERR;
        m_items[static_cast<std::size_t>(index)].height = static_cast<int>(height);
    } else {
        m_fixedHeight = static_cast<int>(height);
    }
    Repaint();
    return LB_OKAY;
}

int CListBox::SetTopIndex(int index) {
    if (!m_items.IsValid(index))
        return LB_ERR;
    m_topIndex = index;
    Repaint();
    return LB_OKAY;
}

int CListBox::GetItemRect(int index, CRect* rect) const {
    if (!rect || !m_items.IsValid(index))
        return LB_ERR;
    CRect client;
    if (m_hWnd)
        GetClientRect(&client);
    // Items above the top one lie above the client area.
    int y = 0;
    if (index >= m_topIndex)
        for (int i = m_topIndex; i < index; ++i)
            y += GetItemHeight(i);
    else
        for (int i = index; i < m_topIndex; ++i)
            y -= GetItemHeight(i);
    *rect = CRect(0, y, client.Width(), y + GetItemHeight(index));
    return LB_OKAY;
}

UINT CListBox::ItemFromPoint(CPoint point, BOOL& outside) const {
    CRect client;
    if (m_hWnd)
        GetClientRect(&client);
    outside = TRUE;
    if (m_items.empty())
        return 0;
    int y = 0;
    for (int i = m_topIndex; i < GetCount(); ++i) {
        const int h = GetItemHeight(i);
        if (point.y < y + h) {
            outside = (point.y < 0 || point.x < 0 || point.x >= client.Width()) ? TRUE : FALSE;
            return static_cast<UINT>(std::max(i, 0));
        }
        y += h;
    }
    return static_cast<UINT>(GetCount() - 1);
}

void CListBox::DrawItem(LPDRAWITEMSTRUCT) {}

void CListBox::MeasureItem(LPMEASUREITEMSTRUCT) {}

BOOL CListBox::UserSelect(int index) {
    if (!IsWindowEnabled() || !m_items.IsValid(index))
        return FALSE;
    SetCurSel(index);
    if (GetStyle() & LBS_NOTIFY)
        NotifyParent(*this, LBN_SELCHANGE);
    return TRUE;
}

void CListBox::OnLButtonDown(UINT /*flags*/, CPoint point) {
    BOOL outside = TRUE;
    UINT index = ItemFromPoint(point, outside);
    SetFocus();
    if (!outside)
        UserSelect(static_cast<int>(index));
}

void CListBox::OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    const bool focused = GetFocus() == this;
    for (int i = m_topIndex; i < GetCount(); ++i) {
        CRect item;
        GetItemRect(i, &item);
        if (item.top >= client.bottom)
            break;
        const Item& entry = m_items[static_cast<std::size_t>(i)];
        if (IsOwnerDraw()) {
            DRAWITEMSTRUCT dis;
            dis.CtlType = ODT_LISTBOX;
            dis.CtlID = static_cast<UINT>(GetDlgCtrlID());
            dis.itemID = static_cast<UINT>(i);
            dis.itemAction = ODA_DRAWENTIRE;
            dis.itemState = (i == GetCurSel() ? ODS_SELECTED : 0) |
                            (i == GetCurSel() && focused ? ODS_FOCUS : 0) |
                            (IsWindowEnabled() ? 0 : ODS_DISABLED);
            dis.hwndItem = this;
            dis.hDC = &dc;
            dis.rcItem = item;
            dis.itemData = entry.data;
            // Each item starts from the list's own DC state, whatever the last one left.
            const int saved = dc.SaveDC();
            SendOwnerDraw(WM_DRAWITEM, &dis);
            dc.RestoreDC(saved);
        } else {
            const bool selected = i == GetCurSel();
            dc.FillSolidRect(item, selected ? RGB(0, 120, 215) : RGB(255, 255, 255));
            dc.SetTextColor(selected ? RGB(255, 255, 255) : RGB(0, 0, 0));
            dc.SetBkMode(TRANSPARENT);
            CRect text = item;
            text.DeflateRect(2, 0);
            dc.DrawText(entry.text, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
    }
}

LRESULT CListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const int index = static_cast<int>(wParam);
    switch (message) {
    case LB_ADDSTRING:
        return AddString(TextParam(lParam));
    case LB_INSERTSTRING:
        return InsertString(index, TextParam(lParam));
    case LB_DELETESTRING:
        return DeleteString(static_cast<UINT>(wParam));
    case LB_RESETCONTENT:
        ResetContent();
        return LB_OKAY;
    case LB_GETCOUNT:
        return GetCount();
    case LB_GETCURSEL:
        return GetCurSel();
    case LB_SETCURSEL:
        return SetCurSel(index);
    case LB_GETTEXT: {
        CString* out = reinterpret_cast<CString*>(lParam);
        return out ? GetText(index, *out) : LB_ERR;
    }
    case LB_GETTEXTLEN:
        return GetTextLen(index);
    case LB_SETITEMDATA:
        return SetItemData(index, static_cast<DWORD_PTR>(lParam));
    case LB_GETITEMDATA:
        return static_cast<LRESULT>(GetItemData(index));
    case LB_FINDSTRINGEXACT:
        return FindStringExact(index, TextParam(lParam));
    case LB_GETITEMRECT:
        return GetItemRect(index, reinterpret_cast<CRect*>(lParam));
    case LB_GETITEMHEIGHT:
        return GetItemHeight(index);
    case LB_SETITEMHEIGHT:
        return SetItemHeight(index, static_cast<UINT>(LOWORD(static_cast<std::uintptr_t>(lParam))));
    case LB_GETTOPINDEX:
        return GetTopIndex();
    case LB_SETTOPINDEX:
        return SetTopIndex(index);
    case LB_ITEMFROMPOINT: {
        BOOL outside = TRUE;
        UINT item = ItemFromPoint(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)), outside);
        return MAKELPARAM(static_cast<int>(item), outside ? 1 : 0);
    }
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}
