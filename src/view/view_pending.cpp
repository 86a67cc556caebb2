// Operations of the view whose editing work is still to be built. Each refuses (returns 0)
// and changes nothing, so that a button or key reaching one never reports a change that did
// not happen.
#include "view/sbedit_view.h"

int CKelSBEditView::PlayStoryBoard(CWnd* /*pParent*/) {
    return 0;
}

int CKelSBEditView::CompileStoryBoard(CWnd* /*pParent*/) {
    return 0;
}

int CKelSBEditView::IOModeCurContent() {
    return 0;
}

int CKelSBEditView::PasteMaterials() {
    return 0;
}

int CKelSBEditView::AlignMaterials(int /*bLeft*/) {
    return 0;
}

BOOL CKelSBEditView::HandleKeyDown(UINT /*nChar*/, UINT /*nRepCnt*/, UINT /*nFlags*/) {
    return FALSE;
}

// ---- Gesture hooks of the mouse handling. A refused trim or drag leaves the press to select.

int CKelSBEditView::BeginTrim(CPoint /*point*/) {
    return 0;
}

void CKelSBEditView::MoveTrim(CPoint /*point*/) {}

void CKelSBEditView::ReleaseTrim(CPoint /*point*/) {
    m_bTrimming = 0;
}

int CKelSBEditView::BeginDragWithinSB(CPoint /*point*/, UINT /*nFlags*/) {
    return 0;
}

int CKelSBEditView::FixedPointPasteAt(CPoint /*point*/) {
    return 0;
}
