// Clipping materials at the time line, and copying effects between pieces through the FX
// clipboards. Materials on locked tracks are never changed.
#include "edit/edit_clip_fx.h"
#include "undo/material_cmds.h"
#include "undo/ur_register.h"
#include "view/sbedit_view.h"

#include "host/effects/io_effect.h"
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "res/resource.h"

namespace {

template <class Cmd>
std::unique_ptr<Cmd> NewClipCommand(CKelSBEditView* pView, UINT nTextId,
                                    kel::edit::ClipRecord&& record) {
    auto pCmd = KelSBNewCommand<Cmd>(pView, nTextId);
    pCmd->m_clip.frames = std::move(record);
    return pCmd;
}

} // namespace

// Trims the material under the time line on every unlocked track at the time line: its
// entry point (bEntry) or its outlet point.
int CKelSBEditView::ClipAtTimeLine(int bEntry) {
    CKelSBBodyObj* pBody = GetEditableBody();
    if (pBody == nullptr)
        return 0;
    kel::edit::ClipRecord record = kel::edit::ClipAtTimeLine(*m_pCurScene, *pBody, bEntry != 0);
    if (record.IsEmpty())
        return 0;
    KelSBEditScope scope(*this);
    if (bEntry)
        KelSBRegisterCommand(
            this, NewClipCommand<CKelURSBClipInCmd>(this, IDS_HIST_CLIP_IN, std::move(record)));
    else
        KelSBRegisterCommand(
            this, NewClipCommand<CKelURSBClipOutCmd>(this, IDS_HIST_CLIP_OUT, std::move(record)));
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
    const std::vector<int> indices = Selection().GetSelContainerIndices();
    const kel::edit::FXPasteTargets targets = kel::edit::FindFXPasteTargets(*pBody, *pDoc, indices);
    if (!targets.bAnyClipboardFilled) {
        ShowMessage(IDS_FX_CLIPBOARD_EMPTY);
        return 0;
    }
    if (targets.IsEmpty())
        return 0; // every piece that could take an effect lies on a locked track
    KelSBEditScope scope(*this);
    std::vector<CRect> rects;
    CollectSelectionRects(rects);
    auto replaced = kel::edit::PasteEffects(*pBody, *pDoc, targets);
    auto pCmd = KelSBNewCommand<CKelURSBIOSoftFXPasteCmd>(this, IDS_HIST_FX_PASTE);
    pCmd->m_focus = Selection().GetCurFocus();
    pCmd->m_arrSelectedContainers = indices;
    for (int nPhase = 0; nPhase < 3; ++nPhase) {
        if (replaced[nPhase].size() != targets.byPhase[nPhase].size())
            return 0; // nothing was pasted
        pCmd->m_arrEffects[nPhase] = std::move(replaced[nPhase]);
        pCmd->m_arrTargets[nPhase] = targets.byPhase[nPhase];
    }
    KelSBRegisterCommand(this, std::move(pCmd));
    InvalidateRects(rects);
    MarkModified();
    return 1;
}
