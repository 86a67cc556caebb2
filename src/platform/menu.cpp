#include "platform/menu.h"

#include "platform/backend.h"
#include "platform/wnd.h"

namespace {

constexpr UINT kStateBits = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT;
constexpr UINT kNoItem = static_cast<UINT>(-1);

} // namespace

CMenu::~CMenu() = default;

BOOL CMenu::CreateMenu() {
    if (m_hMenu)
        return FALSE;
    m_items.clear();
    m_hMenu = this;
    return TRUE;
}

BOOL CMenu::CreatePopupMenu() {
    return CreateMenu();
}

void CMenu::Build(CMenu& menu, const std::vector<MenuItemTemplate>& items) {
    for (const MenuItemTemplate& t : items) {
        Item item;
        item.text = t.text;
        if (t.separator) {
            item.flags = MF_SEPARATOR;
        } else if (!t.popup.empty()) {
            item.flags = MF_POPUP;
            item.popup = std::make_unique<CMenu>();
            item.popup->CreatePopupMenu();
            Build(*item.popup, t.popup);
        } else {
            item.flags = MF_STRING;
            item.id = t.id;
        }
        menu.m_items.push_back(std::move(item));
    }
}

BOOL CMenu::LoadMenuIndirect(const MenuTemplate& menuTemplate) {
    if (!CreateMenu())
        return FALSE;
    Build(*this, menuTemplate.items);
    return TRUE;
}

BOOL CMenu::DestroyMenu() {
    if (!m_hMenu)
        return FALSE;
    m_items.clear();
    m_hMenu = nullptr;
    return TRUE;
}

std::unique_ptr<CMenu> CMenu::Copy(const CMenu& source) {
    auto copy = std::make_unique<CMenu>();
    copy->CreatePopupMenu();
    for (const Item& item : source.m_items) {
        Item c;
        c.flags = item.flags;
        c.id = item.id;
        c.text = item.text;
        if (item.popup)
            c.popup = Copy(*item.popup);
        copy->m_items.push_back(std::move(c));
    }
    return copy;
}

bool CMenu::MakeItem(UINT flags, UINT_PTR idNewItem, LPCTSTR text, Item& item) {
    item.flags = flags & ~(MF_BYPOSITION | MF_APPEND | MF_CHANGE | MF_DELETE | MF_REMOVE);
    if (flags & MF_SEPARATOR) {
        item.flags = MF_SEPARATOR | (flags & kStateBits);
        return true;
    }
    item.text = text ? text : "";
    if (flags & MF_POPUP) {
        const CMenu* popup = reinterpret_cast<const CMenu*>(idNewItem);
        if (!popup || !popup->m_hMenu)
            return false;
        item.popup = Copy(*popup);
        return true;
    }
    item.id = static_cast<UINT>(idNewItem);
    return true;
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR idNewItem, LPCTSTR text) {
    if (!m_hMenu)
        return FALSE;
    Item item;
    if (!MakeItem(flags, idNewItem, text, item))
        return FALSE;
    m_items.push_back(std::move(item));
    return TRUE;
}

BOOL CMenu::InsertMenu(UINT position, UINT flags, UINT_PTR idNewItem, LPCTSTR text) {
    if (!m_hMenu)
        return FALSE;
    Item item;
    if (!MakeItem(flags, idNewItem, text, item))
        return FALSE;
    std::size_t at = m_items.size();
    if (flags & MF_BYPOSITION) {
        // A position past the end appends, as the desktop does.
        if (position < m_items.size())
            at = position;
    } else {
        for (std::size_t i = 0; i < m_items.size(); ++i)
            if (!m_items[i].popup && m_items[i].id == position &&
                !(m_items[i].flags & MF_SEPARATOR)) {
                at = i;
                break;
            }
        if (at == m_items.size())
            return FALSE;
    }
    m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(at), std::move(item));
    return TRUE;
}

BOOL CMenu::DeleteMenu(UINT position, UINT flags) {
    if (!m_hMenu)
        return FALSE;
    if (flags & MF_BYPOSITION) {
        if (position >= m_items.size())
            return FALSE;
        m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(position));
        return TRUE;
    }
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        Item& item = m_items[i];
        if (!item.popup && !(item.flags & MF_SEPARATOR) && item.id == position) {
            m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(i));
            return TRUE;
        }
        if (item.popup && item.popup->DeleteMenu(position, flags))
            return TRUE;
    }
    return FALSE;
}

