// A released trim (gestures/gesture_trim.cpp) made an edit: the trimmed material current, and
// its new length recorded as one undoable step ("Change Materials Size").
#include "dialog/sbedit_dlg.h"
#include "edit/edit_trim.h"
#include "operations/op_materials.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "res/resource.h"

#include <vector>

// A released trim: its material made current, its new length one undoable step (nothing
// when the edge did not move).
void CKelSBEditView::ApplyTrim(const KelSBTrimCandidate& trim) {
    // The trimmed material becomes the current one, with its container selected.
    std::vector<CRect> rects;
    CollectSelectionRects(rects);
    CKelSBContainerObj* pContainer = Selection().FindContainerOf(trim.pContent);
    if (pContainer && !m_selection.GetSelContainerList().Find(pContainer)) {
        m_selection.GetSelContainerList().RemoveAll();
        m_selection.GetSelContainerList().AddTail(pContainer);
    }
    m_selection.SetCurContent(pContainer ? trim.pContent : m_selection.GetCurContent());
    NotifyNavigatorContent(m_selection.GetCurContent());
    ChangeLength(trim);
    if (m_pParentDlg)
        m_pParentDlg->UpdateCaption(m_selection.GetCurContent());
    CollectSelectionRects(rects);
    rects.push_back(trim.rcMaterial);
    InvalidateRects(rects);
}

void CKelSBEditView::ChangeLength(const KelSBTrimCandidate& trim) {
    CKelSBBodyObj* pBody = GetCurSBBody();
    if (IsLoaded() || !pBody || !trim.pContent)
        return;
    const std::optional<kel::edit::LengthChange> change = kel::operations::ChangeLength(
        *this, IDS_HIST_CHANGE_LENGTH, *pBody, trim.Edge(), trim.dwEdgeFrame);
    if (!change)
        return;
    // A longer last material may have made the storyboard longer than the view scrolls.
    Scroll().UpdateHRange();
    if (change->dwEdge == 2 && !trim.pNextContent)
        EnsureCurContentVisible();
    CRect rcBoth;
    rcBoth.UnionRect(trim.rcMaterial, GetMaterialRect(trim.pContent));
    InvalidateRect(rcBoth, TRUE);
    MarkModified();
}
