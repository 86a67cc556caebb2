// The entries of a combo box or a list box: a text and a value of the caller's each, in the
// order shown, and the selected entry, which stays with its entry while others come and go.
#pragma once

#include "platform/cstring.h"
#include "platform/win_consts.h"

#include <cstdint>
#include <vector>

class CWnd;
using DWORD_PTR = std::uintptr_t;

namespace kel::platform {

class ControlItemList {
public:
    struct Item {
        CString text;
        DWORD_PTR data = 0;
        int height = 0; // an owner-drawn list's own height for this item; 0 for the common one
    };

    // What a bad index answers: CB_ERR and LB_ERR alike.
    static constexpr int kError = -1;
    // What a successful change answers: CB_OKAY and LB_OKAY alike.
    static constexpr int kOkay = 0;

    int GetCount() const { return static_cast<int>(m_items.size()); }
    bool empty() const { return m_items.empty(); }
    bool IsValid(int index) const { return index >= 0 && index < GetCount(); }
    Item& operator[](std::size_t index) { return m_items[index]; }
    const Item& operator[](std::size_t index) const { return m_items[index]; }

    int GetCurSel() const { return m_curSel; }
    // -1 or a bad index clears the selection. Returns the selection, or kError when none.
    int SetCurSel(int index);

    // Where a sorted list puts `text`: case-insensitive order, after its equals.
    std::size_t SortedPosition(LPCTSTR text) const;
    // `at` is at most the count. Returns `at`.
    int InsertAt(std::size_t at, LPCTSTR text);
    // Removes entry `at` (a valid index); true when the selection went with it.
    bool EraseAt(std::size_t at);
    void Clear();

    int GetText(int index, CString& text) const; // the length, or kError
    int GetTextLen(int index) const;
    int SetItemData(int index, DWORD_PTR data);
    DWORD_PTR GetItemData(int index) const; // kError for a bad index
    void* GetItemDataPtr(int index) const;  // null for a bad index
    // The first entry after `startAfter` (-1: from the start) whose text equals `text` but for
    // case; the search wraps around.
    int FindStringExact(int startAfter, LPCTSTR text) const;

private:
    std::vector<Item> m_items;
    int m_curSel = -1;
};

namespace detail {

// The parent of `control` gets WM_COMMAND with `code`, as the desktop's controls notify.
void NotifyParent(CWnd& control, int code);
// The text a message carries in lParam; null reads as empty.
LPCTSTR TextParam(LPARAM lParam);

} // namespace detail

} // namespace kel::platform
