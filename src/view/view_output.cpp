// Loading the storyboard onto the output and taking it off, through the host's scene. Every
// host call runs with the host's panels disabled and the history sync off, and both are
// restored whatever the host answers.
#include "module/messages.h"
#include "view/sbedit_view.h"

#include "host/scene/play_scene.h"
#include "host/services/live_output.h"

int CKelSBEditView::RunOutputCall(int (CKelPlaySceneObj::*pfnCall)(CWnd*), CWnd* pParent) {
    if (!m_pCurScene)
        return 0;
    CWnd* pDialog = GetParent();
    if (pDialog)
        pDialog->SendMessage(WM_CG_ENABLE_ALL_PANEL_STUFF, 0, 0);
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
    if (pDialog && IsWindow(pDialog))
        pDialog->SendMessage(WM_CG_ENABLE_ALL_PANEL_STUFF, 1, 0);
    return nResult;
}

int CKelSBEditView::UpLoadStoryBoard(CWnd* pParent) {
    return RunOutputCall(&CKelPlaySceneObj::UpLoadStoryBoard, pParent);
}

int CKelSBEditView::DownLoadStoryBoard(CWnd* pParent) {
    return RunOutputCall(&CKelPlaySceneObj::DownLoadStoryBoard, pParent);
}
