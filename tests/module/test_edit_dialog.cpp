// The edit dialog: undo and redo, closing and showing with the navigator setting, activation
// and the scene the host hands it.
#include "editor_fixture.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_edit.h"
#include "platform/profile.h"
#include "res/resource.h"

#include <climits>

namespace kel::test {
namespace {

CString ReadNavShow() {
    char value[16] = {};
    GetPrivateProfileString("SBNAV_INFO", "SBNavShow", "", value, sizeof value,
                            KelClientProfilePath(false).GetString());
    return CString(value);
}

using EditDialogTest = EditorTest;

TEST_F(EditDialogTest, UndoAndRedoWithNothingToDoSendNothing) {
    dlg->RunButton(IDC_BTN_UNDO);
    dlg->RunButton(IDC_BTN_REDO);
    EXPECT_TRUE(history.received.empty());
    EXPECT_TRUE(navigator.received.empty());

    // Every step already redone: redo still sends nothing.
    int undos = 0;
    CKelURBase* hist = scene->GetSBEditObj()->GetCurSBBodyObj()->GetURBase();
    hist->AddCommand(new CountingCmd(&undos, 1));
    dlg->RunButton(IDC_BTN_REDO);
    EXPECT_TRUE(history.received.empty());
}

TEST_F(EditDialogTest, UndoTellsThePanelsAndAFailedStepClearsTheHistory) {
    int undos = 0;
    CKelURBase* hist = scene->GetSBEditObj()->GetCurSBBodyObj()->GetURBase();
    hist->AddCommand(new CountingCmd(&undos, 1));
    hist->AddCommand(new CountingCmd(&undos, 1));
    dlg->RunButton(IDC_BTN_UNDO);
    EXPECT_EQ(undos, 1);
    EXPECT_EQ(hist->GetUndoStepCount(), 1);
    ASSERT_EQ(history.Named(WM_CG_UPDATE_HISTORY).size(), 1u);
    EXPECT_EQ(history.received[0].wParam, 1u);
    EXPECT_EQ(history.received[0].lParam, reinterpret_cast<LPARAM>(hist));
    ASSERT_EQ(navigator.Named(WM_CG_SBNAV_SBSELCONTENT_CHANGED).size(), 1u);
    EXPECT_EQ(navigator.received[0].wParam, 5u);

    dlg->RunButton(IDC_BTN_REDO);
    EXPECT_EQ(hist->GetUndoStepCount(), 2);
    EXPECT_EQ(history.received.back().wParam, 2u);

    hist->AddCommand(new CountingCmd(&undos, 0));
    dlg->SendMessage(WM_CG_UR_FROM_HISTORY, 1, 1);
    EXPECT_EQ(hist->GetStepCount(), 0);
}

TEST_F(EditDialogTest, EnterAndEscapeKeepTheDialogOpen) {
    dlg->GetButton(IDC_BTN_PLAY)->SetFocus();
    kel::platform::DeliverKey(WM_KEYDOWN, VK_RETURN);
    kel::platform::DeliverKey(WM_KEYDOWN, VK_ESCAPE);
    dlg->SendMessage(WM_COMMAND, IDOK, 0);
    dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(dlg->IsWindowVisible());
    EXPECT_TRUE(IsWindow(dlg));
}

// The button strip and the view share the dialog's client area: no button may cover the view's
// top strip (selector, zoom controls, scroll bar), and the buttons must not overlap each other.
TEST_F(EditDialogTest, ButtonStripEndsAboveTheView) {
    CRect viewRect;
    view->GetWindowRect(&viewRect);
    std::vector<CRect> placed;
    for (UINT id : {IDC_BTN_NORMAL, IDC_BTN_UNDO, IDC_BTN_CUT, IDC_BTN_IO_MODE, IDC_BTN_UPLOAD,
                    IDC_BTN_PLAY, IDC_BTN_GENERATE}) {
        CRect button;
        dlg->GetButton(id)->GetWindowRect(&button);
        EXPECT_LE(button.bottom, viewRect.top) << "button " << id;
        EXPECT_EQ(button.Size(), CSize(18, 18)) << "button " << id;
        for (const CRect& other : placed)
            EXPECT_TRUE((button & other).IsRectEmpty()) << "button " << id;
        placed.push_back(button);
    }
}

TEST_F(EditDialogTest, ClosingRemembersWhetherTheNavigatorWasShown) {
    navigator.ShowWindow(SW_HIDE);
    dlg->SendMessage(WM_CLOSE);
    EXPECT_FALSE(dlg->IsWindowVisible());
    EXPECT_TRUE(IsWindow(dlg));
    EXPECT_EQ(ReadNavShow(), CString("0"));
    EXPECT_EQ(parent.Named(WM_CG_SWITCH_ITEMEDITUR_HISTORY).size(), 1u);

    dlg->ShowWindow(SW_SHOW);
    EXPECT_FALSE(navigator.IsWindowVisible());

    // A double click on the caption closes the same way, with the navigator shown.
    navigator.ShowWindow(SW_SHOW);
    dlg->SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    EXPECT_FALSE(dlg->IsWindowVisible());
    EXPECT_EQ(ReadNavShow(), CString("1"));
    EXPECT_FALSE(navigator.IsWindowVisible()); // hiding the dialog hides the navigator
    dlg->ShowWindow(SW_SHOW);
    EXPECT_TRUE(navigator.IsWindowVisible());
}

// What a deactivation tells the history panel is the runner script host_messages.kss's; losing
// the activation to the navigator, or while a message box or a host call holds the history
// sync, tells it nothing.
TEST_F(EditDialogTest, DeactivationInFavourOfThePanelsLeavesTheHistoryPanelAlone) {
    dlg->SendMessage(WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(&navigator));
    EXPECT_TRUE(history.received.empty());
    dlg->SendMessage(WM_CG_SB_REFRESH_WINDOW);
    history.received.clear();
    view->SetHistorySync(0);
    dlg->SendMessage(WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(&mainWnd));
    EXPECT_TRUE(history.received.empty());
}

TEST_F(EditDialogTest, RefreshTakesTheItemEditWindowsSceneAndItsRectangle) {
    auto other = KelCreateSampleScene();
    other->SetName("Other");
    other->SetSBEditWndRect(CRect(40, 50, 840, 450));
    const CRect firstBefore = scene->GetSBEditWndRect();
    itemEdit.answer = reinterpret_cast<LRESULT>(other.get());

    dlg->SendMessage(WM_CG_SB_REFRESH_WINDOW);
    EXPECT_EQ(dlg->IsSceneFetched(), 1);
    EXPECT_EQ(view->GetCurScene(), other.get());
    CRect rect;
    dlg->GetWindowRect(&rect);
    EXPECT_EQ(rect, CRect(40, 50, 840, 450));
    // Moving to the new scene's place is not written into the scene the view showed before.
    EXPECT_EQ(scene->GetSBEditWndRect(), firstBefore);
    KelSBSetCurScene(nullptr);
}

TEST_F(EditDialogTest, ASceneWithoutAUsableRectangleKeepsTheDialogsPlace) {
    // A new scene stores none; a damaged file one whose size does not even fit an int.
    for (const CRect& stored : {CRect(), CRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX),
                                CRect(0, 0, 2000000000, 2000000000)}) {
        CKelPlaySceneObj fresh;
        fresh.SetSBEditWndRect(stored);
        CRect before;
        dlg->GetWindowRect(&before);
        itemEdit.answer = reinterpret_cast<LRESULT>(&fresh);
        dlg->SendMessage(WM_CG_SB_REFRESH_WINDOW);
        CRect after;
        dlg->GetWindowRect(&after);
        EXPECT_EQ(after, before);
        EXPECT_FALSE(after.IsRectEmpty());
        KelSBSetCurScene(nullptr);
    }
}

TEST_F(EditDialogTest, ChangeListNeedsTwoStoryboards) {
    CKelPlaySceneObj single;
    KelSBSetCurScene(&single);
    CKelSBBodyObj* body = single.GetSBEditObj()->GetCurSBBodyObj();
    view->Selection().GetSelTrackList().AddTail(body->GetTrackObj(0));
    dlg->SendMessage(WM_CG_SB_CHANGE_LIST);
    EXPECT_EQ(view->Selection().GetSelTrackList().GetCount(), 1);

    single.GetSBEditObj()->AppendSBBody();
    dlg->SendMessage(WM_CG_SB_CHANGE_LIST);
    EXPECT_TRUE(view->Selection().GetSelTrackList().IsEmpty());
    KelSBSetCurScene(nullptr);
}

} // namespace
} // namespace kel::test
