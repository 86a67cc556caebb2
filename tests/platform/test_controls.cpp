// The standard controls: their state rules and what they tell their parent.
#include "platform/controls.h"
#include "platform/gdi_test_backend.h"
#include "platform/wnd.h"

#include <climits>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using kel::test::ScopedGdiBackend;

namespace {

struct Notice {
    UINT message;
    int code;
    int id;
    int trackPos; // scroll notices: the bar's tracking position while handled
};

// A parent that records the notifications of its children.
class Parent : public CWnd {
public:
    std::vector<Notice> notices;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND) {
            notices.push_back({message, HIWORD(wParam), LOWORD(wParam), 0});
            return 0;
        }
        if (message == WM_HSCROLL || message == WM_VSCROLL) {
            auto* bar = reinterpret_cast<CScrollBar*>(lParam);
            SCROLLINFO si;
            bar->GetScrollInfo(&si, SIF_TRACKPOS);
            notices.push_back({message, LOWORD(wParam), bar->GetDlgCtrlID(), si.nTrackPos});
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP | WS_VISIBLE,
                                    CRect(0, 0, 400, 300), nullptr, 0));
    }
    void TearDown() override { parent.DestroyWindow(); }

    ScopedGdiBackend backend;
    Parent parent;
};

TEST_F(ControlTest, ScrollInfoClampsLikeTheDesktop) {
    CScrollBar bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | SBS_HORZ, CRect(0, 0, 100, 16), &parent, 100));
    SCROLLINFO si;
    si.cbSize = 28;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = 100;
    si.nPage = 20;
    si.nPos = 95;
    EXPECT_EQ(bar.SetScrollInfo(&si), 81); // max - (page - 1)

    // Shrinking the range pulls the position along; a page larger than the range is cut.
    si.fMask = SIF_RANGE | SIF_PAGE;
    si.nMax = 10;
    si.nPage = 50;
    bar.SetScrollInfo(&si);
    SCROLLINFO out;
    out.nPage = 777;
    out.nMin = -5;
    ASSERT_TRUE(bar.GetScrollInfo(&out, SIF_POS));
    EXPECT_EQ(out.nPos, 0);
    EXPECT_EQ(out.nPage, 777u); // fields outside the mask are left alone
    EXPECT_EQ(out.nMin, -5);
    bar.GetScrollInfo(&out, SIF_ALL);
    EXPECT_EQ(out.nPage, 11u);

    // An inverted range is no range; a page of 0 lets the position reach the maximum.
    bar.SetScrollRange(50, 10);
    int lo = -1, hi = -1;
    bar.GetScrollRange(&lo, &hi);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 0);
    si.fMask = SIF_ALL;
    si.nMin = 0;
    si.nMax = 30;
    si.nPage = 0;
    si.nPos = 30;
    EXPECT_EQ(bar.SetScrollInfo(&si), 30);
    EXPECT_EQ(bar.SetScrollPos(-4), 30); // returns the previous position
    EXPECT_EQ(bar.GetScrollPos(), 0);

    // Unknown structure sizes and empty masks are refused.
    si.cbSize = 12;
    si.nPos = 7;
    EXPECT_EQ(bar.SetScrollInfo(&si), 0);
    EXPECT_EQ(bar.GetScrollPos(), 0);
    EXPECT_FALSE(bar.GetScrollInfo(&out, 0));

    // The same rules through the messages.
    EXPECT_EQ(bar.SendMessage(SBM_SETPOS, 99, TRUE), 0);
    EXPECT_EQ(bar.SendMessage(SBM_GETPOS), 30);

    // The widest range there is: its size, 2^31, is counted without overflow.
    si.cbSize = sizeof(SCROLLINFO);
    si.fMask = SIF_ALL;
    si.nMin = 0;
    si.nMax = INT_MAX;
    si.nPage = 0xFFFFFFFFu;
    si.nPos = INT_MAX;
    EXPECT_EQ(bar.SetScrollInfo(&si), 0);
    bar.GetScrollInfo(&out, SIF_PAGE);
    EXPECT_EQ(out.nPage, 0x80000000u);
    si.nPage = 1;
    EXPECT_EQ(bar.SetScrollInfo(&si), INT_MAX);
}

