// The command table: every button and menu item reaches its operation through it, and it alone
// decides when a command is refused.
#include "dialog/sbedit_commands.h"
#include "edit/edit_fixture.h"

#include "host/sbobject/sb_edit.h"
#include "platform/cursor.h"
#include "res/button_table.h"

#include <set>
#include <span>

namespace kel::test {
namespace {

// A history panel that notes whether the wait cursor showed while a step was registered, undone
// or redone.
class WaitWatchingPanel : public HostWnd {
public:
    std::vector<int> depths;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_CG_UPDATE_HISTORY &&
            (wParam == KEL_UR_HISTORY_ADDED || wParam == KEL_UR_HISTORY_UNDONE ||
             wParam == KEL_UR_HISTORY_REDONE))
            depths.push_back(kel::platform::WaitCursorDepth());
        return HostWnd::WindowProc(message, wParam, lParam);
    }
};

class CommandTableTest : public EditTest {
protected:
    void Command(UINT nId) { view->SendMessage(WM_COMMAND, nId, 0); }
};

TEST_F(CommandTableTest, EveryButtonHasOneEntryAndNoIdTwo) {
    std::set<UINT> seen;
    for (const KelSBCommandEntry& entry : KelSBCommandTable()) {
        ASSERT_LE(entry.nFirstId, entry.nLastId);
        for (UINT nId = entry.nFirstId; nId <= entry.nLastId; ++nId)
            EXPECT_TRUE(seen.insert(nId).second) << "id " << nId << " has two entries";
    }
    const auto expectPlace = [](std::span<const kel::res::ButtonResources> buttons,
                                KelSBCommandPlace place) {
        for (const kel::res::ButtonResources& button : buttons) {
            const KelSBCommandEntry* pEntry = KelSBFindCommand(button.controlId);
            ASSERT_NE(pEntry, nullptr) << "button " << button.controlId;
            EXPECT_EQ(pEntry->place, place) << "button " << button.controlId;
        }
    };
    expectPlace(kel::res::EditDialogButtons(), KelSBCommandPlace::kButtonStrip);
    expectPlace(kel::res::ViewToolButtons(), KelSBCommandPlace::kViewTools);
    EXPECT_EQ(KelSBFindCommand(IDOK), nullptr);
}

TEST_F(CommandTableTest, LoadingDisablesTheButtonsTheTableNamesAndNoOther) {
    ASSERT_TRUE(dlg->RunButton(IDC_BTN_UPLOAD));
    for (const KelSBCommandEntry& entry : KelSBCommandTable()) {
        const CKelBmpReliefBtn* pButton = dlg->GetButton(entry.nFirstId);
        if (entry.place != KelSBCommandPlace::kButtonStrip || !pButton->IsWindowVisible())
            continue;
        EXPECT_EQ(pButton->IsWindowEnabled() == FALSE,
                  (entry.flags & kKelSBDisabledWhileLoaded) != 0)
            << "button " << entry.nFirstId;
    }
    dlg->RunButton(IDC_BTN_DOWNLOAD);
    for (const KelSBCommandEntry& entry : KelSBCommandTable()) {
        if (entry.place == KelSBCommandPlace::kButtonStrip) {
            EXPECT_TRUE(dlg->GetButton(entry.nFirstId)->IsWindowEnabled()) << entry.nFirstId;
        }
    }
}

