// The largest frame the editor supports, where frames enter (the model's setters, the host's
// play position) and where the view turns them into pixels. The sanitizer build aborts on any
// int overflow on the way, so these cases also guard the arithmetic.
#include "view_input_fixture.h"

#include "res/resource.h"

#include <climits>

namespace kel::test {
namespace {

constexpr DWORD kMax = CKelSBContentBaseObj::kMaxFrame;

class ViewLimitTest : public ViewInputTest {};

TEST_F(ViewLimitTest, FramesBeyondTheLargestAreRefusedOrTakenAsTheLargest) {
    EXPECT_EQ(body->SetFramesPerUnit(kMax + 1), 0);
    EXPECT_EQ(body->GetFramesPerUnit(), 25u);
    EXPECT_EQ(body->SetFramesPerUnit(kMax), 1);

    body->SetTimeLinePos(0xFFFFFFFFu);
    EXPECT_EQ(body->GetTimeLinePos(), kMax);
    body->SetRange(0xFFFFFFFFu, 5);
    EXPECT_EQ(body->GetRangeStart(), 5u);
    EXPECT_EQ(body->GetRangeEnd(), kMax);

    CKelSBContentPieceStayObj material;
    EXPECT_EQ(material.Init(0, KelGUID{}, kMax - 10, kMax + 1, nullptr), 0);
    ASSERT_EQ(material.Init(0, KelGUID{}, kMax - 10, kMax, nullptr), 1);
    EXPECT_EQ(material.SetStoryOut(kMax + 1, 0), 0);
    EXPECT_EQ(material.SetStoryOut(kMax + 1, 1), 0);
    EXPECT_EQ(material.SetStoryIn(kMax - 9, 1), 0);
    EXPECT_EQ(material.Move(1), 0);
    EXPECT_EQ(material.GetStoryOut(), kMax);

    // The host's play position arrives in a WPARAM, which holds far more than a frame.
    dlg->SendMessage(WM_UPDATE_PLAY_CURRENT_FRAME, (WPARAM{1} << 32) + 5, 0);
    EXPECT_EQ(body->GetTimeLinePos(), kMax);
}

TEST_F(ViewLimitTest, AStoryboardEndingAtTheLargestFrameScrollsAndZoomsToItsEnd) {
    UseLongStoryboard(kMax, 1);
    body->SetTimeLinePos(kMax);
    body->SetRange(0, kMax);
    view->Scroll().UpdateHRange();
    // One frame a unit is 25 pixels a frame: the end lies 2,073,600,000 pixels out.
    ASSERT_EQ(view->Geometry().FrameToPixel(static_cast<int>(kMax)), 2073600000);
    auto& hbar = dynamic_cast<CScrollBar&>(*view->GetDlgItem(IDC_VIEW_HSCROLL));
    int minimum = 0, maximum = 0;
    hbar.GetScrollRange(&minimum, &maximum);
    EXPECT_EQ(maximum, 2073600000);

    view->Scroll().EnsureVisible(static_cast<int>(kMax));
    const CRect area = view->Geometry().GetTimeAreaRect();
    const int x = view->Geometry().FrameToClientX(static_cast<int>(kMax));
    EXPECT_GE(x, area.left);
    EXPECT_LE(x, area.right);
    hbar.UserScroll(SB_RIGHT);
    EXPECT_EQ(view->Scroll().GetHScrollPos(), hbar.GetScrollLimit());
    hbar.UserScroll(SB_LINERIGHT);
    EXPECT_EQ(view->Scroll().GetHScrollPos(), hbar.GetScrollLimit());

    // Frames further out than any storyboard still give a pixel, pinned at int's end.
    view->Scroll().ScrollFrameToX(INT_MIN, INT_MAX);
    EXPECT_EQ(view->Scroll().GetHScrollPos(), 0);
    EXPECT_EQ(view->Geometry().FrameToPixel(INT_MAX), INT_MAX);
    EXPECT_EQ(view->Geometry().FrameToClientX(INT_MAX), INT_MAX);
    EXPECT_EQ(view->Geometry().FrameToPixel(INT_MIN), INT_MIN);
    view->Scroll().Center(INT_MAX);
    EXPECT_EQ(view->Scroll().GetHScrollPos(), hbar.GetScrollLimit());

    // Zooming keeps the time line in place at both ends of the scale, and everything paints.
    view->Scroll().SteplessZoom(30000);
    view->Scroll().SteplessZoom(1);
    EXPECT_EQ(view->Geometry().FrameToClientX(static_cast<int>(kMax)), x);
    view->Scroll().ZoomStep(FALSE);
    view->Scroll().FitToWindow();
    view->Invalidate();
    view->UpdateWindow();
    EXPECT_EQ(body->GetTimeLinePos(), kMax);
}

} // namespace
} // namespace kel::test
