// The standard controls: scroll bar, combo box, list box, button, static and tooltip. Each keeps
// its state as data and answers its messages (SBM_*, CB_*, LB_*, BM_*, TTM_*) as well as the
// member calls. What a person does to a control (drag a thumb, pick an entry, click) comes in
// through the User* helpers, which backends and the script runner call: they change the state
// and notify the parent exactly as the desktop control would.
#pragma once

#include "platform/control_items.h"
#include "platform/cstring.h"
#include "platform/dc.h"
#include "platform/gdi.h"
#include "platform/win_consts.h"
#include "platform/wnd.h"

#include <functional>
#include <vector>

struct DRAWITEMSTRUCT {
    UINT CtlType = 0;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemAction = 0;
    UINT itemState = 0;
    HWND hwndItem = nullptr;
    HDC hDC = nullptr;
    CRect rcItem;
    DWORD_PTR itemData = 0;
};
using LPDRAWITEMSTRUCT = DRAWITEMSTRUCT*;

struct MEASUREITEMSTRUCT {
    UINT CtlType = 0;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemWidth = 0;
    UINT itemHeight = 0;
    DWORD_PTR itemData = 0;
};
using LPMEASUREITEMSTRUCT = MEASUREITEMSTRUCT*;

inline constexpr UINT TTF_IDISHWND = 0x0001;
inline constexpr UINT TTF_SUBCLASS = 0x0010;
// The text of a tool that asks its owner for text; this stand-in shows no text for it.
#define LPSTR_TEXTCALLBACK (reinterpret_cast<LPTSTR>(static_cast<std::intptr_t>(-1)))

struct TOOLINFO {
    UINT cbSize = sizeof(TOOLINFO);
    UINT uFlags = 0;
    HWND hwnd = nullptr;
    UINT_PTR uId = 0;
    CRect rect;
    HINSTANCE hinst = nullptr;
    LPTSTR lpszText = nullptr;
};

class CScrollBar : public CWnd {
public:
    BOOL Create(DWORD style, const CRect& rect, CWnd* parent, UINT id);

    // Win32 rules: an inverted range becomes 0..0, the page is at most the range's size, and
    // the position stays within [min, max - max(page - 1, 0)]. Returns the position.
    int SetScrollInfo(LPSCROLLINFO info, BOOL redraw = TRUE);
    // Fills the fields named by `mask` (SIF_*); FALSE when the mask names none.
    BOOL GetScrollInfo(LPSCROLLINFO info, UINT mask = SIF_ALL) const;
    void SetScrollRange(int minPos, int maxPos, BOOL redraw = TRUE);
    void GetScrollRange(int* minPos, int* maxPos) const;
    // Returns the previous position.
    int SetScrollPos(int pos, BOOL redraw = TRUE);
    int GetScrollPos() const { return m_info.nPos; }
    // The largest position: max - max(page - 1, 0), as Win32 has it. A bar whose positions
    // mean something else may move its limit; clamping, thumb tracking and drawing follow.
    virtual int GetScrollLimit() const;
    // The thumb position while a person drags it, else the position.
    int GetTrackPos() const { return m_tracking ? m_info.nTrackPos : m_info.nPos; }
    bool IsVertical() const { return (GetStyle() & SBS_VERT) != 0; }

    // A person's action: sends WM_HSCROLL or WM_VSCROLL with `code` to the parent. With
    // SB_THUMBTRACK and SB_THUMBPOSITION the thumb is at `thumbPos` (clamped) while the parent
    // handles it; the drag ends after SB_THUMBPOSITION. The bar itself does not move: the
    // parent sets the position, as on the desktop.
    void UserScroll(UINT code, int thumbPos = 0);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnSubclassed(CWnd& previous) override;

private:
    void Clamp();
    void Changed(BOOL redraw);

    SCROLLINFO m_info{};
    bool m_tracking = false;
};

