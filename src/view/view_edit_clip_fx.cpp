// Clipping materials at the time line, and copying effects between pieces through the FX
// clipboards. Materials on locked tracks are never changed.
#include "edit/edit_clip_fx.h"
#include "operations/op_materials.h"
#include "view/sbedit_view.h"

#include "host/effects/io_effect.h"
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "res/resource.h"

int CKelSBEditView::ClipAtTimeLine(int bEntry) {
    CKelSBBodyObj* pBody = GetEditableBody();
    if (pBody == nullptr)
        return 0;
    if (!kel::operations::ClipAtTimeLine(*this, bEntry ? IDS_HIST_CLIP_IN : IDS_HIST_CLIP_OUT,
                                         *m_pCurScene, *pBody, bEntry != 0))
        return 0;
    EnsureCurContentVisible();
    Invalidate(TRUE);
    MarkModified();
    NotifyNavigatorContent(m_selection.GetCurContent());
    return 1;
}

// The effect of the one selected material to the FX clipboard of its phase.
int CKelSBEditView::CopyFX() {
    CKelSBEditObj* pDoc = GetSBEditObj();
    if (GetEditableBody() == nullptr || pDoc == nullptr ||
        m_selection.GetSelContainerList().IsEmpty())
        return 0;
    const auto* pContainer =
        static_cast<const CKelSBContainerObj*>(m_selection.GetSelContainerList().GetHead());
    if (m_selection.GetSelContainerList().GetCount() != 1 || pContainer->GetContentCount() != 1) {
        ShowMessage(IDS_SELECT_SOURCE_FX);
        return 0;
    }
    // A movie or a scroll has no effect to copy: nothing is copied and nothing reported.
    return kel::edit::CopyEffect(*pDoc, *pContainer->GetContentObj(0)) ? 1 : 0;
}

// The FX clipboards' effects to the selected pieces of their phases (unlocked tracks).
int CKelSBEditView::PasteFX() {
    CKelSBBodyObj* pBody = GetEditableBody();
    CKelSBEditObj* pDoc = GetSBEditObj();
    if (pBody == nullptr || pDoc == nullptr || m_selection.GetSelContainerList().IsEmpty())
        return 0;
    std::vector<CRect> rects;
    CollectSelectionRects(rects);
    const kel::operations::FXPasteOutcome outcome = kel::operations::PasteEffects(
        *this, IDS_HIST_FX_PASTE, *pBody, *pDoc, Selection().GetCurFocus(),
        Selection().GetSelContainerIndices());
    if (outcome == kel::operations::FXPasteOutcome::kClipboardsEmpty)
        ShowMessage(IDS_FX_CLIPBOARD_EMPTY);
    if (outcome != kel::operations::FXPasteOutcome::kPasted)
        return 0;
    InvalidateRects(rects);
    MarkModified();
    return 1;
}
