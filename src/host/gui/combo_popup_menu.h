// A button that looks like a drop-down box: a click pops up the first pop-up of a menu resource
// and the chosen command goes to the button's owner as WM_COMMAND (lParam 0, as from a menu).
// The button shows the text of its current item, or a free text set by the owner.
#pragma once

#include "platform/controls.h"
#include "platform/menu.h"
#include "platform/win_types.h"

class CKelComboPopupMenu : public CButton {
public:
    CKelComboPopupMenu();
    ~CKelComboPopupMenu() override;

    // A child button at `rect` of `parent`, with pop-up 0 of menu `menuId` of `module`. FALSE
    // when the menu is unknown, has no pop-up, or the window cannot be made.
    BOOL Create(HINSTANCE module, UINT menuId, const CRect& rect, CWnd* parent, UINT id);
    using CButton::Create;

    // The item at `index` of the pop-up becomes current: checked in the menu, its text shown.
    // FALSE for a position that is no command.
    BOOL SetCurMenuItem(int index);
    // The last item made current (-1 before any); it stays while a free text is shown.
    int GetCurMenuItem() const { return m_curItem; }
    int GetMenuItemCount() const;
    // Shows `text` instead of the current item's text until the next SetCurMenuItem.
    void SetText(const CString& text);
    CString GetShownText() const;
    bool IsShowingFreeText() const { return m_freeText; }

    // The pop-up that is shown; the owner may gray or check its items.
    CMenu* GetPopupMenu() const;
    // Pops the menu up under the button and handles the choice. Returns the command sent, 0
    // when nothing was chosen or the choice could not be taken.
    UINT ShowPopup();

protected:
    void OnPaint() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int FindCommandIndex(UINT id) const;

    CMenu m_menu;
    int m_curItem = -1;
    bool m_freeText = false;
    CString m_text;
};