// CB_GETLBTEXT and LB_GETTEXT take a CString* in lParam: a raw buffer of unknown size cannot
// be filled safely.
class CComboBox : public CWnd {
public:
    BOOL Create(DWORD style, const CRect& rect, CWnd* parent, UINT id);

    int AddString(LPCTSTR text);
    int InsertString(int index, LPCTSTR text);
    int DeleteString(UINT index); // the remaining count, or CB_ERR
    void ResetContent();
    int GetCount() const { return m_items.GetCount(); }
    // -1 clears the selection (and answers CB_ERR, as Win32 does); so does a bad index.
    int SetCurSel(int index);
    int GetCurSel() const { return m_items.GetCurSel(); }
    int GetLBText(int index, CString& text) const;
    CString GetLBText(int index) const;
    int GetLBTextLen(int index) const;
    int SetItemData(int index, DWORD_PTR data);
    DWORD_PTR GetItemData(int index) const; // CB_ERR for a bad index
    int SetItemDataPtr(int index, void* data) {
        return SetItemData(index, reinterpret_cast<DWORD_PTR>(data));
    }
    void* GetItemDataPtr(int index) const;
    int FindStringExact(int startAfter, LPCTSTR text) const;
    void ShowDropDown(BOOL show = TRUE) { m_droppedDown = show != FALSE; }
    BOOL GetDroppedState() const { return m_droppedDown ? TRUE : FALSE; }

    // A person picks entry `index`: the selection changes and the parent gets
    // WM_COMMAND CBN_SELCHANGE. Refused (FALSE) for a disabled box or a bad index.
    BOOL UserSelect(int index);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnSubclassed(CWnd& previous) override;

private:
    void ShowSelection();

    kel::platform::ControlItemList m_items;
    bool m_droppedDown = false;
};

class CListBox : public CWnd {
public:
    BOOL Create(DWORD style, const CRect& rect, CWnd* parent, UINT id);

    int AddString(LPCTSTR text);
    int InsertString(int index, LPCTSTR text);
    int DeleteString(UINT index); // the remaining count, or LB_ERR
    void ResetContent();
    int GetCount() const { return m_items.GetCount(); }
    int SetCurSel(int index); // as CComboBox::SetCurSel
    int GetCurSel() const { return m_items.GetCurSel(); }
    int GetText(int index, CString& text) const;
    CString GetText(int index) const;
    int GetTextLen(int index) const;
    int SetItemData(int index, DWORD_PTR data);
    DWORD_PTR GetItemData(int index) const; // LB_ERR for a bad index
    int SetItemDataPtr(int index, void* data) {
        return SetItemData(index, reinterpret_cast<DWORD_PTR>(data));
    }
    void* GetItemDataPtr(int index) const;
    int FindStringExact(int startAfter, LPCTSTR text) const;
    int GetItemRect(int index, CRect* rect) const;
    int GetItemHeight(int index) const;
    int SetItemHeight(int index, UINT height);
    int GetTopIndex() const { return m_topIndex; }
    int SetTopIndex(int index);
    // The item at or nearest to a client point; `outside` tells whether the point lies off the
    // items (or the list is empty).
    UINT ItemFromPoint(CPoint point, BOOL& outside) const;

    // Owner-drawn lists draw and measure their items here: the list sends WM_DRAWITEM and
    // WM_MEASUREITEM to its parent, whose default handling hands them back to the list.
    virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT measureItem);

    // A person selects entry `index`: the selection changes and, with LBS_NOTIFY, the parent
    // gets WM_COMMAND LBN_SELCHANGE. Refused (FALSE) for a disabled list or a bad index.
    BOOL UserSelect(int index);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnSubclassed(CWnd& previous) override;

private:
    using Item = kel::platform::ControlItemList::Item;
    bool IsOwnerDraw() const;
    void SendOwnerDraw(UINT message, void* data);
    int InsertAt(std::size_t at, LPCTSTR text);
    void Measure(std::size_t index);
    int DefaultItemHeight() const;
    void Repaint();

    kel::platform::ControlItemList m_items;
    int m_topIndex = 0;
    int m_fixedHeight = 0; // 0 until measured or set
};

