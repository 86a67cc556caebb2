#include "platform/controls.h"

#include "platform/backend.h"

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
// CScrollBar

BOOL CScrollBar::Create(DWORD style, const CRect& rect, CWnd* parent, UINT id) {
    return CWnd::Create("SCROLLBAR", nullptr, style, rect, parent, id);
}

void CScrollBar::Clamp() {
    const int range = m_info.nMax - m_info.nMin + 1;
    if (m_info.nPage > static_cast<UINT>(std::max(range, 0)))
        m_info.nPage = static_cast<UINT>(std::max(range, 0));
    m_info.nPos = std::clamp(m_info.nPos, m_info.nMin, GetScrollLimit());
}

int CScrollBar::GetScrollLimit() const {
    const int page = static_cast<int>(m_info.nPage);
    return std::max(m_info.nMin, m_info.nMax - std::max(page - 1, 0));
}

void CScrollBar::Changed(BOOL redraw) {
    if (redraw && m_hWnd)
        Invalidate(FALSE);
}

int CScrollBar::SetScrollInfo(LPSCROLLINFO info, BOOL redraw) {
    if (!info || (info->cbSize != sizeof(SCROLLINFO) && info->cbSize != sizeof(SCROLLINFO) - 4))
        return 0;
    if (info->fMask & SIF_RANGE) {
        // The size of a range must fit a signed int; what does not is no range at all.
        const long long size = static_cast<long long>(info->nMax) - info->nMin;
        if (size < 0 || size >= 0x80000000LL) {
            m_info.nMin = 0;
            m_info.nMax = 0;
        } else {
            m_info.nMin = info->nMin;
            m_info.nMax = info->nMax;
        }
    }
    if (info->fMask & SIF_PAGE)
        m_info.nPage = info->nPage;
    if (info->fMask & SIF_POS)
        m_info.nPos = info->nPos;
    Clamp();
    Changed(redraw);
    return m_info.nPos;
}

BOOL CScrollBar::GetScrollInfo(LPSCROLLINFO info, UINT mask) const {
    if (!info || !(mask & SIF_ALL))
        return FALSE;
    info->fMask = mask;
    if (mask & SIF_RANGE) {
        info->nMin = m_info.nMin;
        info->nMax = m_info.nMax;
    }
    if (mask & SIF_PAGE)
        info->nPage = m_info.nPage;
    if (mask & SIF_POS)
        info->nPos = m_info.nPos;
    // A short structure has no room for the tracking position.
    if ((mask & SIF_TRACKPOS) && info->cbSize >= sizeof(SCROLLINFO))
        info->nTrackPos = GetTrackPos();
    return TRUE;
}

void CScrollBar::SetScrollRange(int minPos, int maxPos, BOOL redraw) {
    SCROLLINFO si;
    si.fMask = SIF_RANGE;
    si.nMin = minPos;
    si.nMax = maxPos;
    SetScrollInfo(&si, redraw);
}

void CScrollBar::GetScrollRange(int* minPos, int* maxPos) const {
    if (minPos)
        *minPos = m_info.nMin;
    if (maxPos)
        *maxPos = m_info.nMax;
}

int CScrollBar::SetScrollPos(int pos, BOOL redraw) {
    const int previous = m_info.nPos;
    SCROLLINFO si;
    si.fMask = SIF_POS;
    si.nPos = pos;
    SetScrollInfo(&si, redraw);
    return previous;
}

void CScrollBar::OnSubclassed(CWnd& previous) {
    CWnd::OnSubclassed(previous);
    if (auto* other = dynamic_cast<CScrollBar*>(&previous)) {
        m_info = other->m_info;
        m_tracking = false;
    }
}

void CScrollBar::UserScroll(UINT code, int thumbPos) {
    if (!IsWindowEnabled())
        return;
    int pos = 0;
    if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) {
        m_tracking = true;
        m_info.nTrackPos = std::clamp(thumbPos, m_info.nMin, GetScrollLimit());
        pos = m_info.nTrackPos;
    }
    CWnd* parent = GetParent();
    if (parent && IsWindow(parent))
        parent->SendMessage(IsVertical() ? WM_VSCROLL : WM_HSCROLL,
                            MAKEWPARAM(static_cast<int>(code), pos),
                            reinterpret_cast<LPARAM>(this));
    if (code == SB_THUMBPOSITION)
        m_tracking = false;
}

LRESULT CScrollBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case SBM_SETPOS:
        return SetScrollPos(static_cast<int>(wParam), static_cast<BOOL>(lParam));
    case SBM_GETPOS:
        return GetScrollPos();
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW: {
        const int previous = m_info.nPos;
        SetScrollRange(static_cast<int>(wParam), static_cast<int>(lParam),
                       message == SBM_SETRANGEREDRAW);
        return previous;
    }
    case SBM_GETRANGE:
        GetScrollRange(reinterpret_cast<int*>(wParam), reinterpret_cast<int*>(lParam));
        return 0;
    case SBM_SETSCROLLINFO:
        return SetScrollInfo(reinterpret_cast<LPSCROLLINFO>(lParam), static_cast<BOOL>(wParam));
    case SBM_GETSCROLLINFO: {
        LPSCROLLINFO info = reinterpret_cast<LPSCROLLINFO>(lParam);
        return info ? GetScrollInfo(info, info->fMask) : FALSE;
    }
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}

// ---------------------------------------------------------------------------------------------
// CComboBox

