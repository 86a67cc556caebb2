#include "host_test_module.h"

#include "host/gui/aqua_dialog.h"
#include "host/gui/bmp_buttons.h"
#include "host/gui/combo_popup_menu.h"
#include "host/gui/skinned_controls.h"
#include "platform/headless_backend.h"

#include <gtest/gtest.h>

using namespace hosttest;

namespace {

LPARAM At(int x, int y) {
    return MAKELPARAM(x, y);
}

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override { headless = &kel::platform::ResetHeadless(); }
    void TearDown() override { headless->ClearQueues(); }

    // Repaints `wnd` and returns the operations of that paint called `name`.
    kel::platform::DrawLog Paint(CWnd& wnd, const char* name) {
        wnd.Invalidate(FALSE);
        wnd.UpdateWindow();
        kel::platform::DrawLog found;
        for (const auto& op : headless->LastPaint(wnd))
            if (op.Is(name))
                found.push_back(op);
        return found;
    }
    // The strip frame (0 normal, 1 hot, 2 pressed, 3 disabled) the button paints now.
    int FrameDrawn(CWnd& button) {
        const auto blits = Paint(button, "BitBlt");
        return blits.size() == 1 ? blits[0].srcRect.left / 16 : -1;
    }

    kel::platform::HeadlessBackend* headless = nullptr;
    ScopedModule module;
};

TEST_F(GuiTest, ReliefButtonPaintsTheStripFrameOfItsState) {
    CKelAquaBaseDlg dialog;
    ASSERT_TRUE(dialog.DlgCreate(module.Handle(), kDlgMain, nullptr));
    CKelBmpReliefBtn button;
    ASSERT_TRUE(button.SubclassDlgItem(kDlgButton, &dialog, module.Handle(), 0, 2, kBmpStrip,
                                       CKelBmpReliefBtn::kNoTransparentColour));
    EXPECT_EQ(dialog.GetDlgItem(kDlgButton), &button);

    EXPECT_EQ(FrameDrawn(button), 0);
    button.SendMessage(WM_MOUSEMOVE, 0, At(5, 5));
    EXPECT_EQ(FrameDrawn(button), 1);
    button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    EXPECT_EQ(FrameDrawn(button), 2);
    // Released on it: the push-like radio button is now checked and stays drawn pressed.
    button.SendMessage(WM_LBUTTONUP, 0, At(5, 5));
    ASSERT_EQ(button.GetCheck(), BST_CHECKED);
    EXPECT_EQ(FrameDrawn(button), 2);
    button.SetCheck(BST_UNCHECKED);
    button.SendMessage(WM_MOUSELEAVE);
    EXPECT_EQ(FrameDrawn(button), 0);
    button.EnableWindow(FALSE);
    EXPECT_EQ(FrameDrawn(button), 3);
}

TEST_F(GuiTest, ButtonsRefuseUnknownBitmapsAndSingleFramesServeEveryState) {
    CKelAquaBaseDlg dialog;
    ASSERT_TRUE(dialog.DlgCreate(module.Handle(), kDlgMain, nullptr));
    CKelBmpReliefBtn missing;
    EXPECT_FALSE(missing.SubclassDlgItem(kDlgButton, &dialog, module.Handle(), 0, 2, 9999,
                                         CKelBmpReliefBtn::kNoTransparentColour));
    EXPECT_EQ(missing.GetSafeHwnd(), nullptr);
    EXPECT_NE(dialog.GetDlgItem(kDlgButton), nullptr); // the template button still works
    EXPECT_FALSE(missing.SubclassDlgItem(4242, &dialog, module.Handle(), 0, 2, kBmpStrip, 0));

    CKelBmpToolNormalBtn tool;
    ASSERT_TRUE(tool.Create(module.Handle(), kBmpSingle, CRect(30, 0, 50, 20), &dialog, 107));
    tool.SendMessage(WM_MOUSEMOVE, 0, At(3, 3));
    EXPECT_TRUE(tool.IsHot());
    EXPECT_EQ(FrameDrawn(tool), 0);
    CKelBmpToolNormalBtn unknown;
    EXPECT_FALSE(unknown.Create(module.Handle(), 9999, CRect(0, 0, 20, 20), &dialog, 108));
}

