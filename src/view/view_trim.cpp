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

void CKelSBEditView::ApplyTrim(const KelSBTrimCandidate& trim) {
    // The trimmed material becomes the current one, with its container selected.
    std::vector<CRect> rects;
    CollectSelectionRects(rects);
    CKelSBContainerObj* pContainer = FindContainerOf(trim.pContent);
    if (pContainer && !m_lstSelContainers.Find(pContainer)) {
        m_lstSelContainers.RemoveAll();
        m_lstSelContainers.AddTail(pContainer);
    }
    m_pCurContent = pContainer ? trim.pContent : m_pCurContent;
    NotifyNavigatorContent(m_pCurContent);
    ChangeLength(trim);
    if (m_pParentDlg)
        m_pParentDlg->UpdateCaption(m_pCurContent);
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
    UpdateHRange();
    if (change->dwEdge == 2 && !trim.pNextContent)
        EnsureCurContentVisible();
    CRect rcBoth;
    rcBoth.UnionRect(trim.rcMaterial, GetMaterialRect(trim.pContent));
    InvalidateRect(rcBoth, TRUE);
    MarkModified();
}