class CButton : public CWnd {
public:
    BOOL Create(LPCTSTR caption, DWORD style, const CRect& rect, CWnd* parent, UINT id);

    int GetCheck() const { return m_check; }
    void SetCheck(int check);
    UINT GetState() const;
    void SetState(BOOL highlight);
    UINT GetButtonStyle() const { return GetStyle() & 0xFFFF; }
    void SetButtonStyle(UINT style, BOOL redraw = TRUE);
    HBITMAP SetBitmap(HBITMAP bitmap);
    HBITMAP GetBitmap() const { return m_bitmap; }

    // A person clicks the button: automatic check boxes toggle, an automatic radio button is
    // checked and the others of its group unchecked, and the parent gets WM_COMMAND BN_CLICKED.
    // A disabled button does nothing (FALSE).
    BOOL UserClick();

    // Owner-drawn buttons (BS_OWNERDRAW) draw here.
    virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnSubclassed(CWnd& previous) override;

private:
    DWORD ButtonType() const { return GetStyle() & BS_TYPEMASK; }
    void UncheckGroupSiblings();

    int m_check = BST_UNCHECKED;
    bool m_pushed = false;
    HBITMAP m_bitmap = nullptr;
};

class CStatic : public CWnd {
public:
    BOOL Create(LPCTSTR text, DWORD style, const CRect& rect, CWnd* parent, UINT id = 0xFFFF);
    HBITMAP SetBitmap(HBITMAP bitmap);
    HBITMAP GetBitmap() const { return m_bitmap; }

protected:
    void OnPaint() override;
    void OnSubclassed(CWnd& previous) override;

private:
    HBITMAP m_bitmap = nullptr;
};

class CToolTipCtrl : public CWnd {
public:
    struct Tool {
        CWnd* wnd = nullptr; // not owned: the window the tool watches
        UINT_PTR id = 0;
        CRect rect; // client coordinates of `wnd`; empty means the whole client area
        CString text;
    };

    BOOL Create(CWnd* parent, DWORD style = 0);

    BOOL AddTool(CWnd* wnd, LPCTSTR text = LPSTR_TEXTCALLBACK, const CRect* toolRect = nullptr,
                 UINT_PTR toolId = 0);
    // The text is the string `textId` of the string loader (see SetTooltipStringLoader).
    BOOL AddTool(CWnd* wnd, UINT textId, const CRect* toolRect = nullptr, UINT_PTR toolId = 0);
    void DelTool(CWnd* wnd, UINT_PTR toolId = 0);
    void UpdateTipText(LPCTSTR text, CWnd* wnd, UINT_PTR toolId = 0);
    void UpdateTipText(UINT textId, CWnd* wnd, UINT_PTR toolId = 0);
    void SetToolRect(CWnd* wnd, UINT_PTR toolId, const CRect& rect);
    int GetToolCount() const { return static_cast<int>(m_tools.size()); }
    void Activate(BOOL activate);
    // Mouse messages of tool windows show, move or hide the tip.
    void RelayEvent(LPMSG msg);
    void Pop();

    const std::vector<Tool>& GetTools() const { return m_tools; }
    const Tool* FindTool(const CWnd* wnd, UINT_PTR toolId = 0) const;
    bool IsActive() const { return m_active; }
    // The text of the tip being shown; empty when none is.
    const CString& GetShownText() const { return m_shownText; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    Tool* Find(const CWnd* wnd, UINT_PTR toolId);
    void Show(const Tool* tool, CPoint screen);

    std::vector<Tool> m_tools;
    bool m_active = true;
    // The tool whose tip is up, by its key (tools may be added and removed meanwhile).
    const CWnd* m_shownWnd = nullptr;
    UINT_PTR m_shownId = 0;
    CString m_shownText;
};

namespace kel::platform {

// Where CToolTipCtrl finds texts given by string id (the host's resource service installs it).
void SetTooltipStringLoader(std::function<CString(UINT)> loader);

} // namespace kel::platform