TEST_F(ControlTest, ThumbDragReportsTheTrackingPosition) {
    CScrollBar bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | SBS_VERT, CRect(0, 0, 16, 100), &parent, 101));
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE;
    si.nMax = 100;
    si.nPage = 20;
    bar.SetScrollInfo(&si);

    bar.UserScroll(SB_THUMBTRACK, 40);
    bar.UserScroll(SB_THUMBPOSITION, 500); // beyond the end: clamped to the limit
    bar.UserScroll(SB_LINEDOWN);
    ASSERT_EQ(parent.notices.size(), 3u);
    EXPECT_EQ(parent.notices[0].message, WM_VSCROLL);
    EXPECT_EQ(parent.notices[0].code, static_cast<int>(SB_THUMBTRACK));
    EXPECT_EQ(parent.notices[0].trackPos, 40);
    EXPECT_EQ(parent.notices[1].trackPos, 81);
    // The drag is over: the tracking position is the position again.
    EXPECT_EQ(parent.notices[2].trackPos, 0);
    EXPECT_EQ(parent.notices[2].id, 101);
    // The bar does not move itself.
    EXPECT_EQ(bar.GetScrollPos(), 0);

    bar.EnableWindow(FALSE);
    bar.UserScroll(SB_LINEDOWN);
    EXPECT_EQ(parent.notices.size(), 3u);
}

TEST_F(ControlTest, ComboSelectionFollowsEditsAndNotifiesOnUserChoice) {
    CComboBox box;
    ASSERT_TRUE(box.Create(WS_CHILD | CBS_DROPDOWNLIST, CRect(0, 0, 100, 200), &parent, 106));
    box.SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Storyboard-1"));
    box.SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Intro"));
    box.AddString("Storyboard-3");
    EXPECT_EQ(box.SendMessage(CB_SETCURSEL, 2), 2);
    EXPECT_EQ(box.GetWindowText(), CString("Storyboard-3"));

    // Edits above the selection keep the same entry selected.
    box.InsertString(0, "First");
    EXPECT_EQ(box.GetCurSel(), 3);
    box.DeleteString(1);
    EXPECT_EQ(box.GetCurSel(), 2);
    EXPECT_EQ(box.GetLBText(box.GetCurSel()), CString("Storyboard-3"));
    box.DeleteString(2);
    EXPECT_EQ(box.GetCurSel(), -1);
    EXPECT_EQ(box.SendMessage(CB_SETCURSEL, static_cast<WPARAM>(-1)), CB_ERR);
    EXPECT_EQ(box.SetCurSel(7), CB_ERR);
    EXPECT_EQ(box.GetCurSel(), -1);

    CString text;
    EXPECT_EQ(box.SendMessage(CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(&text)), 5);
    EXPECT_EQ(text, CString("Intro"));
    EXPECT_EQ(box.SendMessage(CB_GETLBTEXT, 9, reinterpret_cast<LPARAM>(&text)), CB_ERR);
    EXPECT_EQ(box.SetItemData(9, 1), CB_ERR);
    EXPECT_EQ(box.GetItemData(9), static_cast<DWORD_PTR>(CB_ERR));

    // Programmatic selection is silent; the user's choice notifies the parent.
    EXPECT_TRUE(parent.notices.empty());
    EXPECT_TRUE(box.UserSelect(1));
    ASSERT_EQ(parent.notices.size(), 1u);
    EXPECT_EQ(parent.notices[0].code, CBN_SELCHANGE);
    EXPECT_EQ(parent.notices[0].id, 106);
    EXPECT_EQ(box.GetCurSel(), 1);
    EXPECT_FALSE(box.UserSelect(5));
    box.EnableWindow(FALSE);
    EXPECT_FALSE(box.UserSelect(0));
    EXPECT_EQ(parent.notices.size(), 1u);

    box.SendMessage(CB_RESETCONTENT);
    EXPECT_EQ(box.GetCount(), 0);
    EXPECT_EQ(box.GetCurSel(), -1);
}

