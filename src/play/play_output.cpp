#include "play/play_output.h"

#include "view/sbedit_view.h"

#include "host/scene/play_scene.h"
#include "host/services/host_settings.h"
#include "host/services/live_output.h"

namespace kel::play {

namespace {

using SceneCall = int (CKelPlaySceneObj::*)(CWnd*);

SceneCall SceneOperation(OutputCall call) {
    switch (call) {
    case OutputCall::Play:
        return &CKelPlaySceneObj::PlayStoryBoard;
    case OutputCall::Compile:
        return &CKelPlaySceneObj::CompileStoryBoard;
    case OutputCall::Upload:
        return &CKelPlaySceneObj::UpLoadStoryBoard;
    case OutputCall::Download:
        break;
    }
    return &CKelPlaySceneObj::DownLoadStoryBoard;
}

// Before playing: the selections go (each only when it holds something), and with the
// containers the current material and the status line's selection part.
void EmptySelections(CKelSBEditView& view) {
    if (!view.Selection().GetSelTrackList().IsEmpty())
        view.Selection().ClearTrackSelection();
    if (!view.Selection().GetSelContainerList().IsEmpty())
        view.Selection().ClearMaterialSelection();
}

} // namespace

int RunOutputCall(CKelSBEditView& view, OutputCall call, CWnd* pParent) {
    CKelPlaySceneObj* pScene = view.GetCurScene();
    if (pScene == nullptr)
        return 0;
    const bool bPlay = call == OutputCall::Play;
    if (bPlay)
        KelEnableAutoSave(0);
    view.EnableHostPanels(FALSE);
    view.SetHistorySync(0);
    CKelDrvGFB::ClearScreenLive();
    CKelDrvGFB::UpdateOutLiveWnd(-1);
    int nResult = 0;
    try {
        if (bPlay)
            EmptySelections(view);
        nResult = (pScene->*SceneOperation(call))(pParent);
    } catch (...) {
        nResult = 0; // a host that throws has not done what was asked
    }
    view.SetHistorySync(1);
    view.EnableHostPanels(TRUE);
    if (bPlay)
        KelEnableAutoSave(1);
    return nResult;
}

} // namespace kel::play
