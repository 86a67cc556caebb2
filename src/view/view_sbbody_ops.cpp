// The scene's storyboards: the eight storyboard operations, the Storyboard List dialog that
// runs them, and the view's tool buttons for the list, the storyboard setup and the navigator.
//
// A storyboard operation changes the document's list of storyboards, never one storyboard's
// contents, and is not a step of any history: each storyboard keeps its own. Each acts on the
// current storyboard, is refused while the storyboard is loaded onto the output, runs with the
// host's panels disabled and re-reads the storyboard that is current afterwards. Whenever that
// is another storyboard than before, the history panel and the navigator are pointed at it, so
// that they never show a storyboard the view does not.
#include "dialog/sbedit_dlg.h"
#include "dialog/sblist_dlg.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_edit.h"
#include "host/services/tool_box.h"
#include "res/resource.h"

// A storyboard operation: its document call, and what follows the re-read of the storyboard
// that is current afterwards.
struct KelSBBodyOperation {
    int (*pfnCall)(CKelSBEditObj& document);
    bool bOnlyWhenDone;  // a failed call changed nothing, so nothing is re-read (delete)
    bool bBringIntoView; // scroll to the current material
    bool bHistory;       // point the history panel at the current storyboard's history
    bool bNavigator;     // tell the navigator the current material
};

namespace {

constexpr KelSBBodyOperation kAppend{[](CKelSBEditObj& d) { return d.AppendSBBody(); }, false, true,
                                     true, true};
constexpr KelSBBodyOperation kInsert{[](CKelSBEditObj& d) { return d.InsertSBBody(-1); }, false,
                                     false, true, true};
constexpr KelSBBodyOperation kDelete{[](CKelSBEditObj& d) { return d.DeleteSBBody(-1); }, true,
                                     true, true, true};
constexpr KelSBBodyOperation kMoveUp{[](CKelSBEditObj& d) { return d.MoveSBBody(-1, 0); }, false,
                                     true, true, false};
constexpr KelSBBodyOperation kMoveDown{[](CKelSBEditObj& d) { return d.MoveSBBody(-1, 1); }, false,
                                       true, true, false};
constexpr KelSBBodyOperation kCut{[](CKelSBEditObj& d) { return d.CutSBBody(-1); }, false, true,
                                  true, true};
constexpr KelSBBodyOperation kCopy{[](CKelSBEditObj& d) { return d.CopySBBody(-1); }, false, true,
                                   false, false};
constexpr KelSBBodyOperation kPaste{[](CKelSBEditObj& d) { return d.PasteSBBody(); }, false, true,
                                    true, true};

} // namespace

int CKelSBEditView::RunSBBodyOperation(const KelSBBodyOperation& operation) {
    CKelSBEditObj* pDoc = GetSBEditObj();
    if (IsLoaded() || !pDoc)
        return 0;
    EnableHostPanels(FALSE);
    const int bDone = operation.pfnCall(*pDoc);
    if (bDone || !operation.bOnlyWhenDone) {
        RefreshView(nullptr);
        if (operation.bBringIntoView)
            EnsureCurContentVisible();
        if (operation.bHistory)
            ShowHistoryInPanel();
        if (operation.bNavigator)
            NotifyNavigatorContent(m_selection.GetCurContent());
    }
    EnableHostPanels(TRUE);
    return bDone ? 1 : 0;
}

int CKelSBEditView::AppendSBBody() {
    return RunSBBodyOperation(kAppend);
}

int CKelSBEditView::InsertSBBody() {
    return RunSBBodyOperation(kInsert);
}

int CKelSBEditView::DeleteSBBody() {
    return RunSBBodyOperation(kDelete);
}

int CKelSBEditView::MoveUpSBBody() {
    return RunSBBodyOperation(kMoveUp);
}

int CKelSBEditView::MoveDownSBBody() {
    return RunSBBodyOperation(kMoveDown);
}

int CKelSBEditView::CutSBBody() {
    return RunSBBodyOperation(kCut);
}

int CKelSBEditView::CopySBBody() {
    return RunSBBodyOperation(kCopy);
}

int CKelSBEditView::PasteSBBody() {
    return RunSBBodyOperation(kPaste);
}

// The Storyboard List dialog, modal, owned by the edit dialog. 0 without a document.
int CKelSBEditView::OpenSBListDialog() {
    // The list shows the scene's storyboards; without a scene there is nothing to show.
    if (!m_pParentDlg || !GetSBEditObj())
        return 0;
    CKelSBOperationDlg dlg(m_pParentDlg);
    dlg.DoModal();
    if (GetSafeHwnd())
        SetFocus();
    return 1;
}

// Shows the storyboard navigator when it is hidden, hides it when it shows.
int CKelSBEditView::ToggleNavigator() {
    CWnd* pNavigator = KelToolGetToolBox(KEL_TOOLBOX_SB_NAVIGATOR);
    if (!pNavigator || !IsWindow(pNavigator))
        return 0;
    pNavigator->ShowWindow(pNavigator->IsWindowVisible() ? SW_HIDE : SW_SHOW);
    return 1;
}
