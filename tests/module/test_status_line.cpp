// The caption as status line, in both time displays.
#include "dialog/status_line.h"
#include "editor_fixture.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_edit.h"
#include "host/services/video_std.h"

namespace kel::test {
namespace {

using kel::sbedit::BuildStatusCaption;
using kel::sbedit::LoadStatusTexts;
using kel::sbedit::StatusValues;

StatusValues Values(bool frames, DWORD timeLine, DWORD duration) {
    StatusValues values;
    values.strSceneName = "News";
    values.bFrameDisplay = frames;
    values.dwTimeLine = timeLine;
    values.dwDuration = duration;
    return values;
}

// The whole caption without a selection in frames, and with one in timecode, is the runner
// scripts scene_building.kss and status_after_undo.kss; here a selection in frames.
TEST(StatusLine, ASelectionInFramesKeepsTheTextsOwnBlanks) {
    ASSERT_EQ(CKelVideoStd::GetFrameRate(), 25.0);
    StatusValues values = Values(true, 0, 198);
    values.bSelection = true;
    values.dwEntry = 20;
    values.dwOutlet = 68;
    values.dwLength = 48;
    EXPECT_EQ(BuildStatusCaption("ABC", LoadStatusTexts(), values),
              CString("--News      Time Line  0   Selected Material Entry Point:: : 20   Outlet "
                      "Point: : 68  Length:  48      Storyboard Total Length  198"));
}

TEST(StatusLine, HostPrefixIsKeptUpToTwoCharactersFromTheFirstMark) {
    const auto texts = LoadStatusTexts();
    // 'x' is the first character that occurs in the mark text.
    EXPECT_EQ(BuildStatusCaption("[A]x Old--Scene", texts, Values(true, 0, 0)).Left(7),
              CString("[A]x --"));
    EXPECT_EQ(BuildStatusCaption("123", texts, Values(true, 0, 0)).Left(6), CString("--News"));
}

using StatusLineDialogTest = EditorTest;

TEST_F(StatusLineDialogTest, CaptionFollowsTheStoryboardAndStaysWithoutOne) {
    CKelSBBodyObj* body = scene->GetSBEditObj()->GetCurSBBodyObj();
    CKelSBBodyAttr attr = body->GetEditAttr();
    attr.nFrameDisplay = 1;
    body->SetEditAttr(attr);
    dlg->SetWindowText("Q");
    dlg->UpdateCaption(10, 20, 10, 1);
    const CString shown = dlg->GetWindowText();
    EXPECT_EQ(shown.Left(2 + scene->GetName().GetLength()), CString("--") + scene->GetName());
    EXPECT_GE(shown.Find("Entry Point"), 0);

    dlg->UpdateCaption(nullptr);
    EXPECT_LT(dlg->GetWindowText().Find("Entry Point"), 0);

    KelSBSetCurScene(nullptr);
    dlg->SetWindowText("Unchanged");
    dlg->UpdateCaption(1, 2, 1, 1);
    EXPECT_EQ(dlg->GetWindowText(), CString("Unchanged"));
}

} // namespace
} // namespace kel::test