BOOL CComboBox::Create(DWORD style, const CRect& rect, CWnd* parent, UINT id) {
    return CWnd::Create("COMBOBOX", nullptr, style, rect, parent, id);
}

int CComboBox::InsertAt(std::size_t at, LPCTSTR text) {
    m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(at), Item{CString(text), 0});
    if (m_curSel >= static_cast<int>(at))
        ++m_curSel;
    return static_cast<int>(at);
}

int CComboBox::AddString(LPCTSTR text) {
    text = text ? text : "";
    return InsertAt((GetStyle() & CBS_SORT) ? SortedPosition(m_items, text) : m_items.size(), text);
}

int CComboBox::InsertString(int index, LPCTSTR text) {
    if (index == -1)
        index = GetCount();
    if (index < 0 || index > GetCount())
        return CB_ERR;
    return InsertAt(static_cast<std::size_t>(index), text ? text : "");
}

int CComboBox::DeleteString(UINT index) {
    if (index >= m_items.size())
        return CB_ERR;
    m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(index));
    if (m_curSel == static_cast<int>(index)) {
        m_curSel = -1;
        ShowSelection();
    } else if (m_curSel > static_cast<int>(index)) {
        --m_curSel;
    }
    return GetCount();
}

void CComboBox::ResetContent() {
    m_items.clear();
    m_curSel = -1;
    ShowSelection();
}

void CComboBox::ShowSelection() {
    if (m_hWnd)
        SetWindowText(m_curSel >= 0 ? m_items[static_cast<std::size_t>(m_curSel)].text.GetString()
                                    : "");
}

int CComboBox::SetCurSel(int index) {
    m_curSel = InRange(index, m_items.size()) ? index : -1;
    ShowSelection();
    return m_curSel >= 0 ? m_curSel : CB_ERR;
}

int CComboBox::GetLBText(int index, CString& text) const {
    if (!InRange(index, m_items.size()))
        return CB_ERR;
    text = m_items[static_cast<std::size_t>(index)].text;
    return text.GetLength();
}

CString CComboBox::GetLBText(int index) const {
    CString text;
    GetLBText(index, text);
    return text;
}

int CComboBox::GetLBTextLen(int index) const {
    return InRange(index, m_items.size())
               ? m_items[static_cast<std::size_t>(index)].text.GetLength()
               : CB_ERR;
}

int CComboBox::SetItemData(int index, DWORD_PTR data) {
    if (!InRange(index, m_items.size()))
        return CB_ERR;
    m_items[static_cast<std::size_t>(index)].data = data;
    return CB_OKAY;
}

DWORD_PTR CComboBox::GetItemData(int index) const {
    return InRange(index, m_items.size()) ? m_items[static_cast<std::size_t>(index)].data
                                          : static_cast<DWORD_PTR>(CB_ERR);
}

void* CComboBox::GetItemDataPtr(int index) const {
    return InRange(index, m_items.size())
               ? reinterpret_cast<void*>(m_items[static_cast<std::size_t>(index)].data)
               : nullptr;
}

int CComboBox::FindStringExact(int startAfter, LPCTSTR text) const {
    const int count = GetCount();
    // The search starts after `startAfter` and wraps around, as the desktop's does.
    for (int n = 1; n <= count; ++n) {
        int i = ((startAfter < 0 ? -1 : startAfter) + n) % count;
        if (m_items[static_cast<std::size_t>(i)].text.CompareNoCase(text ? text : "") == 0)
            return i;
    }
    return CB_ERR;
}

void CComboBox::OnSubclassed(CWnd& previous) {
    CWnd::OnSubclassed(previous);
    if (auto* other = dynamic_cast<CComboBox*>(&previous)) {
        m_items = std::move(other->m_items);
        m_curSel = std::exchange(other->m_curSel, -1);
        m_droppedDown = std::exchange(other->m_droppedDown, false);
        other->m_items.clear();
    }
}

BOOL CComboBox::UserSelect(int index) {
    if (!IsWindowEnabled() || !InRange(index, m_items.size()))
        return FALSE;
    SetCurSel(index);
    m_droppedDown = false;
    Notify(*this, CBN_SELCHANGE);
    return TRUE;
}

LRESULT CComboBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    const int index = static_cast<int>(wParam);
    switch (message) {
    case CB_ADDSTRING:
        return AddString(TextParam(lParam));
    case CB_INSERTSTRING:
        return InsertString(index, TextParam(lParam));
    case CB_DELETESTRING:
        return DeleteString(static_cast<UINT>(wParam));
    case CB_RESETCONTENT:
        ResetContent();
        return CB_OKAY;
    case CB_GETCOUNT:
        return GetCount();
    case CB_GETCURSEL:
        return GetCurSel();
    case CB_SETCURSEL:
        return SetCurSel(index);
    case CB_GETLBTEXT: {
        CString* out = reinterpret_cast<CString*>(lParam);
        return out ? GetLBText(index, *out) : CB_ERR;
    }
    case CB_GETLBTEXTLEN:
        return GetLBTextLen(index);
    case CB_SETITEMDATA:
        return SetItemData(index, static_cast<DWORD_PTR>(lParam));
    case CB_GETITEMDATA:
        return static_cast<LRESULT>(GetItemData(index));
    case CB_FINDSTRINGEXACT:
        return FindStringExact(index, TextParam(lParam));
    case CB_SHOWDROPDOWN:
        ShowDropDown(static_cast<BOOL>(wParam));
        return TRUE;
    case CB_GETDROPPEDSTATE:
        return GetDroppedState();
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}
