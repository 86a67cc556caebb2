// The shortcut keys, pressed while the timeline view has the focus: each reaches the operation
// of the button its tooltip names, in the same states, and is refused where the button is.
#include "keys/input_fixture.h"

#include "host/effects/io_effect.h"
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

TEST_F(KeyTest, HomeEndAndTheArrowsMoveTheTimeLine) {
    // At the head already, Home repaints nothing.
    view->UpdateWindow();
    const int nPaints = headless->PaintCount(*view);
    Key(VK_HOME);
    view->UpdateWindow();
    EXPECT_EQ(headless->PaintCount(*view), nPaints);

    Key(VK_END);
    EXPECT_EQ(Body().GetTimeLinePos(), Body().GetDuration());
    Key(VK_HOME);
    EXPECT_EQ(Body().GetTimeLinePos(), 0u);
    // The key editing points: every material's entry and outlet.
    Key(VK_RIGHT);
    EXPECT_EQ(Body().GetTimeLinePos(), 10u);
    Key(VK_RIGHT);
    EXPECT_EQ(Body().GetTimeLinePos(), 20u);
    Key(VK_LEFT);
    EXPECT_EQ(Body().GetTimeLinePos(), 10u);
    EXPECT_EQ(Steps(), 0);
}

// Each key that edits makes one step; Z takes it back and Y makes it again, whatever the
// modifiers held (Ctrl+Z is Z).
TEST_F(KeyTest, EditingKeysMakeOneStepThatZAndYTakeBackAndRedo) {
    struct Case {
        const char* what;
        std::vector<int> containers; // selected, the last one's first material current
        DWORD dwTimeLine;
        UINT nKey;
        UINT nText;
    };
    const Case cases[] = {
        {"delete", {0}, 0, VK_DELETE, IDS_HIST_DELETE},
        {"cut", {1}, 0, 'X', IDS_HIST_CUT},
        {"paste at the time line", {3}, 400, 'V', IDS_HIST_FIXED_PASTE},
        {"clip the entry point", {}, 50, 'B', IDS_HIST_CLIP_IN},
        {"clip the outlet point", {}, 50, 'N', IDS_HIST_CLIP_OUT},
        {"paste FX", {8}, 0, 'G', IDS_HIST_FX_PASTE},
        {"align left", {6, 8}, 0, 'L', IDS_HIST_ALIGN_LEFT},
        {"align right", {6, 8}, 0, 'R', IDS_HIST_ALIGN_RIGHT},
        {"same length", {6, 8}, 0, 'W', IDS_HIST_SAME_LENGTH},
        {"merge", {6, 8}, 0, 'U', IDS_HIST_MERGE},
        {"split", {3}, 0, 'S', IDS_HIST_SPLIT},
        {"play mode", {1}, 0, 'P', IDS_HIST_IO_MODE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Body().SetTimeLinePos(c.dwTimeLine);
        // The clipboards the pastes need: the Logo's materials, the Stay effect of container 1.
        Select({3}, Content(3, 0));
        Key('C');
        Select({1}, Content(1, 0));
        Key('F');
        Select(c.containers, c.containers.empty() ? nullptr : Content(c.containers.back(), 0));
        if (c.nKey == VK_DELETE)
            headless->QueueMessageBoxAnswer(IDYES);
        if (c.nKey == 'P')
            AnswerEffectEditor("Wipe");
        const std::vector<BYTE> before = Bytes();
        const int nSteps = Steps();
        Key(c.nKey);
        ASSERT_EQ(Steps(), nSteps + 1);
        EXPECT_EQ(LastStepText(), Text(c.nText));
        // The time line is no part of a step: a paste leaves it behind what it pasted.
        const std::vector<BYTE> after = Bytes();
        const DWORD dwAfterLine = Body().GetTimeLinePos();
        Key('Z', {VK_CONTROL});
        Body().SetTimeLinePos(c.dwTimeLine);
        EXPECT_EQ(Bytes(), before);
        ExpectConsistent(std::string(c.what) + " undone");
        Key('Y', {VK_SHIFT});
        Body().SetTimeLinePos(dwAfterLine);
        EXPECT_EQ(Bytes(), after);
        ExpectConsistent(std::string(c.what) + " redone");
        Key('Z');
    }
    // Copying makes no step; A selects everything.
    EXPECT_EQ(MaterialsOnClipboard(), 2);
    EXPECT_EQ(scene->GetSBEditObj()->GetFXClipboardStay().GetCount(), 1);
    Key('A');
    EXPECT_EQ(SelectedContainers().size(), 9u);
}

TEST_F(KeyTest, DeleteAsksFirstAndRefusesMaterialsOfLockedTracks) {
    // Nothing selected: no question.
    Key(VK_DELETE);
    EXPECT_EQ(BoxesShown(), 0u);
    Select({0}, Content(0, 0));
    headless->QueueMessageBoxAnswer(IDNO);
    Key(VK_DELETE);
    ASSERT_EQ(BoxesShown(), 1u);
    EXPECT_EQ(headless->MessageBoxes()[0].type, UINT{MB_YESNO | MB_ICONQUESTION});
    EXPECT_EQ(Steps(), 0);

    Select({0, 4}, Content(4, 0));
    const std::vector<BYTE> before = Bytes();
    Key(VK_DELETE);
    ASSERT_EQ(BoxesShown(), 2u);
    EXPECT_EQ(headless->MessageBoxes()[1].text.str(), Text(IDS_LOCKED_NO_DELETE));
    EXPECT_EQ(headless->MessageBoxes()[1].type, UINT{MB_OK});
    EXPECT_EQ(Bytes(), before);
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

TEST_F(KeyTest, SpacePlaysMCompilesAndEscapeClearsTheLiveOutput) {
    Key(VK_SPACE);
    EXPECT_FALSE(scene->GetLastPlay().empty());
    EXPECT_EQ(PanelSwitches(), (std::vector<WPARAM>{0, 1}));
    ClearReceived();
    Key('M');
    EXPECT_EQ(PanelSwitches(), (std::vector<WPARAM>{0, 1}));

    const int nClears = CKelDrvGFB::GetClearCount();
    const long long nFields = CKelDrvSys::GetFieldCount();
    Key(VK_ESCAPE);
    EXPECT_EQ(CKelDrvGFB::GetClearCount(), nClears + 1);
    EXPECT_EQ(CKelDrvSys::GetFieldCount(), nFields + 1);
    EXPECT_EQ(CKelDrvGFB::GetLastUpdateFlag(), -1);

    // Escape in the middle of a scrub takes the scrub back and leaves the output alone.
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
}

} // namespace
} // namespace kel::test
