// What editing operations and undo/redo commands ask of the view: the selection as indices and
// back, the rectangles to repaint, the status line, telling the host that its document changed,
// the full reset after a change of the storyboard's structure, and the consistency check.
#include "dialog/messages.h"
#include "dialog/module_instance.h"
#include "dialog/sbedit_dlg.h"
#include "edit/consistency.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/services/module_rc.h"
#include "host/services/tool_box.h"
#include "platform/cursor.h"

#include <cstdio>
#include <cstdlib>
#include <unordered_set>

namespace {

std::unordered_set<const CKelSBEditView*>& LiveViews() {
    static std::unordered_set<const CKelSBEditView*> views;
    return views;
}

} // namespace

// (view_edit_services.cpp).
// Whether a view object still exists: commands outlive the view that recorded them.
bool CKelSBEditView::IsLiveView(const CKelSBEditView* pView) {
    return pView != nullptr && LiveViews().count(pView) != 0;
}

// Enters the view into the set IsLiveView knows, or takes it out.
void CKelSBEditView::RegisterLiveView(bool bLive) {
    SetLive(bLive);
    if (bLive)
        LiveViews().insert(this);
    else
        LiveViews().erase(this);
}

// Invalidates and erases each non-empty rectangle, updates the window at once and empties
// the list.
void CKelSBEditView::InvalidateRects(std::vector<CRect>& rects) {
    if (GetSafeHwnd()) {
        for (const CRect& rect : rects) {
            if (!rect.IsRectEmpty())
                InvalidateRect(rect, TRUE);
        }
        UpdateWindow();
    }
    rects.clear();
}

// Tells the host's document that it changed (WM_CG_FILE_SETDIRTY_FLAG to the main window).
void CKelSBEditView::MarkModified() const {
    CWnd* pMain = AfxGetMainWnd();
    if (pMain && IsWindow(pMain))
        pMain->SendMessage(WM_CG_FILE_SETDIRTY_FLAG, 1, 0);
}

// The status line without a material.
void CKelSBEditView::ClearStatusLine() {
    if (m_pParentDlg)
        m_pParentDlg->UpdateCaption(nullptr);
}

// Empties both selections and re-reads the current storyboard: validated against the
// scene's pieces, track lists rebuilt, ranges recomputed, repainted. The rebuild does the
// same under the wait cursor.
void CKelSBEditView::FullViewReset() {
    RefreshView(nullptr);
}

void CKelSBEditView::FullViewRebuild() {
    CWaitCursor wait;
    FullViewReset();
}

// The current storyboard when editing operations may change it: not while it is loaded
// onto the output, and never without a scene. Null otherwise.
CKelSBBodyObj* CKelSBEditView::GetEditableBody() const {
    return m_pCurScene != nullptr && !IsLoaded() ? GetCurSBBody() : nullptr;
}

// Tells the edit dialog's parent to disable (FALSE) or enable the host's panels.
void CKelSBEditView::EnableHostPanels(BOOL bEnable) {
    CWnd* pDialog = GetParent();
    if (pDialog != nullptr && IsWindow(pDialog))
        pDialog->SendMessage(WM_CG_ENABLE_ALL_PANEL_STUFF, bEnable ? 1 : 0, 0);
}

// Shows a message of the module's string table with an OK button; the history panel is
// not re-pointed by the deactivation the box causes.
void CKelSBEditView::ShowMessage(UINT nTextId) {
    m_bHistorySync = 0;
    CKelModuleRC::MessageBoxW(kel::sbedit::ModuleInstance(), nTextId, MB_OK, this);
    m_bHistorySync = 1;
}

// Invalidates and erases the rows of the tracks and updates the window at once.
void CKelSBEditView::InvalidateTrackRows(const std::vector<int>& tracks) {
    if (!GetSafeHwnd())
        return;
    for (int nTrack : tracks) {
        CRect row = Geometry().GetTrackRowRect(nTrack);
        // Outlines of selected materials reach a pixel beyond their row.
        row.InflateRect(0, 2);
        InvalidateRect(row, TRUE);
    }
    UpdateWindow();
}

// The consistency check of the current storyboard, this view's selection and the history:
// every fault found, one line each.
std::vector<std::string> CKelSBEditView::CheckConsistency(bool bOverlaps) const {
    kel::edit::CheckOptions options;
    options.bOverlaps = bOverlaps;
    return kel::edit::CheckConsistency(GetCurSBBody(),
                                       {&m_selection.GetSelTrackList(),
                                        &m_selection.GetSelContainerList(),
                                        m_selection.GetCurContent()},
                                       options);
}

// Debug builds: reports every fault of CheckConsistency (overlaps aside) on the standard
// error and stops the program, naming what was being done. Release builds: nothing.
void CKelSBEditView::DebugCheck(const char* pszDoing) const {
#ifdef NDEBUG
    (void)pszDoing;
#else
    const std::vector<std::string> problems = CheckConsistency(false);
    if (problems.empty())
        return;
    std::fprintf(stderr, "KelSBEdit: inconsistent storyboard after %s:\n", pszDoing);
    for (const std::string& problem : problems)
        std::fprintf(stderr, "  %s\n", problem.c_str());
    std::abort();
#endif
}

// Places the groups one after another, each as one step under the history text: every
// group is tested first, then each is tested again and placed; the first that cannot be
// stops the rest. 1 when every group was placed.
int CKelSBEditView::PlaceGroupsInTurn(kel::edit::PlacementGroups& groups, UINT nTitleId) {
    bool bPlaced = !groups.empty();
    for (std::size_t i = 0; bPlaced && i < groups.size(); ++i)
        bPlaced = m_dragDrop.TestDrop(*groups[i]) != 0;
    for (std::size_t i = 0; bPlaced && i < groups.size(); ++i) {
        CONTAINER_INSERT_PARAM& record = *groups[i];
        // Each is tested again: the groups placed before it may have pushed what it meets.
        bPlaced = m_dragDrop.TestDrop(record) != 0;
        if (!bPlaced)
            break;
        m_dragDrop.SetPendingUndoTitle(nTitleId);
        bPlaced =
            (record.dwKind == CONTAINER_INSERT_PARAM::kMove ? PlaceGroup(record, 1)
                                                            : PlaceFromOutside(record, 1)) != 0;
        m_dragDrop.SetPendingUndoTitle(0);
    }
    return bPlaced ? 1 : 0;
}

// Tells the storyboard navigator which material has the focus (null: none).
void CKelSBEditView::NotifyNavigatorContent(const CKelSBContentBaseObj* pContent) const {
    CWnd* pNavigator = KelToolGetToolBox(KEL_TOOLBOX_SB_NAVIGATOR);
    if (pNavigator && IsWindow(pNavigator))
        pNavigator->SendMessage(WM_CG_SBNAV_SBSELCONTENT_CHANGED, KEL_SBNAV_CONTENT,
                                reinterpret_cast<LPARAM>(pContent));
}
