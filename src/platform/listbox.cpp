// CListBox: items, selection and owner-drawn painting.
#include "platform/backend.h"
#include "platform/controls.h"

#include <algorithm>
#include <utility>

namespace {

void Notify(CWnd& control, int code) {
    CWnd* parent = control.GetParent();
    if (parent && IsWindow(parent))
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(control.GetDlgCtrlID(), code),
                            reinterpret_cast<LPARAM>(&control));
}

bool InRange(int index, std::size_t count) {
    return index >= 0 && static_cast<std::size_t>(index) < count;
}

LPCTSTR TextParam(LPARAM lParam) {
    const char* text = reinterpret_cast<const char*>(lParam);
    return text ? text : "";
}

// Sorted lists keep entries in case-insensitive order; an equal entry goes after its equals.
template <class Items>
std::size_t SortedPosition(const Items& items, LPCTSTR text) {
    CString key(text);
    std::size_t at = 0;
    while (at < items.size() && items[at].text.CompareNoCase(key.str()) <= 0)
        ++at;
    return at;
}

} // namespace

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
        m_items = std::move(other->m_items);
        m_curSel = std::exchange(other->m_curSel, -1);
        m_topIndex = std::exchange(other->m_topIndex, 0);
        m_fixedHeight = other->m_fixedHeight;
        other->m_items.clear();
    }
    // The new object may measure differently; items measured by the old one are measured again.
    for (std::size_t i = 0; i < m_items.size(); ++i)
        Measure(i);
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
    m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(at), Item{CString(text), 0, 0});
    if (m_curSel >= static_cast<int>(at))
        ++m_curSel;
    Measure(at);
    Repaint();
    return static_cast<int>(at);
}

int CListBox::AddString(LPCTSTR text) {
    text = text ? text : "";
    return InsertAt((GetStyle() & LBS_SORT) ? SortedPosition(m_items, text) : m_items.size(), text);
}

int CListBox::InsertString(int index, LPCTSTR text) {
    if (index == -1)
        index = GetCount();
    if (index < 0 || index > GetCount())
        return LB_ERR;
    return InsertAt(static_cast<std::size_t>(index), text ? text : "");
}

int CListBox::DeleteString(UINT index) {
    if (index >= m_items.size())
        return LB_ERR;
    m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(index));
    if (m_curSel == static_cast<int>(index))
        m_curSel = -1;
    else if (m_curSel > static_cast<int>(index))
        --m_curSel;
    m_topIndex = std::clamp(m_topIndex, 0, std::max(GetCount() - 1, 0));
    Repaint();
    return GetCount();
}

void CListBox::ResetContent() {
    m_items.clear();
    m_curSel = -1;
    m_topIndex = 0;
    Repaint();
}

int CListBox::SetCurSel(int index) {
    m_curSel = InRange(index, m_items.size()) ? index : -1;
    Repaint();
    return m_curSel >= 0 ? m_curSel : LB_ERR;
}

int CListBox::GetText(int index, CString& text) const {
    if (!InRange(index, m_items.size()))
        return LB_ERR;
    text = m_items[static_cast<std::size_t>(index)].text;
    return text.GetLength();
}

CString CListBox::GetText(int index) const {
    CString text;
    GetText(index, text);
    return text;
}

int CListBox::GetTextLen(int index) const {
    return InRange(index, m_items.size())
               ? m_items[static_cast<std::size_t>(index)].text.GetLength()
               : LB_ERR;
}

int CListBox::SetItemData(int index, DWORD_PTR data) {
    if (!InRange(index, m_items.size()))
        return LB_ERR;
    m_items[static_cast<std::size_t>(index)].data = data;
    return LB_OKAY;
}

DWORD_PTR CListBox::GetItemData(int index) const {
    return InRange(index, m_items.size()) ? m_items[static_cast<std::size_t>(index)].data
                                          : static_cast<DWORD_PTR>(LB_ERR);
}

void* CListBox::GetItemDataPtr(int index) const {
    return InRange(index, m_items.size())
               ? reinterpret_cast<void*>(m_items[static_cast<std::size_t>(index)].data)
               : nullptr;
}

int CListBox::FindStringExact(int startAfter, LPCTSTR text) const {
    const int count = GetCount();
    for (int n = 1; n <= count; ++n) {
        int i = ((startAfter < 0 ? -1 : startAfter) + n) % count;
        if (m_items[static_cast<std::size_t>(i)].text.CompareNoCase(text ? text : "") == 0)
            return i;
    }
    return LB_ERR;
}

int CListBox::GetItemHeight(int index) const {
    if ((GetStyle() & LBS_OWNERDRAWVARIABLE) && InRange(index, m_items.size()))
        return m_items[static_cast<std::size_t>(index)].height;
    return DefaultItemHeight();
}

int CListBox::SetItemHeight(int index, UINT height) {
    if (height == 0 || height > 255)
        return LB_ERR;
    if (GetStyle() & LBS_OWNERDRAWVARIABLE) {
        if (!InRange(index, m_items.size()))
            return LB_ERR;
        m_items[static_cast<std::size_t>(index)].height = static_cast<int>(height);
    } else {
        m_fixedHeight = static_cast<int>(height);
    }
    Repaint();
    return LB_OKAY;
}

int CListBox::SetTopIndex(int index) {
    if (!InRange(index, m_items.size()))
        return LB_ERR;
    m_topIndex = index;
    Repaint();
    return LB_OKAY;
}

int CListBox::GetItemRect(int index, CRect* rect) const {
    if (!rect || !InRange(index, m_items.size()))
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
    if (!IsWindowEnabled() || !InRange(index, m_items.size()))
        return FALSE;
    SetCurSel(index);
    if (GetStyle() & LBS_NOTIFY)
        Notify(*this, LBN_SELCHANGE);
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
            dis.itemState = (i == m_curSel ? ODS_SELECTED : 0) |
                            (i == m_curSel && focused ? ODS_FOCUS : 0) |
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
            const bool selected = i == m_curSel;
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