TEST_F(GuiTest, PopupMenuButtonSendsTheChosenCommandAndRefusesGrayedItems) {
    RecorderWnd owner;
    ASSERT_TRUE(owner.CreateTop());
    CKelComboPopupMenu zoom;
    ASSERT_TRUE(zoom.Create(module.Handle(), kMenuZoom, CRect(0, 0, 120, 20), &owner, 0));
    EXPECT_EQ(zoom.GetMenuItemCount(), 4);

    headless->QueuePopupMenuAnswer(kCmdFirst + 2);
    zoom.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    auto commands = owner.Of(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(LOWORD(commands[0].wParam), kCmdFirst + 2);
    EXPECT_EQ(commands[0].lParam, 0);
    EXPECT_EQ(zoom.GetCurMenuItem(), 2);
    EXPECT_EQ(zoom.GetShownText(), "Step 2");
    ASSERT_EQ(headless->PopupMenus().size(), 1u);

    zoom.GetPopupMenu()->EnableMenuItem(kCmdFirst + 1, MF_BYCOMMAND | MF_GRAYED);
    headless->QueuePopupMenuAnswer(kCmdFirst + 1);
    zoom.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    headless->QueuePopupMenuAnswer(0); // dismissed
    zoom.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    EXPECT_EQ(owner.Of(WM_COMMAND).size(), 1u);
    EXPECT_EQ(zoom.GetCurMenuItem(), 2);

    // A free text hides the item but keeps it as the place the next step starts from.
    zoom.SetText("1 Minutes");
    EXPECT_TRUE(zoom.IsShowingFreeText());
    EXPECT_EQ(zoom.GetShownText(), "1 Minutes");
    EXPECT_EQ(zoom.GetCurMenuItem(), 2);
    EXPECT_FALSE(zoom.SetCurMenuItem(4));
    EXPECT_FALSE(zoom.SetCurMenuItem(-1));
    ASSERT_TRUE(zoom.SetCurMenuItem(0));
    EXPECT_FALSE(zoom.IsShowingFreeText());
    EXPECT_EQ(zoom.GetShownText(), "Step 0");
    EXPECT_NE(zoom.GetPopupMenu()->GetMenuState(0, MF_BYPOSITION) & MF_CHECKED, 0u);
    EXPECT_EQ(zoom.GetPopupMenu()->GetMenuState(2, MF_BYPOSITION) & MF_CHECKED, 0u);

    CKelComboPopupMenu unknown;
    EXPECT_FALSE(unknown.Create(module.Handle(), 9999, CRect(0, 0, 10, 10), &owner, 0));
}

TEST_F(GuiTest, ScrollBarTurnsPressesIntoScrollCodesForItsParent) {
    RecorderWnd parent;
    ASSERT_TRUE(parent.CreateTop());
    CKelAquaScrollBar bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE | SBS_HORZ, CRect(0, 0, 217, 17), &parent, 100));
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMin = 0;
    info.nMax = 999;
    info.nPage = 100;
    bar.SetScrollInfo(&info);

    const auto codes = [&] {
        std::vector<UINT> out;
        for (const Received& r : parent.Of(WM_HSCROLL))
            out.push_back(LOWORD(r.wParam));
        parent.received.clear();
        return out;
    };
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(5, 8));
    bar.SendMessage(WM_LBUTTONUP, 0, At(5, 8));
    EXPECT_EQ(codes(), (std::vector<UINT>{SB_LINELEFT, SB_ENDSCROLL}));
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(210, 8));
    bar.SendMessage(WM_LBUTTONUP, 0, At(210, 8));
    EXPECT_EQ(codes(), (std::vector<UINT>{SB_LINERIGHT, SB_ENDSCROLL}));
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(150, 8));
    bar.SendMessage(WM_LBUTTONUP, 0, At(150, 8));
    EXPECT_EQ(codes(), (std::vector<UINT>{SB_PAGERIGHT, SB_ENDSCROLL}));

    // Dragging the thumb: the parent reads the tracking position while it handles the codes.
    const CRect thumb = bar.GetThumbRect();
    ASSERT_FALSE(thumb.IsRectEmpty());
    const int grab = thumb.left + 2;
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(grab, 8));
    bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(grab + 50, 8));
    bar.SendMessage(WM_LBUTTONUP, 0, At(grab + 50, 8));
    const auto seen = parent.Of(WM_HSCROLL);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(LOWORD(seen[0].wParam), SB_THUMBTRACK);
    EXPECT_EQ(LOWORD(seen[1].wParam), SB_THUMBPOSITION);
    EXPECT_EQ(LOWORD(seen[2].wParam), SB_ENDSCROLL);
    const int dragged = HIWORD(seen[0].wParam);
    EXPECT_GT(dragged, 0);
    EXPECT_EQ(seen[0].trackPos, dragged);
    EXPECT_EQ(seen[1].trackPos, dragged);
    EXPECT_EQ(HIWORD(seen[1].wParam), dragged);
    // The bar does not move itself: its parent sets the position.
    EXPECT_EQ(bar.GetPos(), 0);
    EXPECT_EQ(bar.GetPos(static_cast<int>(SB_THUMBTRACK)), 0);
    parent.received.clear();

    bar.EnableWindow(FALSE);
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(5, 8));
    EXPECT_TRUE(parent.received.empty());

    CKelAquaScrollBar vertical;
    ASSERT_TRUE(
        vertical.Create(WS_CHILD | WS_VISIBLE | SBS_VERT, CRect(300, 0, 317, 200), &parent, 101));
    vertical.SetRange(0, 50);
    vertical.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(8, 195));
    vertical.SendMessage(WM_LBUTTONUP, 0, At(8, 195));
    ASSERT_EQ(parent.Of(WM_VSCROLL).size(), 2u);
    EXPECT_EQ(LOWORD(parent.Of(WM_VSCROLL)[0].wParam), SB_LINEDOWN);
    EXPECT_TRUE(parent.Of(WM_HSCROLL).empty());
}

