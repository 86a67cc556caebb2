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
    NotifyNavigatorContent(m_pCurContent);
    return 1;
}

int CKelSBEditView::CopyFX() {
    CKelSBEditObj* pDoc = GetSBEditObj();
    if (GetEditableBody() == nullptr || pDoc == nullptr || m_lstSelContainers.IsEmpty())
        return 0;
    const auto* pContainer = static_cast<const CKelSBContainerObj*>(m_lstSelContainers.GetHead());
    if (m_lstSelContainers.GetCount() != 1 || pContainer->GetContentCount() != 1) {
        ShowMessage(IDS_SELECT_SOURCE_FX);
        return 0;
    }
    // A movie or a scroll has no effect to copy: nothing is copied and nothing reported.
    return kel::edit::CopyEffect(*pDoc, *pContainer->GetContentObj(0)) ? 1 : 0;
}

int CKelSBEditView::PasteFX() {
    CKelSBBodyObj* pBody = GetEditableBody();
    CKelSBEditObj* pDoc = GetSBEditObj();
    if (pBody == nullptr || pDoc == nullptr || m_lstSelContainers.IsEmpty())
        return 0;
    std::vector<CRect> rects;
    CollectSelectionRects(rects);
    const kel::operations::FXPasteOutcome outcome = kel::operations::PasteEffects(
        *this, IDS_HIST_FX_PASTE, *pBody, *pDoc, GetCurFocus(), GetSelContainerIndices());
    if (outcome == kel::operations::FXPasteOutcome::kClipboardsEmpty)
        ShowMessage(IDS_FX_CLIPBOARD_EMPTY);
    if (outcome != kel::operations::FXPasteOutcome::kPasted)
        return 0;
    InvalidateRects(rects);
    MarkModified();
    return 1;
}
