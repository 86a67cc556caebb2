#include "platform/control_items.h"

#include "platform/wnd.h"

namespace kel::platform {

// Combo boxes and list boxes answer with the list's own codes.
static_assert(ControlItemList::kError == CB_ERR && ControlItemList::kError == LB_ERR);
static_assert(ControlItemList::kOkay == CB_OKAY && ControlItemList::kOkay == LB_OKAY);

int ControlItemList::SetCurSel(int index) {
    m_curSel = IsValid(index) ? index : -1;
    return m_curSel >= 0 ? m_curSel : kError;
}

std::size_t ControlItemList::SortedPosition(LPCTSTR text) const {
    CString key(text);
    std::size_t at = 0;
    while (at < m_items.size() && m_items[at].text.CompareNoCase(key.str()) <= 0)
        ++at;
    return at;
}

int ControlItemList::InsertAt(std::size_t at, LPCTSTR text) {
    m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(at), Item{CString(text), 0, 0});
    if (m_curSel >= static_cast<int>(at))
        ++m_curSel;
    return static_cast<int>(at);
}

bool ControlItemList::EraseAt(std::size_t at) {
    m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(at));
    if (m_curSel == static_cast<int>(at)) {
        m_curSel = -1;
        return true;
    }
    if (m_curSel > static_cast<int>(at))
        --m_curSel;
    return false;
}

void ControlItemList::Clear() {
    m_items.clear();
    m_curSel = -1;
}

int ControlItemList::GetText(int index, CString& text) const {
    if (!IsValid(index))
        return kError;
    text = m_items[static_cast<std::size_t>(index)].text;
    return text.GetLength();
}

int ControlItemList::GetTextLen(int index) const {
    return IsValid(index) ? m_items[static_cast<std::size_t>(index)].text.GetLength() : kError;
}

int ControlItemList::SetItemData(int index, DWORD_PTR data) {
    if (!IsValid(index))
        return kError;
    m_items[static_cast<std::size_t>(index)].data = data;
    return kOkay;
}

DWORD_PTR ControlItemList::GetItemData(int index) const {
    return IsValid(index) ? m_items[static_cast<std::size_t>(index)].data
                          : static_cast<DWORD_PTR>(kError);
}

void* ControlItemList::GetItemDataPtr(int index) const {
    return IsValid(index) ? reinterpret_cast<void*>(m_items[static_cast<std::size_t>(index)].data)
                          : nullptr;
}

int ControlItemList::FindStringExact(int startAfter, LPCTSTR text) const {
    const int count = GetCount();
    // The search starts after `startAfter` and wraps around, as the desktop's does.
    for (int n = 1; n <= count; ++n) {
        int i = ((startAfter < 0 ? -1 : startAfter) + n) % count;
        if (m_items[static_cast<std::size_t>(i)].text.CompareNoCase(text ? text : "") == 0)
            return i;
    }
    return kError;
}

namespace detail {

void NotifyParent(CWnd& control, int code) {
    CWnd* parent = control.GetParent();
    if (parent && IsWindow(parent))
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(control.GetDlgCtrlID(), code),
                            reinterpret_cast<LPARAM>(&control));
}

LPCTSTR TextParam(LPARAM lParam) {
    const char* text = reinterpret_cast<const char*>(lParam);
    return text ? text : "";
}

} // namespace detail

} // namespace kel::platform
