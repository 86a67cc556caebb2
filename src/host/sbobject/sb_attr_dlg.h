// The storyboard's properties dialog, shown by CKelSBBodyObj::EditAttr.
#pragma once

#include "host/sbobject/sb_body.h"
#include "platform/dialog.h"

class CKelSBBodyAttrDlg : public CDialog {
public:
    enum : UINT {
        IDC_SB_NAME = 1001,
        IDC_SB_FRAME_DISPLAY = 1002,
        IDC_SB_TRACK_HEIGHT = 1003,
        IDC_SB_PLAY_RANGE_ONLY = 1004,
        IDC_SB_RANGE_START = 1005,
        IDC_SB_RANGE_END = 1006,
    };

    CKelSBBodyAttrDlg(const CKelSBBodyAttr& attr, CWnd* pParent);

    // The values shown, and after OK the values chosen. A scripted answer may set them and end
    // with IDOK, or set the controls and call OnOK.
    CKelSBBodyAttr m_attr;

    BOOL OnInitDialog() override;
    // Reads the controls; a number that does not parse keeps the value it replaces.
    void OnOK() override;

    static DialogTemplate MakeTemplate();
};
