// What editing operations and undo/redo commands ask of the view: the selection as indices and
// back, the rectangles to repaint, the status line, telling the host that its document changed,
// the full reset after a change of the storyboard's structure, and the consistency check.
#include "dialog/sbedit_dlg.h"
#include "edit/consistency.h"
#include "module/messages.h"
#include "module/module_instance.h"
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

bool CKelSBEditView::IsLiveView(const CKelSBEditView* pView) {
    return pView != nullptr && LiveViews().count(pView) != 0;
}

void CKelSBEditView::RegisterLiveView(bool bLive) {
    if (bLive)
        LiveViews().insert(this);
    else
        LiveViews().erase(this);
}

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

void CKelSBEditView::MarkModified() const {
    CWnd* pMain = AfxGetMainWnd();
    if (pMain && IsWindow(pMain))
        pMain->SendMessage(WM_CG_FILE_SETDIRTY_FLAG, 1, 0);
}

void CKelSBEditView::ClearStatusLine() {
    if (m_pParentDlg)
        m_pParentDlg->UpdateCaption(nullptr);
}

void CKelSBEditView::FullViewReset() {
    RefreshView(nullptr);
}

void CKelSBEditView::FullViewRebuild() {
    CWaitCursor wait;
    FullViewReset();
}

CKelSBBodyObj* CKelSBEditView::GetEditableBody() const {
    return m_pCurScene != nullptr && !IsLoaded() ? GetCurSBBody() : nullptr;
}

void CKelSBEditView::EnableHostPanels(BOOL bEnable) {
    CWnd* pDialog = GetParent();
    if (pDialog != nullptr && IsWindow(pDialog))
        pDialog->SendMessage(WM_CG_ENABLE_ALL_PANEL_STUFF, bEnable ? 1 : 0, 0);
}

void CKelSBEditView::ShowMessage(UINT nTextId) {
    m_bHistorySync = 0;
    CKelModuleRC::MessageBoxW(kel::sbedit::ModuleInstance(), nTextId, MB_OK, this);
    m_bHistorySync = 1;
}

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

std::vector<std::string> CKelSBEditView::CheckConsistency(bool bOverlaps) const {
    kel::edit::CheckOptions options;
    options.bOverlaps = bOverlaps;
    return kel::edit::CheckConsistency(GetCurSBBody(),
                                       {&m_selection.GetSelTrackList(),
                                        &m_selection.GetSelContainerList(),
                                        m_selection.GetCurContent()},
                                       options);
}

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

void CKelSBEditView::NotifyNavigatorContent(const CKelSBContentBaseObj* pContent) const {
    CWnd* pNavigator = KelToolGetToolBox(KEL_TOOLBOX_SB_NAVIGATOR);
    if (pNavigator && IsWindow(pNavigator))
        pNavigator->SendMessage(WM_CG_SBNAV_SBSELCONTENT_CHANGED, KEL_SBNAV_CONTENT,
                                reinterpret_cast<LPARAM>(pContent));
}