// An owner-drawn list that measures 20 pixels and logs what it draws.
class OwnerList : public CListBox {
public:
    std::vector<UINT> drawnSelected;
    std::vector<UINT> drawn;
    std::vector<int> bkModeOnEntry;
    void DrawItem(LPDRAWITEMSTRUCT dis) override {
        drawn.push_back(dis->itemID);
        bkModeOnEntry.push_back(CDC::FromHandle(dis->hDC)->GetBkMode());
        if (dis->itemState & ODS_SELECTED)
            drawnSelected.push_back(dis->itemID);
        CDC* dc = CDC::FromHandle(dis->hDC);
        dc->SetBkMode(TRANSPARENT); // must not leak into the next item
        dc->FillSolidRect(dis->rcItem, RGB(96, 109, 137));
    }
    void MeasureItem(LPMEASUREITEMSTRUCT mis) override { mis->itemHeight = 20; }
};

TEST_F(ControlTest, OwnerDrawnListMeasuresDrawsAndNotifies) {
    OwnerList list;
    ASSERT_TRUE(
        list.Create(WS_CHILD | WS_VISIBLE | LBS_NOTIFY | LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS,
                    CRect(0, 0, 120, 50), &parent, 1090));
    int dummy = 0;
    for (const char* name : {"A", "B", "C", "D"}) {
        int i = list.AddString(name);
        list.SetItemDataPtr(i, &dummy);
    }
    EXPECT_EQ(list.GetItemDataPtr(3), &dummy);
    CRect item;
    ASSERT_EQ(list.GetItemRect(2, &item), LB_OKAY);
    EXPECT_EQ(item, CRect(0, 40, 120, 60));

    BOOL outside = TRUE;
    EXPECT_EQ(list.ItemFromPoint(CPoint(10, 25), outside), 1u);
    EXPECT_FALSE(outside);
    EXPECT_EQ(list.ItemFromPoint(CPoint(10, 500), outside), 3u);
    EXPECT_TRUE(outside);

    // A click selects and notifies; a selection by the program does not.
    list.SetCurSel(0);
    EXPECT_TRUE(parent.notices.empty());
    list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 25));
    EXPECT_EQ(list.GetCurSel(), 1);
    ASSERT_EQ(parent.notices.size(), 1u);
    EXPECT_EQ(parent.notices[0].code, LBN_SELCHANGE);
    EXPECT_EQ(parent.notices[0].id, 1090);

    // Painting draws the visible items only (50 pixels: three of them), the selected one so.
    list.Invalidate();
    list.UpdateWindow();
    EXPECT_EQ(list.drawn, (std::vector<UINT>{0, 1, 2}));
    EXPECT_EQ(list.drawnSelected, std::vector<UINT>{1});
    EXPECT_EQ(list.bkModeOnEntry, (std::vector<int>{OPAQUE, OPAQUE, OPAQUE}));
    EXPECT_EQ(backend->paints.size(), 3u);

    // Without LBS_NOTIFY the parent hears nothing.
    list.ModifyStyle(LBS_NOTIFY, 0);
    EXPECT_TRUE(list.UserSelect(2));
    EXPECT_EQ(parent.notices.size(), 1u);
}

