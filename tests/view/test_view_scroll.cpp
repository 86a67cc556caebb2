// Scroll bars, zoom steps, fit and the stepless zoom of the view.
#include "view_input_fixture.h"

#include "res/resource.h"

namespace kel::test {
namespace {

class ViewScrollTest : public ViewInputTest {
protected:
    CScrollBar& Bar(int id) {
        auto* bar = dynamic_cast<CScrollBar*>(view->GetDlgItem(id));
        EXPECT_NE(bar, nullptr);
        return *bar;
    }
    DWORD ZoomBar(UINT code, int thumb = 0) {
        Bar(IDC_VIEW_ZOOM_BAR).UserScroll(code, thumb);
        return body->GetFramesPerUnit();
    }
    size_t DirtyMessages() const { return mainWnd.Named(WM_CG_FILE_SETDIRTY_FLAG).size(); }
    CKelComboPopupMenu& ZoomButton() {
        auto* button = dynamic_cast<CKelComboPopupMenu*>(
            view->GetDlgItem(static_cast<int>(KelSBViewScroll::kZoomMenuButtonId)));
        EXPECT_NE(button, nullptr);
        return *button;
    }
    // An empty storyboard appended to the document and shown.
    CKelSBBodyObj* ShowNewStoryboard() {
        CKelSBEditObj* document = scene->GetSBEditObj();
        document->AppendSBBody();
        CKelSBBodyObj* added = document->GetCurSBBodyObj();
        view->RefreshView(nullptr);
        return added;
    }
};

TEST_F(ViewScrollTest, AZoomStepKeepsTheScrollPositionAndTheTimeLineInSight) {
    UseLongStoryboard(5000, 25);
    view->Scroll().SetHScrollPos(1000);
    body->SetTimeLinePos(1100);
    view->Scroll().ZoomStep(
        TRUE); // 20 frames per unit: the time line moves to x 475, still in sight
    EXPECT_EQ(body->GetFramesPerUnit(), 20u);
    EXPECT_EQ(view->Scroll().GetHScrollPos(), 1000);

    view->Scroll().ZoomStep(FALSE);
    body->SetTimeLinePos(1800); // x 900 now, x 1350 one step in: beyond the time area
    view->Scroll().ZoomStep(TRUE);
    EXPECT_EQ(view->Geometry().FrameToClientX(1800), 983 - 10);
}

TEST_F(ViewScrollTest, AFirstZoomStepOfAnEmptyStoryboardStartsFromItsScale) {
    // A view whose first storyboard has a scale off the table has never had a zoom menu
    // entry; a step starts from the entry below the scale.
    auto other = KelCreateSampleScene();
    other->GetSBEditObj()->AppendSBBody();
    CKelSBBodyObj* empty = other->GetSBEditObj()->GetCurSBBodyObj();
    ASSERT_TRUE(empty->SetFramesPerUnit(300));
    CKelSBEditView second;
    ASSERT_TRUE(second.CreateView(dlg, CRect(0, 0, 600, 200), 0xE901));
    second.SetCurScene(other.get());
    second.Scroll().ZoomStep(FALSE);
    EXPECT_EQ(empty->GetFramesPerUnit(), 500u);
    second.DestroyWindow();
}

TEST_F(ViewScrollTest, FitShowsTheWholeStoryboard) {
    SizeView(600, 300); // a time area of 483 pixels, 19 units; 350 frames
    view->Scroll().FitToWindow();
    EXPECT_EQ(body->GetFramesPerUnit(), 18u);
    EXPECT_EQ(view->Geometry().GetZoomIndex(), -1);
    EXPECT_TRUE(ZoomButton().IsShowingFreeText());
    EXPECT_EQ(ZoomButton().GetShownText(), view->Scroll().GetZoomText(18));
    EXPECT_EQ(DirtyMessages(), 1u);
    // Fitting again changes nothing and tells nobody.
    view->Scroll().FitToWindow();
    EXPECT_EQ(DirtyMessages(), 1u);
    // A step starts from the menu's last entry (25 frames), not from the free value.
    view->Scroll().ZoomStep(TRUE);
    EXPECT_EQ(body->GetFramesPerUnit(), 20u);
    EXPECT_FALSE(ZoomButton().IsShowingFreeText());
}

TEST_F(ViewScrollTest, FitAtTheEdges) {
    // A view narrower than one unit keeps its zoom.
    SizeView(120, 300);
    view->Scroll().FitToWindow();
    EXPECT_EQ(body->GetFramesPerUnit(), 25u);
    EXPECT_EQ(DirtyMessages(), 0u);
    SizeView(1000, 300);

    // An empty storyboard gets one second a unit, and the stepless zoom its whole range.
    CKelSBBodyObj* added = ShowNewStoryboard();
    ASSERT_EQ(added->GetDuration(), 0u);
    ASSERT_TRUE(added->SetFramesPerUnit(10));
    view->Scroll().FitToWindow();
    EXPECT_EQ(added->GetFramesPerUnit(), 25u);
    int minimum = -1;
    int maximum = -1;
    Bar(IDC_VIEW_ZOOM_BAR).GetScrollRange(&minimum, &maximum);
    EXPECT_EQ(maximum, 30000);

    // 10 frames over 35 units would round to 0 frames per unit, which no storyboard takes.
    auto* container = new CKelSBContainerObj;
    auto* content = new CKelSBContentPieceInObj;
    content->Init(0, KelSampleGUID(kSampleLogo), 0, 10, nullptr);
    container->AddContent(content);
    added->AddContainer(container);
    view->RefreshView(nullptr);
    view->Scroll().FitToWindow();
    EXPECT_EQ(added->GetFramesPerUnit(), 1u);
}

TEST_F(ViewScrollTest, AnEmptyStoryboardStartsAtFrameZeroAtItsOwnScale) {
    UseLongStoryboard(5000, 10);
    view->Scroll().SetHScrollPos(1000);
    ASSERT_EQ(ZoomButton().GetCurMenuItem(), 4);
    CKelSBBodyObj* added = ShowNewStoryboard();
    EXPECT_EQ(view->Scroll().GetHScrollPos(), 0);
    EXPECT_EQ(view->Geometry().FrameToClientX(0), kFrameZeroX);
    EXPECT_EQ(ZoomButton().GetCurMenuItem(), view->Geometry().GetZoomIndex());
    EXPECT_EQ(ZoomButton().GetCurMenuItem(), 6);
    EXPECT_EQ(added->GetFramesPerUnit(), 25u);
}

TEST_F(ViewScrollTest, SteplessZoomClampsToTheTable) {
    view->Scroll().SteplessZoom(0);
    EXPECT_EQ(body->GetFramesPerUnit(), 1u);
    view->Scroll().SteplessZoom(-40);
    EXPECT_EQ(body->GetFramesPerUnit(), 1u);
    view->Scroll().SteplessZoom(1000000);
    EXPECT_EQ(body->GetFramesPerUnit(), 30000u);
    EXPECT_EQ(DirtyMessages(), 0u);
}

TEST_F(ViewScrollTest, SteplessZoomKeepsTheTimeLineInPlace) {
    UseLongStoryboard(5000, 25);
    body->SetTimeLinePos(300);
    ASSERT_EQ(view->Geometry().FrameToClientX(300), 400);
    view->Scroll().SteplessZoom(10);
    EXPECT_EQ(view->Geometry().FrameToClientX(300), 400);
    EXPECT_EQ(view->Scroll().GetHScrollPos(), 450);
    EXPECT_EQ(ZoomButton().GetShownText(), view->Scroll().GetZoomText(10));
}

TEST_F(ViewScrollTest, TheZoomBarShowsTheScaleAfterAResize) {
    SizeView(600, 300); // the bar's maximum becomes 350 * 100 / 483 = 72
    EXPECT_EQ(ZoomBar(SB_LINELEFT), 26u);
    SizeView(1000, 300);
    EXPECT_EQ(ZoomBar(SB_LINERIGHT), 25u);
}

} // namespace
} // namespace kel::test
