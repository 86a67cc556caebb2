#include "dialog/status_line.h"

#include "dialog/module_instance.h"
#include "dialog/sbedit_dlg.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_content.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"
#include "host/services/module_rc.h"
#include "host/services/video_std.h"
#include "res/resource.h"

namespace kel::sbedit {

StatusTexts LoadStatusTexts() {
    const HINSTANCE inst = ModuleInstance();
    StatusTexts texts;
    texts.strPrefixMark = CKelModuleRC::LoadStringW(inst, IDS_STATUS_PREFIX_MARK);
    texts.strTimeLine = CKelModuleRC::LoadStringW(inst, IDS_STATUS_TIME_LINE);
    texts.strTotalLength = CKelModuleRC::LoadStringW(inst, IDS_STATUS_TOTAL_LENGTH);
    texts.strEntryPoint = CKelModuleRC::LoadStringW(inst, IDS_STATUS_ENTRY_POINT);
    texts.strOutletPoint = CKelModuleRC::LoadStringW(inst, IDS_STATUS_OUTLET_POINT);
    texts.strLength = CKelModuleRC::LoadStringW(inst, IDS_STATUS_LENGTH);
    return texts;
}

CString BuildStatusCaption(const CString& strCurrentCaption, const StatusTexts& texts,
                           const StatusValues& values) {
    // The host puts its own prefix before the first update; keep it and the two characters
    // from the first mark character on.
    CString strPrefix;
    const int nMark =
        texts.strPrefixMark.IsEmpty() ? -1 : strCurrentCaption.FindOneOf(texts.strPrefixMark.str());
    if (nMark >= 0)
        strPrefix = strCurrentCaption.Left(nMark + 2);

    const auto tc = [](DWORD dwFrame) { return CKelVideoStd::FrameToTCStr(dwFrame); };
    const auto num = [](DWORD dwFrame) { return static_cast<int>(dwFrame); };

    CString strTimeLine;
    if (values.bFrameDisplay)
        strTimeLine.Format("   %s %d   ", texts.strTimeLine.GetString(), num(values.dwTimeLine));
    else
        strTimeLine = texts.strTimeLine + tc(values.dwTimeLine) + "   ";

    CString strSelection;
    if (values.bSelection) {
        if (values.bFrameDisplay) {
            CString strEntry, strOutlet, strLength;
            strEntry.Format("%s: %d  ", texts.strEntryPoint.GetString(), num(values.dwEntry));
            strOutlet.Format("%s: %d  ", texts.strOutletPoint.GetString(), num(values.dwOutlet));
            strLength.Format("%s %d", texts.strLength.GetString(), num(values.dwLength));
            strSelection = strEntry + strOutlet + strLength;
        } else {
            strSelection = texts.strEntryPoint + tc(values.dwEntry) + "  " + texts.strOutletPoint +
                           tc(values.dwOutlet) + "  " + texts.strLength + tc(values.dwLength);
        }
    }

    CString strTotal;
    if (values.bFrameDisplay)
        strTotal.Format("   %s %d", texts.strTotalLength.GetString(), num(values.dwDuration));
    else
        strTotal = texts.strTotalLength + tc(values.dwDuration);

    return strPrefix + "--" + values.strSceneName + strTimeLine + strSelection + strTotal;
}

} // namespace kel::sbedit

void CKelSBEditDlg::UpdateCaption(DWORD dwEntry, DWORD dwOutlet, DWORD dwLength, int bSelection) {
    if (!GetSafeHwnd() || !m_pView)
        return;
    CKelPlaySceneObj* pScene = m_pView->GetCurScene();
    CKelSBBodyObj* pBody = m_pView->GetCurSBBody();
    if (!pScene || !pBody)
        return;
    kel::sbedit::StatusValues values;
    values.strSceneName = pScene->GetName();
    values.bFrameDisplay = pBody->GetFrameDisplay() != 0;
    values.dwTimeLine = pBody->GetTimeLinePos();
    values.dwDuration = pBody->GetDuration();
    values.bSelection = bSelection != 0;
    values.dwEntry = dwEntry;
    values.dwOutlet = dwOutlet;
    values.dwLength = dwLength;
    SetAquaWindowText(
        kel::sbedit::BuildStatusCaption(GetWindowText(), kel::sbedit::LoadStatusTexts(), values));
}

void CKelSBEditDlg::UpdateCaption(const CKelSBContentBaseObj* pContent) {
    if (pContent)
        UpdateCaption(pContent->GetStoryIn(), pContent->GetStoryOut(), pContent->GetDuration(), 1);
    else
        UpdateCaption(0, 0, 0, 0);
}