// The Storyboard List's commands act on the list's highlighted storyboard; through the view
// they would act on whichever storyboard is current.
TEST_F(CommandTableTest, TheViewLeavesTheStoryboardListsCommandsAlone) {
    const int nBodies = scene->GetSBEditObj()->GetSBBodyCount();
    for (const KelSBCommandEntry& entry : KelSBCommandTable()) {
        if (entry.place == KelSBCommandPlace::kStoryboardList) {
            EXPECT_FALSE(dlg->RunCommand(entry.nFirstId)) << entry.nFirstId;
        }
    }
    EXPECT_EQ(scene->GetSBEditObj()->GetSBBodyCount(), nBodies);
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(CommandTableTest, ButtonsAndMenuItemsRunTheSameOperations) {
    Select({8, 3}, Content(3, 0));
    dlg->RunButton(IDC_BTN_SPLIT);
    EXPECT_EQ(Body().GetContainerCount(), 11);
    Select({9, 10}, Content(9, 0));
    Command(ID_MAT_MERGE);
    EXPECT_EQ(Body().GetContainerCount(), 10);
    EXPECT_EQ(History().GetStepNames(),
              (std::vector<CString>{"Split Materials", "Merge Materials"}));
    // The keyboard goes back to the view after either.
    EXPECT_EQ(CWnd::GetFocus(), view);
}

TEST_F(CommandTableTest, WithNothingSelectedOrCopiedNoButtonChangesAnythingOrAsks) {
    Select({});
    const std::vector<BYTE> before = Bytes();
    for (UINT nId : {IDC_BTN_CUT, IDC_BTN_COPY, IDC_BTN_PASTE, IDC_BTN_DELETE, IDC_BTN_COPY_FX,
                     IDC_BTN_PASTE_FX, IDC_BTN_SAME_LENGTH, IDC_BTN_ALIGN_LEFT, IDC_BTN_ALIGN_RIGHT,
                     IDC_BTN_MERGE, IDC_BTN_SPLIT})
        dlg->RunButton(nId);
    dlg->RunButton(IDC_BTN_FIXED_PASTE);
    Click(At(300, 2));
    EXPECT_EQ(Bytes(), before);
    EXPECT_EQ(History().GetStepCount(), 0);
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_TRUE(scene->GetSBEditObj()->GetMaterialClipboard().IsEmpty());
    EXPECT_EQ(DirtyMarks(), 0u);
}

TEST_F(CommandTableTest, MaterialsMenuItemsNeedASelectionWithAFocus) {
    Select({0, 1});
    const std::vector<BYTE> before = Bytes();
    for (const KelSBCommandEntry& entry : KelSBCommandTable()) {
        if (entry.needs == KelSBCommandNeeds::kSelectionAndFocus)
            Command(entry.nFirstId);
    }
    EXPECT_EQ(History().GetStepCount(), 0);
    EXPECT_EQ(Bytes(), before);
    EXPECT_TRUE(scene->GetSBEditObj()->GetMaterialClipboard().IsEmpty());
    Select({0, 1}, Content(1, 0));
    Command(ID_MAT_MERGE);
    EXPECT_EQ(History().GetStepCount(), 1);
}

// A button pressed while the time line is being scrubbed changes nothing; moving the time line
// itself is no edit. (Refusals while loaded are the keys' and the menus' tests.)
TEST_F(CommandTableTest, EditingIsRefusedWhileAGestureRuns) {
    Select({8, 3}, Content(3, 0));
    Down(X(50), 40); // in the ruler
    ASSERT_TRUE(view->Gesture().Is(KelSBGestureState::kScrub));
    dlg->RunButton(IDC_BTN_SPLIT);
    EXPECT_EQ(Body().GetContainerCount(), 9);
    EXPECT_EQ(History().GetStepCount(), 0);
    Up(X(50), 40);
    dlg->RunButton(IDC_BTN_SPLIT);
    EXPECT_EQ(History().GetStepNames(), std::vector<CString>{"Split Materials"});
}

TEST_F(CommandTableTest, TheWaitCursorShowsForTheCommandsThatAskForIt) {
    WaitWatchingPanel panel;
    panel.CreateHost("History Panel", CRect(1200, 20, 1400, 400), &mainWnd);
    KelToolRegisterToolBox(KEL_TOOLBOX_HISTORY, &panel);
    Select({3}, Content(3, 0));
    dlg->RunButton(IDC_BTN_SPLIT); // without
    Select({9}, Content(9, 0));
    dlg->RunButton(IDC_BTN_CUT); // with
    dlg->RunButton(IDC_BTN_UNDO);
    dlg->RunButton(IDC_BTN_REDO);
    EXPECT_EQ(panel.depths, (std::vector<int>{0, 1, 1, 1}));
    EXPECT_EQ(kel::platform::WaitCursorDepth(), 0);
    KelToolRegisterToolBox(KEL_TOOLBOX_HISTORY, &history);
}

} // namespace
} // namespace kel::test