TEST_F(ControlTest, PushLikeRadioButtonsFormGroups) {
    const DWORD radio = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON | BS_PUSHLIKE;
    CButton normal, deleteSpace, pastePoint, other;
    ASSERT_TRUE(normal.Create("Normal", radio | WS_GROUP, CRect(0, 0, 20, 20), &parent, 1060));
    ASSERT_TRUE(deleteSpace.Create("Del", radio, CRect(20, 0, 40, 20), &parent, 1061));
    ASSERT_TRUE(pastePoint.Create("Fix", radio, CRect(40, 0, 60, 20), &parent, 1062));
    ASSERT_TRUE(other.Create("Other", radio | WS_GROUP, CRect(60, 0, 80, 20), &parent, 1070));
    normal.SetCheck(BST_CHECKED);
    other.SetCheck(BST_CHECKED);

    EXPECT_TRUE(deleteSpace.UserClick());
    EXPECT_EQ(normal.GetCheck(), BST_UNCHECKED);
    EXPECT_EQ(deleteSpace.GetCheck(), BST_CHECKED);
    EXPECT_EQ(other.GetCheck(), BST_CHECKED); // another group
    ASSERT_EQ(parent.notices.size(), 1u);
    EXPECT_EQ(parent.notices[0].code, BN_CLICKED);
    EXPECT_EQ(parent.notices[0].id, 1061);

    // A disabled button does not click, by hand or by message.
    pastePoint.EnableWindow(FALSE);
    EXPECT_FALSE(pastePoint.UserClick());
    pastePoint.SendMessage(BM_CLICK);
    EXPECT_EQ(pastePoint.GetCheck(), BST_UNCHECKED);
    EXPECT_EQ(deleteSpace.GetCheck(), BST_CHECKED);
    EXPECT_EQ(parent.notices.size(), 1u);

    // A push button has no check to keep; releasing off the button cancels the click.
    CButton push;
    ASSERT_TRUE(push.Create("OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(0, 30, 40, 50),
                            &parent, IDOK));
    push.SetCheck(BST_CHECKED);
    EXPECT_EQ(push.GetCheck(), BST_UNCHECKED);
    push.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(push.GetState() & BST_PUSHED, static_cast<UINT>(BST_PUSHED));
    push.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(100, 100));
    EXPECT_EQ(parent.notices.size(), 1u);
    push.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    push.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_EQ(parent.notices.size(), 2u);
    EXPECT_EQ(parent.notices[1].id, IDOK);
}

TEST_F(ControlTest, TooltipShowsTheToolUnderTheMouse) {
    CToolTipCtrl tips;
    ASSERT_TRUE(tips.Create(&parent));
    const CRect play(0, 0, 16, 16);
    const CRect lock(16, 0, 32, 16);
    tips.AddTool(&parent, "Allow Playing", &play, 1);
    tips.AddTool(&parent, "Lock", &lock, 2);
    tips.AddTool(&parent, "Unlock", &lock, 2); // the same tool again replaces it
    EXPECT_EQ(tips.GetToolCount(), 2);

    auto move = [&](int x, int y) {
        MSG msg;
        msg.hwnd = &parent;
        msg.message = WM_MOUSEMOVE;
        msg.lParam = MAKELPARAM(x, y);
        tips.SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    };
    move(5, 5);
    EXPECT_EQ(tips.GetShownText(), CString("Allow Playing"));
    move(6, 6); // the same tool: no new tip
    move(20, 5);
    EXPECT_EQ(tips.GetShownText(), CString("Unlock"));
    ASSERT_EQ(backend->tips.size(), 2u);

    tips.UpdateTipText("Lock", &parent, 2);
    EXPECT_EQ(backend->tips.back(), CString("Lock"));

    tips.SendMessage(TTM_ACTIVATE, FALSE);
    EXPECT_FALSE(tips.IsActive());
    EXPECT_TRUE(tips.GetShownText().IsEmpty());
    EXPECT_TRUE(backend->tips.back().IsEmpty());
    move(5, 5);
    EXPECT_TRUE(tips.GetShownText().IsEmpty());

    tips.Activate(TRUE);
    move(100, 100); // over no tool
    EXPECT_TRUE(tips.GetShownText().IsEmpty());
    tips.DelTool(&parent, 1);
    move(5, 5);
    EXPECT_TRUE(tips.GetShownText().IsEmpty());
    EXPECT_EQ(tips.FindTool(&parent, 1), nullptr);
}

} // namespace
