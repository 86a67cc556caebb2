// The shortcut keys, pressed while the timeline view has the focus: each runs the button its
// tooltip names (what each does is the runner script keys_menus.kss), and none edits while
// loaded, while the mouse holds a material or without hot keys.
#include "keys/input_fixture.h"

#include "host/services/live_output.h"
#include "res/button_table.h"

#include <set>
#include <string>

namespace kel::test {
namespace {

class KeyTest : public InputTest {
protected:
    int MaterialsOnClipboard() const {
        return static_cast<int>(scene->GetSBEditObj()->GetMaterialClipboard().GetCount());
    }
};

// The key table and the buttons' tooltips are kept apart (the tips are texts of the string
// table); they must agree on every key.
TEST_F(KeyTest, EveryKeyRunsTheButtonWhoseTooltipNamesIt) {
    struct Named {
        UINT nKey;
        const char* name;
    };
    std::vector<Named> keys = {{VK_SPACE, "Space Bar"}, {VK_HOME, "Home"}, {VK_END, "End"},
                               {VK_LEFT, "<--"},        {VK_RIGHT, "-->"}, {VK_DELETE, "Del"}};
    static const std::string kLetters = "ABCDFGLMNPQRSTUVWXYZ";
    static const std::string kNames[] = {"A", "B", "C", "D", "F", "G", "L", "M", "N", "P",
                                         "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z"};
    for (std::size_t i = 0; i < kLetters.size(); ++i)
        keys.push_back({static_cast<UINT>(kLetters[i]), kNames[i].c_str()});

    std::set<UINT> buttons;
    for (const Named& key : keys) {
        SCOPED_TRACE(key.name);
        const UINT nButton = KelSBViewKeyCommand(key.nKey);
        const auto table = kel::res::EditDialogButtons();
        const auto entry = std::find_if(table.begin(), table.end(), [nButton](const auto& b) {
            return b.controlId == nButton;
        });
        ASSERT_NE(entry, table.end()) << "no button for the key";
        const std::string tip = Text(entry->tipId);
        const std::string suffix = std::string("(") + key.name + ")";
        EXPECT_TRUE(tip.size() > suffix.size() &&
                    tip.compare(tip.size() - suffix.size(), suffix.size(), suffix) == 0)
            << tip;
        EXPECT_TRUE(buttons.insert(nButton).second) << "two keys run one button";
    }
    // No command: the six letters, the other arrows, digits, and the numeric pad, whose
    // codes are those of the small letters.
    for (UINT nKey : {UINT{'E'}, UINT{'H'}, UINT{'I'}, UINT{'J'}, UINT{'K'}, UINT{'O'}, UINT{VK_UP},
                      UINT{VK_DOWN}, UINT{'1'}, UINT{'a'}, UINT{'z'}})
        EXPECT_EQ(KelSBViewKeyCommand(nKey), 0u) << nKey;
}

// Where the keys move the time line to is the runner script's; at the head already, Home
// repaints nothing.
TEST_F(KeyTest, HomeAtTheHeadRepaintsNothing) {
    view->UpdateWindow();
    const int nPaints = headless->PaintCount(*view);
    Key(VK_HOME);
    view->UpdateWindow();
    EXPECT_EQ(headless->PaintCount(*view), nPaints);
}

TEST_F(KeyTest, ToolKeysSwitchTheModeAndItsButton) {
    auto checked = [this](UINT nId) { return dlg->GetButton(nId)->GetCheck() == BST_CHECKED; };
    Key('D');
    EXPECT_EQ(view->GetToolMode(), DWORD{CKelSBEditView::kToolDeleteSpace});
    EXPECT_TRUE(checked(IDC_BTN_DELETE_SPACE));
    Key('Q');
    EXPECT_EQ(view->GetToolMode(), DWORD{CKelSBEditView::kToolFixedPaste});
    EXPECT_TRUE(checked(IDC_BTN_FIXED_PASTE));
    Key('T');
    EXPECT_EQ(view->GetToolMode(), DWORD{CKelSBEditView::kToolNormal});
    EXPECT_TRUE(checked(IDC_BTN_NORMAL));
}

TEST_F(KeyTest, EscapeClearsTheLiveOutputButDuringAScrubTakesTheScrubBack) {
    const int nClears = CKelDrvGFB::GetClearCount();
    const long long nFields = CKelDrvSys::GetFieldCount();
    Key(VK_ESCAPE);
    EXPECT_EQ(CKelDrvGFB::GetClearCount(), nClears + 1);
    EXPECT_EQ(CKelDrvSys::GetFieldCount(), nFields + 1);
    EXPECT_EQ(CKelDrvGFB::GetLastUpdateFlag(), -1);

    Down(X(40), 30);
    Move(X(80), 30);
    ASSERT_TRUE(view->Gesture().Is(KelSBGestureState::kScrub));
    Key(VK_ESCAPE);
    EXPECT_FALSE(view->Gesture().Is(KelSBGestureState::kScrub));
    EXPECT_EQ(CKelDrvGFB::GetClearCount(), nClears + 1);
    Up(X(80), 30);
}

// Loaded onto the output, only the keys that neither edit nor play still act.
TEST_F(KeyTest, WhileLoadedOnlyMovingSelectingAndTheNormalToolAct) {
    // Something to undo and to redo, and clipboards to paste from.
    Select({1}, Content(1, 0));
    Key('C');
    Key('F');
    Key('X');
    Select({0}, Content(0, 0));
    Key('X');
    Key('Z');
    Load();
    ClearReceived();
    Select({5, 7}, Content(7, 0)); // the Lower Thirds of tracks 2 and 4, one container cut
    Body().SetTimeLinePos(50);
    const std::vector<BYTE> before = Bytes();
    const int nSteps = Steps();
    const int nRedo = History().GetRedoStepCount();
    const int nClipboard = MaterialsOnClipboard();
    const std::size_t nPlays = scene->GetLastPlay().size();
    for (UINT nKey :
         {UINT{VK_SPACE}, UINT{VK_DELETE}, UINT{'B'}, UINT{'C'}, UINT{'D'}, UINT{'F'}, UINT{'G'},
          UINT{'L'},      UINT{'M'},       UINT{'N'}, UINT{'P'}, UINT{'Q'}, UINT{'R'}, UINT{'S'},
          UINT{'U'},      UINT{'V'},       UINT{'W'}, UINT{'X'}, UINT{'Y'}, UINT{'Z'}}) {
        SCOPED_TRACE(nKey);
        Key(nKey);
        EXPECT_EQ(Bytes(), before);
        EXPECT_EQ(Steps(), nSteps);
        EXPECT_EQ(History().GetRedoStepCount(), nRedo);
        EXPECT_EQ(MaterialsOnClipboard(), nClipboard);
        EXPECT_EQ(view->GetToolMode(), DWORD{CKelSBEditView::kToolNormal});
    }
    EXPECT_EQ(scene->GetLastPlay().size(), nPlays);
    EXPECT_TRUE(PanelSwitches().empty());
    EXPECT_EQ(BoxesShown(), 0u);
    EXPECT_EQ(headless->ModalDialogsRun(), 0);

    Key(VK_HOME);
    EXPECT_EQ(Body().GetTimeLinePos(), 0u);
    Key(VK_RIGHT);
    EXPECT_EQ(Body().GetTimeLinePos(), 10u);
    Key('A');
    EXPECT_EQ(SelectedContainers().size(), 8u);
}

TEST_F(KeyTest, NoKeyEditsWhileTheMouseHoldsAMaterialOrWithoutHotKeys) {
    Down(X(50), RowY(0));
    ASSERT_FALSE(view->Gesture().IsIdle());
    const std::vector<BYTE> before = Bytes();
    headless->QueueMessageBoxAnswer(IDYES);
    for (UINT nKey : {UINT{VK_DELETE}, UINT{'X'}, UINT{'S'}})
        Key(nKey);
    EXPECT_EQ(Bytes(), before);
    Up(X(50), RowY(0));
    headless->ClearQueues();

    KelSetUseHotKey(0);
    Key('A');
    Key('X');
    EXPECT_EQ(SelectedContainers(), std::vector<int>{1});
    EXPECT_EQ(Bytes(), before);
    KelSetUseHotKey(1);
    Key('X');
    EXPECT_EQ(LastStepText(), Text(IDS_HIST_CUT));
    // Z and Y whatever the modifiers held.
    Key('Z', {VK_CONTROL});
    EXPECT_EQ(Steps(), 0);
    Key('Y', {VK_SHIFT});
    EXPECT_EQ(Steps(), 1);
}

} // namespace
} // namespace kel::test