TEST_F(GuiTest, AFullRangeScrollBarReachesItsMaximumWhateverItsPage) {
    RecorderWnd parent;
    ASSERT_TRUE(parent.CreateTop());
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMin = 0;
    info.nMax = 39;
    info.nPage = 10;
    const auto lastPosition = [&](bool fullRange) {
        CKelAquaScrollBar bar;
        bar.SetFullRange(fullRange);
        EXPECT_TRUE(
            bar.Create(WS_CHILD | WS_VISIBLE | SBS_HORZ, CRect(0, 0, 117, 17), &parent, 102));
        bar.SetScrollInfo(&info);
        // Dragging the thumb to the far end tracks the same last position as setting it.
        const CRect thumb = bar.GetThumbRect();
        bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(thumb.left + 1, 8));
        bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(116, 8));
        const auto tracked = parent.Of(WM_HSCROLL);
        bar.SendMessage(WM_LBUTTONUP, 0, At(116, 8));
        parent.received.clear();
        bar.SetPos(1000);
        EXPECT_FALSE(tracked.empty());
        EXPECT_EQ(tracked.empty() ? -1 : tracked.back().trackPos, bar.GetPos());
        return bar.GetPos();
    };
    // A plain bar stops a page short, as Windows does; a full range bar does not.
    EXPECT_EQ(lastPosition(false), 30);
    EXPECT_EQ(lastPosition(true), 39);
}

