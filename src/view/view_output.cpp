// The view's entries to playback and preview (src/play): playing, compiling, loading onto the
// output and unloading, the material play mode and the effect preview the host asks for, and
// clearing the live output.
#include "play/material_effects.h"
#include "play/play_output.h"
#include "view/sbedit_view.h"

#include "host/effects/effect_preview.h"
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

int CKelSBEditView::IOModeCurContent() {
    return kel::play::EditCurrentEffect(*this);
}

int CKelSBEditView::ModifyPlayProperties() {
    return IOModeCurContent();
}

void CKelSBEditView::ClearLiveOutput() {
    CKelDrvGFB::ClearScreenLive();
    CKelDrvSys::WaitField(1, 0);
    CKelDrvGFB::UpdateOutLiveWnd(-1);
}

LRESULT CKelSBEditView::OnEffectPreview(LPARAM lParam) {
    kel::play::PreviewCurrentEffect(*this, reinterpret_cast<const KelPieceEffectPreview*>(lParam));
    return 0;
}
