// The seven entry points as a host calls them, in and out of order.
#include "editor_fixture.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_edit.h"

#include <algorithm>

namespace kel::test {
namespace {

bool IsTopLevel(const CWnd* wnd) {
    const auto windows = kel::platform::TopLevelWindows();
    return std::find(windows.begin(), windows.end(), wnd) != windows.end();
}

using EntryPointTest = ModuleHostTest;

TEST_F(EntryPointTest, EveryEntryToleratesAMissingInstance) {
    const auto before = kel::platform::TopLevelWindows().size();
    EXPECT_EQ(KelSBEditCreateDlg(&parent), nullptr);
    EXPECT_EQ(kel::platform::TopLevelWindows().size(), before);
    KelSBSetItemEditWnd(&itemEdit);
    KelSBSetCurScene(nullptr);
    EXPECT_EQ(KelSBEditGetDlg(), nullptr);
    EXPECT_EQ(KelSBEditUndoRedoClose(), 0);
    EXPECT_EQ(KelSBEditClose(), 1);
    EXPECT_EQ(KelSBEditClose(), 1);
}

TEST_F(EntryPointTest, SecondOpenClosesThePreviousInstanceAndItsWindow) {
    ASSERT_EQ(KelSBEditOpen(), 1);
    CWnd* first = KelSBEditCreateDlg(&parent);
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(IsTopLevel(first));

    ASSERT_EQ(KelSBEditOpen(), 1);
    EXPECT_FALSE(IsTopLevel(first));
    CWnd* second = KelSBEditGetDlg();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->GetSafeHwnd(), nullptr); // the new instance has no window yet
    EXPECT_EQ(KelSBEditClose(), 1);
    EXPECT_EQ(KelSBEditGetDlg(), nullptr);
}

TEST_F(EntryPointTest, CreatingAgainReplacesTheWindowAndForgetsTheItemEditWindow) {
    ASSERT_EQ(KelSBEditOpen(), 1);
    // Handed before the window exists: creation forgets it.
    KelSBSetItemEditWnd(&itemEdit);
    auto* dlg = static_cast<CKelSBEditDlg*>(KelSBEditCreateDlg(&parent));
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->GetItemEditWnd(), nullptr);
    KelSBSetItemEditWnd(&itemEdit);
    EXPECT_EQ(dlg->GetItemEditWnd(), &itemEdit);

    const auto before = kel::platform::TopLevelWindows().size();
    ASSERT_EQ(KelSBEditCreateDlg(&parent), dlg);
    EXPECT_EQ(kel::platform::TopLevelWindows().size(), before);
    EXPECT_EQ(dlg->GetItemEditWnd(), nullptr);
    EXPECT_NE(dlg->GetView(), nullptr);
    EXPECT_EQ(dlg->GetView()->GetCurScene(), nullptr);
    KelSBEditClose();
}

TEST_F(EntryPointTest, SceneIsIgnoredWithoutAWindowAndHandedToTheViewWithOne) {
    auto scene = KelCreateSampleScene();
    ASSERT_EQ(KelSBEditOpen(), 1);
    KelSBSetCurScene(scene.get()); // no window: not remembered
    auto* dlg = static_cast<CKelSBEditDlg*>(KelSBEditCreateDlg(&parent));
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->GetView()->GetCurScene(), nullptr);
    EXPECT_EQ(KelSBEditUndoRedoClose(), 0);

    KelSBSetCurScene(scene.get());
    EXPECT_EQ(dlg->GetView()->GetCurScene(), scene.get());
    KelSBSetCurScene(nullptr);
    EXPECT_EQ(dlg->GetView()->GetCurScene(), nullptr);
    KelSBEditClose();
}

TEST_F(EntryPointTest, UndoRedoCloseClearsTheHistoriesOfTheScene) {
    auto scene = KelCreateSampleScene();
    ASSERT_EQ(KelSBEditOpen(), 1);
    ASSERT_NE(KelSBEditCreateDlg(&parent), nullptr);
    KelSBSetCurScene(scene.get());
    int undos = 0;
    CKelURBase* steps = scene->GetSBEditObj()->GetCurSBBodyObj()->GetURBase();
    steps->AddCommand(new CountingCmd(&undos, 1));
    ASSERT_EQ(steps->GetStepCount(), 1);

    EXPECT_EQ(KelSBEditUndoRedoClose(), 1);
    EXPECT_EQ(steps->GetStepCount(), 0);
    EXPECT_EQ(KelSBEditClose(), 1);
    EXPECT_EQ(KelSBEditGetDlg(), nullptr);
}

} // namespace
} // namespace kel::test
