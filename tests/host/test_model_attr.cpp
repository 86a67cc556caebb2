// The storyboard's properties dialog, answered by scripts as a user would answer it.
#include "host/sbobject/sb_attr_dlg.h"
#include "host/sbobject/sb_body.h"
#include "platform/headless_backend.h"
#include "platform/win_consts.h"

#include <gtest/gtest.h>

namespace {

CKelSBBodyAttrDlg& AsAttrDlg(CWnd& wnd) {
    return dynamic_cast<CKelSBBodyAttrDlg&>(wnd);
}

} // namespace

TEST(ModelEditAttr, OnlyAnAcceptedChangeCounts) {
    auto& backend = kel::platform::ResetHeadless();
    CKelSBBodyObj body;
    const CKelSBBodyAttr before = body.GetEditAttr();

    // Cancelled after editing: nothing changes.
    backend.QueueModal([](CWnd& wnd) {
        AsAttrDlg(wnd).m_attr.strName = "Edited";
        return IDCANCEL;
    });
    EXPECT_EQ(body.EditAttr(nullptr), 0);
    EXPECT_EQ(body.GetEditAttr(), before);

    // OK without a change is no change.
    backend.QueueModal([](CWnd&) { return IDOK; });
    EXPECT_EQ(body.EditAttr(nullptr), 0);

    // OK with changes: taken, the track height kept within its range, the range ordered.
    backend.QueueModal([](CWnd& wnd) {
        CKelSBBodyAttr& attr = AsAttrDlg(wnd).m_attr;
        attr.strName = "News";
        attr.nFrameDisplay = 1;
        attr.nTrackHeight = 5000;
        attr.dwRangeStart = 90;
        attr.dwRangeEnd = 10;
        return IDOK;
    });
    EXPECT_EQ(body.EditAttr(nullptr), 1);
    EXPECT_EQ(body.GetName(), "News");
    EXPECT_EQ(body.GetFrameDisplay(), 1);
    EXPECT_EQ(body.GetTrackHeight(), CKelSBBodyObj::kMaxTrackHeight);
    EXPECT_EQ(body.GetRangeStart(), 10u);
    EXPECT_EQ(body.GetRangeEnd(), 90u);
}

TEST(ModelEditAttr, TypedValuesAreReadAndBadNumbersIgnored) {
    auto& backend = kel::platform::ResetHeadless();
    CKelSBBodyObj body;
    body.SetRange(5, 50);
    backend.QueueModal([](CWnd& wnd) {
        CKelSBBodyAttrDlg& dlg = AsAttrDlg(wnd);
        EXPECT_EQ(dlg.GetDlgItem(CKelSBBodyAttrDlg::IDC_SB_RANGE_END)->GetWindowText(), "50");
        dlg.GetDlgItem(CKelSBBodyAttrDlg::IDC_SB_NAME)->SetWindowText("  Sport  ");
        dlg.GetDlgItem(CKelSBBodyAttrDlg::IDC_SB_TRACK_HEIGHT)->SetWindowText(" 48 ");
        dlg.GetDlgItem(CKelSBBodyAttrDlg::IDC_SB_RANGE_START)->SetWindowText("12x");
        dlg.GetDlgItem(CKelSBBodyAttrDlg::IDC_SB_RANGE_END)->SetWindowText("-3");
        dlg.OnOK();
        return IDOK;
    });
    EXPECT_EQ(body.EditAttr(nullptr), 1);
    EXPECT_EQ(body.GetName(), "Sport");
    EXPECT_EQ(body.GetTrackHeight(), 48);
    EXPECT_EQ(body.GetRangeStart(), 5u);
    EXPECT_EQ(body.GetRangeEnd(), 50u);
}
