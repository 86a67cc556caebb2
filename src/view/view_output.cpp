// The view's entries to playback and preview (src/play): playing, compiling, loading onto the
// output and unloading, the material play mode and the effect preview the host asks for, and
// clearing the live output; and bringing a material into sight for a host that lists them.
#include "dialog/sbedit_dlg.h"
#include "play/material_effects.h"
#include "play/play_output.h"
#include "view/sbedit_view.h"

#include "host/effects/effect_preview.h"
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/services/live_output.h"

using kel::play::OutputCall;

int CKelSBEditView::UpLoadStoryBoard(CWnd* pParent) {
    return kel::play::RunOutputCall(*this, OutputCall::Upload, pParent);
}

int CKelSBEditView::DownLoadStoryBoard(CWnd* pParent) {
    return kel::play::RunOutputCall(*this, OutputCall::Download, pParent);
}

int CKelSBEditView::PlayStoryBoard(CWnd* pParent) {
    return IsLoaded() ? 0 : kel::play::RunOutputCall(*this, OutputCall::Play, pParent);
}

int CKelSBEditView::CompileStoryBoard(CWnd* pParent) {
    return IsLoaded() ? 0 : kel::play::RunOutputCall(*this, OutputCall::Compile, pParent);
}

// The material play mode: the current material's effect in the host's effect editor, one
// undoable step when it changed.
int CKelSBEditView::IOModeCurContent() {
    return kel::play::EditCurrentEffect(*this);
}

// What a double click on a material and the materials menu's "Modify Play Properties" run:
// the material play mode of the current material.
int CKelSBEditView::ModifyPlayProperties() {
    return IOModeCurContent();
}

// Clears the live output and shows it cleared (the Escape key).
void CKelSBEditView::ClearLiveOutput() {
    CKelDrvGFB::ClearScreenLive();
    CKelDrvSys::WaitField(1, 0);
    CKelDrvGFB::UpdateOutLiveWnd(-1);
}

LRESULT CKelSBEditView::OnEffectPreview(LPARAM lParam) {
    kel::play::PreviewCurrentEffect(*this, reinterpret_cast<const KelPieceEffectPreview*>(lParam));
    return 0;
}

// The host's request to bring a material into sight (KELSB_SHOW_CONTENT): the time line at
// its entry point, the material alone selected and current. 0 when it is not there.
int CKelSBEditView::ShowContent(int nContainer, int nContent) {
    CKelSBBodyObj* pBody = GetCurSBBody();
    if (pBody == nullptr || nContainer < 0 || nContainer >= pBody->GetContainerCount())
        return 0;
    CKelSBContainerObj* pContainer = pBody->GetContainerObj(nContainer);
    if (pContainer == nullptr || nContent < 0 || nContent >= pContainer->GetContentCount())
        return 0;
    CKelSBContentBaseObj* pContent = pContainer->GetContentObj(nContent);
    if (pContent == nullptr)
        return 0;
    ClearTrackSelection();
    ClearMaterialSelection();
    m_selection.GetSelContainerList().AddTail(pContainer);
    m_selection.SetCurContent(pContent);
    SetTimeLine(pContent->GetStoryIn());
    NotifyNavigatorContent(pContent);
    if (m_pParentDlg)
        m_pParentDlg->UpdateCaption(pContent);
    Invalidate();
    return 1;
}