TEST_F(GuiTest, ComboBoxSelectionsByKeyAndListNotifyTheParent) {
    RecorderWnd parent;
    ASSERT_TRUE(parent.CreateTop());
    CKelAquaComboBox box;
    ASSERT_TRUE(
        box.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(0, 0, 150, 200), &parent, 106));
    for (const char* name : {"Storyboard-1", "Storyboard-2", "Storyboard-3"})
        box.AddString(name);
    box.SetCurSel(0);

    const auto selChanges = [&] {
        int n = 0;
        for (const Received& r : parent.Of(WM_COMMAND))
            if (HIWORD(r.wParam) == CBN_SELCHANGE && LOWORD(r.wParam) == 106)
                ++n;
        return n;
    };
    box.SendMessage(WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(box.GetCurSel(), 1);
    EXPECT_EQ(selChanges(), 1);

    box.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10)); // opens the list
    EXPECT_TRUE(box.GetDroppedState());
    const int row2 = CZtComboBox::kFaceHeight * 3 + 5;
    box.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(10, row2));
    EXPECT_FALSE(box.GetDroppedState());
    EXPECT_EQ(box.GetCurSel(), 2);
    EXPECT_EQ(selChanges(), 2);

    box.SendMessage(WM_KEYDOWN, VK_DOWN); // already at the last entry
    EXPECT_EQ(selChanges(), 2);
}

class ClosingDialog : public CKelAquaBaseDlg {
public:
    using CKelAquaBaseDlg::CKelAquaBaseDlg;
    int closes = 0;

protected:
    void OnClose() override { ++closes; }
};

TEST_F(GuiTest, AquaDialogComesFromTheModuleAndPaintsItsOwnFrame) {
    ClosingDialog dialog;
    int unregistered = 0;
    EXPECT_FALSE(dialog.DlgCreate(&unregistered, kDlgMain, nullptr));
    EXPECT_FALSE(dialog.DlgCreate(module.Handle(), 9999, nullptr));
    ASSERT_TRUE(dialog.DlgCreate(module.Handle(), kDlgMain, nullptr));
    EXPECT_EQ(dialog.GetWindowText(), "Storyboard Edit");
    EXPECT_NE(dialog.GetDlgItem(kDlgButton), nullptr);

    const int paints = dialog.GetFramePaintCount();
    dialog.SetAquaWindowText("--Scene 1   Time Line 00:00:10:00");
    EXPECT_EQ(dialog.GetFramePaintCount(), paints + 1);
    bool captionShown = false;
    for (const auto& op : dialog.GetFrameDrawing())
        captionShown = captionShown || (op.Is("DrawText") && op.text.Find("Scene 1") >= 0);
    EXPECT_TRUE(captionShown);
    dialog.SetAquaNcPaint(0);
    dialog.SetAquaWindowText("plain");
    EXPECT_EQ(dialog.GetFramePaintCount(), paints + 1);
    EXPECT_EQ(dialog.GetWindowText(), "plain");

    // The skinned close box closes the dialog.
    dialog.SetAquaNcPaint(1);
    CRect window;
    dialog.GetWindowRect(&window);
    const CPoint box = dialog.GetCloseBoxRect().CenterPoint();
    ASSERT_FALSE(dialog.GetCloseBoxRect().IsRectEmpty());
    dialog.SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, At(window.left + box.x, window.top + box.y));
    EXPECT_EQ(dialog.closes, 1);
    dialog.SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, At(window.left + 10, window.top + 10));
    EXPECT_EQ(dialog.closes, 1);
}

TEST_F(GuiTest, AquaDialogRunsModallyFromItsTemplate) {
    RecorderWnd owner;
    ASSERT_TRUE(owner.CreateTop());
    CKelAquaBaseDlg modal(kDlgMain, &owner);
    headless->QueueModal([](CWnd& dialog) {
        EXPECT_EQ(dialog.GetWindowText(), "Storyboard Edit");
        EXPECT_NE(dialog.GetDlgItem(kDlgButton), nullptr);
        return IDOK;
    });
    EXPECT_EQ(modal.DlgDoModal(module.Handle()), IDOK);
    EXPECT_EQ(headless->ModalDialogsRun(), 1);
    CKelAquaBaseDlg unknown(9999, &owner);
    EXPECT_EQ(unknown.DlgDoModal(module.Handle()), -1);
    EXPECT_EQ(headless->ModalDialogsRun(), 1);

    CKelAquaAutoMaker skin;
    EXPECT_EQ(skin.AutoMakeDialog(nullptr), 0);
    EXPECT_EQ(skin.AutoMakeDialog(&owner), 1);
}

} // namespace
