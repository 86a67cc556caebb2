// Loading the storyboard onto the output and taking it off, through the host's scene. Every
// host call runs with the host's panels disabled and the history sync off, and both are
// restored whatever the host answers.
#include "view/sbedit_view.h"

#include "host/scene/play_scene.h"
#include "host/services/live_output.h"

int CKelSBEditView::RunOutputCall(int (CKelPlaySceneObj::*pfnCall)(CWnd*), CWnd* pParent) {
    if (!m_pCurScene)
        return 0;
    EnableHostPanels(FALSE);
    m_bHistorySync = 0;
    CKelDrvGFB::ClearScreenLive();
    CKelDrvGFB::UpdateOutLiveWnd(-1);
    int nResult = 0;
    try {
        nResult = (m_pCurScene->*pfnCall)(pParent);
    } catch (...) {
        nResult = 0;
    }
    m_bHistorySync = 1;
    EnableHostPanels(TRUE);
    return nResult;
}

int CKelSBEditView::UpLoadStoryBoard(CWnd* pParent) {
    return RunOutputCall(&CKelPlaySceneObj::UpLoadStoryBoard, pParent);
}

int CKelSBEditView::DownLoadStoryBoard(CWnd* pParent) {
    return RunOutputCall(&CKelPlaySceneObj::DownLoadStoryBoard, pParent);
}
