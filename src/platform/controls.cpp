#include "platform/controls.h"

#include "platform/backend.h"

#include <algorithm>
#include <utility>

using kel::platform::detail::NotifyParent;
using kel::platform::detail::TextParam;

// ---------------------------------------------------------------------------------------------
// CScrollBar

BOOL CScrollBar::Create(DWORD style, const CRect& rect, CWnd* parent, UINT id) {
    return CWnd::Create("SCROLLBAR", nullptr, style, rect, parent, id);
}

// Range sizes reach 2^31, one past int: they are counted in 64 bits.
void CScrollBar::Clamp() {
    const long long range = static_cast<long long>(m_info.nMax) - m_info.nMin + 1;
    if (m_info.nPage > range)
        m_info.nPage = static_cast<UINT>(std::max(range, 0LL));
    m_info.nPos = std::clamp(m_info.nPos, m_info.nMin, GetScrollLimit());
}

int CScrollBar::GetScrollLimit() const {
    const long long page = m_info.nPage;
    return static_cast<int>(
        std::max<long long>(m_info.nMin, m_info.nMax - std::max(page - 1, 0LL)));
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

int CComboBox::AddString(LPCTSTR text) {
    text = text ? text : "";
    return m_items.InsertAt((GetStyle() & CBS_SORT) ? m_items.SortedPosition(text)
                                                    : static_cast<std::size_t>(GetCount()),
                            text);
}

int CComboBox::InsertString(int index, LPCTSTR text) {
    if (index == -1)
        index = GetCount();
    if (index < 0 || index > GetCount())
        return CB_ERR;
    return m_items.InsertAt(static_cast<std::size_t>(index), text ? text : "");
}

int CComboBox::DeleteString(UINT index) {
    if (index >= static_cast<UINT>(GetCount()))
        return CB_ERR;
    if (m_items.EraseAt(index))
        ShowSelection();
    return GetCount();
}

void CComboBox::ResetContent() {
    m_items.Clear();
    ShowSelection();
}

void CComboBox::ShowSelection() {
    if (!m_hWnd)
        return;
    SetWindowText(GetCurSel() >= 0 ? m_items[static_cast<std::size_t>(GetCurSel())].text.GetString()
                                   : "");
    // The closed box draws the selected entry: it must be drawn again whenever that may have
    // changed, not only when someone next clicks it.
    Invalidate(FALSE);
}

int CComboBox::SetCurSel(int index) {
    const int selected = m_items.SetCurSel(index);
    ShowSelection();
    return selected;
}

int CComboBox::GetLBText(int index, CString& text) const {
    return m_items.GetText(index, text);
}

CString CComboBox::GetLBText(int index) const {
    CString text;
    GetLBText(index, text);
    return text;
}

int CComboBox::GetLBTextLen(int index) const {
    return m_items.GetTextLen(index);
}

int CComboBox::SetItemData(int index, DWORD_PTR data) {
    return m_items.SetItemData(index, data);
}

DWORD_PTR CComboBox::GetItemData(int index) const {
    return m_items.GetItemData(index);
}

void* CComboBox::GetItemDataPtr(int index) const {
    return m_items.GetItemDataPtr(index);
}

int CComboBox::FindStringExact(int startAfter, LPCTSTR text) const {
    return m_items.FindStringExact(startAfter, text);
}

void CComboBox::OnSubclassed(CWnd& previous) {
    CWnd::OnSubclassed(previous);
    if (auto* other = dynamic_cast<CComboBox*>(&previous)) {
        m_items = std::exchange(other->m_items, {});
        m_droppedDown = std::exchange(other->m_droppedDown, false);
    }
}

BOOL CComboBox::UserSelect(int index) {
    if (!IsWindowEnabled() || !m_items.IsValid(index))
        return FALSE;
    SetCurSel(index);
    m_droppedDown = false;
    NotifyParent(*this, CBN_SELCHANGE);
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
