// Operations of the view whose editing work is still to be built. Each refuses (returns 0)
// and changes nothing, so that a button or key reaching one never reports a change that did
// not happen.
#include "view/sbedit_view.h"

BOOL CKelSBEditView::HandleKeyDown(UINT /*nChar*/, UINT /*nRepCnt*/, UINT /*nFlags*/) {
    return FALSE;
}

// ---- Hooks of the mouse handling: the context menus and the play properties of a
// double-clicked material.

void CKelSBEditView::ShowTrackMenu(CPoint /*point*/) {}

void CKelSBEditView::ShowMaterialsMenu(CPoint /*point*/) {}

void CKelSBEditView::ShowTrackAreaMenu(CPoint /*point*/) {}

void CKelSBEditView::ShowStoryboardMenu(CPoint /*point*/) {}

int CKelSBEditView::ModifyPlayProperties() {
    return 0;
}
