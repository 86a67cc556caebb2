// CMenu: a menu held as data. Pop-ups are shown through the backend (TrackPopupMenu); the
// platform decides what the answer means, so a grayed or disabled item is never chosen however
// a backend answers.
#pragma once

#include "platform/cstring.h"
#include "platform/object.h"
#include "platform/resource_types.h"
#include "platform/win_consts.h"
#include "platform/win_types.h"

#include <memory>
#include <vector>

class CWnd;

class CMenu : public CObject {
public:
    struct Item {
        UINT flags = MF_STRING; // MF_STRING, MF_SEPARATOR or MF_POPUP, with state bits
        UINT id = 0;            // command id; 0 for separators and pop-ups
        CString text;
        std::unique_ptr<CMenu> popup; // owned: a submenu lives and dies with its menu
    };

    CMenu() = default;
    ~CMenu() override;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    // The menu's handle: the object itself once created, null otherwise.
    HMENU m_hMenu = nullptr;
    HMENU GetSafeHmenu() const { return m_hMenu; }
    operator HMENU() const { return m_hMenu; }
    static CMenu* FromHandle(HMENU menu) { return menu; }

    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    // Builds the menu bar level of `menuTemplate` with its pop-ups.
    BOOL LoadMenuIndirect(const MenuTemplate& menuTemplate);
    BOOL DestroyMenu();

    // MF_STRING, MF_SEPARATOR, or MF_POPUP with `idNewItem` the pop-up's handle. A pop-up is
    // copied into this menu, so the caller's object stays its own and may go at any time.
    BOOL AppendMenu(UINT flags, UINT_PTR idNewItem = 0, LPCTSTR text = nullptr);
    BOOL InsertMenu(UINT position, UINT flags, UINT_PTR idNewItem = 0, LPCTSTR text = nullptr);
    // DeleteMenu and RemoveMenu both drop the item (pop-ups are owned copies either way).
    BOOL DeleteMenu(UINT position, UINT flags);
    BOOL RemoveMenu(UINT position, UINT flags) { return DeleteMenu(position, flags); }
    BOOL ModifyMenu(UINT position, UINT flags, UINT_PTR idNewItem = 0, LPCTSTR text = nullptr);

    CMenu* GetSubMenu(int position) const;
    int GetMenuItemCount() const;
    // The item's command id; 0 for a separator, (UINT)-1 for a pop-up or a bad position.
    UINT GetMenuItemID(int position) const;
    int GetMenuString(UINT idOrPosition, CString& text, UINT flags) const;
    CString GetMenuString(UINT idOrPosition, UINT flags) const;
    // Both return the previous state (MF_GRAYED | MF_DISABLED, or MF_CHECKED) or (UINT)-1
    // when there is no such item. By command, submenus are searched too.
    UINT EnableMenuItem(UINT idOrPosition, UINT enable);
    UINT CheckMenuItem(UINT idOrPosition, UINT check);
    // The item's state bits; a pop-up has its item count in the high byte of the low word.
    UINT GetMenuState(UINT idOrPosition, UINT flags) const;
    // Whether the command `id` can be chosen (exists, is a command and is neither grayed nor
    // disabled).
    bool IsCommandSelectable(UINT id) const;

    // Shows the pop-up at the screen point. Without TPM_RETURNCMD a chosen command is sent to
    // `owner` as WM_COMMAND and the result is TRUE; with it the command id (0 for none) is
    // returned and nothing is sent.
    BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const CRect* rect = nullptr);

    const std::vector<Item>& GetItems() const { return m_items; }

private:
    Item* Find(UINT idOrPosition, UINT flags);
    const Item* Find(UINT idOrPosition, UINT flags) const;
    const Item* FindCommand(UINT id) const;
    static std::unique_ptr<CMenu> Copy(const CMenu& source);
    static bool MakeItem(UINT flags, UINT_PTR idNewItem, LPCTSTR text, Item& item);
    static void Build(CMenu& menu, const std::vector<MenuItemTemplate>& items);

    std::vector<Item> m_items;
};