BOOL CMenu::ModifyMenu(UINT position, UINT flags, UINT_PTR idNewItem, LPCTSTR text) {
    Item* target = Find(position, flags);
    if (!target)
        return FALSE;
    Item item;
    if (!MakeItem(flags, idNewItem, text, item))
        return FALSE;
    *target = std::move(item);
    return TRUE;
}

CMenu::Item* CMenu::Find(UINT idOrPosition, UINT flags) {
    return const_cast<Item*>(static_cast<const CMenu*>(this)->Find(idOrPosition, flags));
}

const CMenu::Item* CMenu::Find(UINT idOrPosition, UINT flags) const {
    if (!m_hMenu)
        return nullptr;
    if (flags & MF_BYPOSITION)
        return idOrPosition < m_items.size() ? &m_items[idOrPosition] : nullptr;
    return FindCommand(idOrPosition);
}

const CMenu::Item* CMenu::FindCommand(UINT id) const {
    for (const Item& item : m_items) {
        if (item.popup) {
            if (const Item* inner = item.popup->FindCommand(id))
                return inner;
        } else if (!(item.flags & MF_SEPARATOR) && item.id == id) {
            return &item;
        }
    }
    return nullptr;
}

CMenu* CMenu::GetSubMenu(int position) const {
    if (!m_hMenu || position < 0 || static_cast<std::size_t>(position) >= m_items.size())
        return nullptr;
    return m_items[static_cast<std::size_t>(position)].popup.get();
}

int CMenu::GetMenuItemCount() const {
    return m_hMenu ? static_cast<int>(m_items.size()) : -1;
}

UINT CMenu::GetMenuItemID(int position) const {
    if (!m_hMenu || position < 0 || static_cast<std::size_t>(position) >= m_items.size())
        return kNoItem;
    const Item& item = m_items[static_cast<std::size_t>(position)];
    if (item.popup)
        return kNoItem;
    return (item.flags & MF_SEPARATOR) ? 0 : item.id;
}

int CMenu::GetMenuString(UINT idOrPosition, CString& text, UINT flags) const {
    const Item* item = Find(idOrPosition, flags);
    text = item ? item->text : CString();
    return text.GetLength();
}

CString CMenu::GetMenuString(UINT idOrPosition, UINT flags) const {
    CString text;
    GetMenuString(idOrPosition, text, flags);
    return text;
}

UINT CMenu::EnableMenuItem(UINT idOrPosition, UINT enable) {
    Item* item = Find(idOrPosition, enable);
    if (!item)
        return kNoItem;
    UINT previous = item->flags & (MF_GRAYED | MF_DISABLED);
    item->flags = (item->flags & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
    return previous;
}

UINT CMenu::CheckMenuItem(UINT idOrPosition, UINT check) {
    Item* item = Find(idOrPosition, check);
    if (!item)
        return kNoItem;
    UINT previous = item->flags & MF_CHECKED;
    item->flags = (item->flags & ~MF_CHECKED) | (check & MF_CHECKED);
    return previous;
}

UINT CMenu::GetMenuState(UINT idOrPosition, UINT flags) const {
    const Item* item = Find(idOrPosition, flags);
    if (!item)
        return kNoItem;
    UINT state = item->flags & (kStateBits | MF_SEPARATOR);
    if (item->popup)
        state |= MF_POPUP | ((static_cast<UINT>(item->popup->m_items.size()) & 0xFF) << 8);
    return state;
}

bool CMenu::IsCommandSelectable(UINT id) const {
    const Item* item = id ? FindCommand(id) : nullptr;
    return item && !(item->flags & (MF_GRAYED | MF_DISABLED));
}

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const CRect* /*rect*/) {
    if (!m_hMenu || !IsWindow(owner))
        return FALSE;
    if (!(flags & TPM_NONOTIFY))
        owner->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(m_hMenu), 0);
    UINT chosen = kel::platform::GetBackend().TrackPopupMenu(*this, flags, CPoint(x, y), owner);
    // A grayed or disabled item cannot be chosen on the desktop; an answer naming one (or a
    // command the menu does not hold) is taken as a dismissed menu, whatever the backend says.
    if (!IsCommandSelectable(chosen))
        chosen = 0;
    if (flags & TPM_RETURNCMD)
        return static_cast<BOOL>(chosen);
    // The owner may have gone while the menu was up.
    if (chosen && IsWindow(owner))
        owner->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<int>(chosen), 0), 0);
    return TRUE;
}
