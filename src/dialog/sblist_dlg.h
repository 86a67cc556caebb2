// The modal "Storyboard List" dialog (template 103): the scene's storyboards in an owner-drawn
// list, one button per storyboard operation, and the same operations on the list's context
// menu (menu 261). The view opens it with its tool button 107; everything it changes is
// visible at once in the view behind it.
//
// The list's selection is the storyboard a person points at. Choosing an item with the left
// button switches the view to it at once; a right click only highlights it for the menu. Either
// way, an operation acts on the highlighted storyboard: the view switches to it first, since
// the storyboard operations act on the current one.
#pragma once

#include "host/gui/aqua_dialog.h"
#include "platform/controls.h"

class CKelSBEditDlg;
class CKelSBEditView;
class CKelSBEditObj;
class CKelSBOperationDlg;

class CKelSBBodyListBox : public CListBox {
public:
    // Every item is this many pixels high.
    static constexpr UINT kItemHeight = 20;

    // Fills the list with the document's storyboards (each item's data is its storyboard) and
    // selects the current one, without telling the dialog.
    void Fill();
    // Runs a storyboard operation (menu and button command 32814 to 32822) on the highlighted
    // storyboard, asking first for delete and cut, then fills the list again. FALSE when nothing
    // was run: no highlighted item, a declined question, a failed delete.
    BOOL RunCommand(UINT nId);
    // What the highlighted storyboard allows, as the command table's gray conditions: the
    // buttons and the context menu both follow it.
    unsigned GrayState() const;

    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    void MeasureItem(LPMEASUREITEMSTRUCT measureItem) override;

protected:
    void OnRButtonDown(UINT nFlags, CPoint point) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    CKelSBOperationDlg* GetDialog() const;
    CKelSBEditView* GetView() const;
    CKelSBEditObj* GetDocument() const;
};

class CKelSBOperationDlg : public CKelAquaBaseDlg {
public:
    explicit CKelSBOperationDlg(CKelSBEditDlg* pOwner);
    ~CKelSBOperationDlg() override;

    // Runs the dialog modally with this module's resources.
    INT_PTR DoModal() override;

    // The view of the owning edit dialog, null when it has none.
    CKelSBEditView* GetView() const;
    // The edit dialog the view belongs to, null when it is gone.
    CKelSBEditDlg* GetOwner() const;
    CKelSBBodyListBox& GetList() { return m_list; }
    // Enables the buttons that can act on the highlighted storyboard and disables the others.
    void UpdateButtonStates();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    void OnListSelChange();

    CKelSBEditDlg* m_pOwner; // the edit dialog; not owned
    CKelAquaAutoMaker m_autoMaker;
    CKelSBBodyListBox m_list;
};
