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
    int HScroll(UINT code, int thumb = 0) {
        Bar(IDC_VIEW_HSCROLL).UserScroll(code, thumb);
        return view->GetHScrollPos();
    }
    int VScroll(UINT code, int thumb = 0) {
        Bar(IDC_VIEW_VSCROLL).UserScroll(code, thumb);
        return view->GetVScrollPos();
    }
    DWORD ZoomBar(UINT code, int thumb = 0) {
        Bar(IDC_VIEW_ZOOM_BAR).UserScroll(code, thumb);
        return body->GetFramesPerUnit();
    }
    size_t DirtyMessages() const { return mainWnd.Named(WM_CG_FILE_SETDIRTY_FLAG).size(); }
    CKelComboPopupMenu& ZoomButton() {
        auto* button = dynamic_cast<CKelComboPopupMenu*>(
            view->GetDlgItem(static_cast<int>(CKelSBEditView::kZoomMenuButtonId)));
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

TEST_F(ViewScrollTest, HorizontalCodesStopAtTheirLimits) {
    UseLongStoryboard(5000, 25); // 5000 pixels; a page is the track area's 883
    const int limit = 5000 - 883 + 1;
    EXPECT_EQ(HScroll(SB_LINELEFT), 0);
    EXPECT_EQ(HScroll(SB_LINERIGHT), 1);
    EXPECT_EQ(HScroll(SB_PAGERIGHT), 884);
    EXPECT_EQ(HScroll(SB_PAGELEFT), 1);
    EXPECT_EQ(HScroll(SB_PAGELEFT), 0);
    EXPECT_EQ(HScroll(SB_RIGHT), limit);
    EXPECT_EQ(HScroll(SB_LINERIGHT), limit);
    EXPECT_EQ(HScroll(SB_PAGERIGHT), limit);
    EXPECT_EQ(HScroll(SB_THUMBTRACK, 300), 300);
    EXPECT_EQ(HScroll(SB_THUMBPOSITION, 400), 400);
    EXPECT_EQ(HScroll(SB_ENDSCROLL), 400);
    EXPECT_EQ(HScroll(SB_LEFT), 0);
    // Scrolling moves the frames under the time area.
    HScroll(SB_THUMBTRACK, 250);
    EXPECT_EQ(view->FrameToClientX(250), 100);
}

TEST_F(ViewScrollTest, VerticalCodesStopAtTheirLimits) {
    SizeView(1000, 120); // a track area 71 pixels high over 5 tracks of 30
    const int limit = 150 - 71 + 1;
    EXPECT_EQ(VScroll(SB_LINEUP), 0);
    EXPECT_EQ(VScroll(SB_BOTTOM), limit);
    EXPECT_EQ(VScroll(SB_LINEDOWN), limit);
    EXPECT_EQ(view->GetTrackRowRect(0).top, kTrackTop - limit);
    EXPECT_EQ(VScroll(SB_PAGEUP), limit - 71);
    EXPECT_EQ(VScroll(SB_PAGEUP), 0);
    EXPECT_EQ(VScroll(SB_PAGEDOWN), 71);
    EXPECT_EQ(VScroll(SB_TOP), 0);
}

TEST_F(ViewScrollTest, ZoomStepsStopAtBothEndsOfTheTable) {
    ASSERT_TRUE(view->ZoomToIndex(0));
    EXPECT_EQ(body->GetFramesPerUnit(), 1u);
    EXPECT_EQ(DirtyMessages(), 0u); // a menu entry does not mark the document
    const int paints = headless->PaintCount(*view);
    view->ZoomStep(TRUE);
    EXPECT_EQ(view->GetZoomIndex(), 0);
    EXPECT_GT(headless->PaintCount(*view), paints);
    EXPECT_EQ(DirtyMessages(), 1u);
    EXPECT_EQ(mainWnd.Named(WM_CG_FILE_SETDIRTY_FLAG)[0].wParam, 1u);

    // The tool buttons and the zoom menu reach the view as commands.
    view->SendMessage(WM_COMMAND, MAKEWPARAM(ID_ZOOM_LAST, 0), 0);
    EXPECT_EQ(view->GetZoomIndex(), 18);
    EXPECT_EQ(ZoomButton().GetCurMenuItem(), 18);
    view->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_VIEW_TOOL_ZOOM_OUT, BN_CLICKED), 0);
    EXPECT_EQ(view->GetZoomIndex(), 18);
    view->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_VIEW_TOOL_ZOOM_IN, BN_CLICKED), 0);
    EXPECT_EQ(body->GetFramesPerUnit(), 15000u);
    EXPECT_FALSE(view->ZoomToIndex(19));
    EXPECT_FALSE(view->ZoomToIndex(-1));
}

TEST_F(ViewScrollTest, AZoomStepKeepsTheScrollPositionAndTheTimeLineInSight) {
    UseLongStoryboard(5000, 25);
    view->SetHScrollPos(1000);
    body->SetTimeLinePos(1100);
    view->ZoomStep(TRUE); // 20 frames per unit: the time line moves to x 475, still in sight
    EXPECT_EQ(body->GetFramesPerUnit(), 20u);
    EXPECT_EQ(view->GetHScrollPos(), 1000);

    view->ZoomStep(FALSE);
    body->SetTimeLinePos(1800); // x 900 now, x 1350 one step in: beyond the time area
    view->ZoomStep(TRUE);
    EXPECT_EQ(view->FrameToClientX(1800), 983 - 10);
}

TEST_F(ViewScrollTest, FitShowsTheWholeStoryboard) {
    SizeView(600, 300); // a time area of 483 pixels, 19 units; 350 frames
    view->FitToWindow();
    EXPECT_EQ(body->GetFramesPerUnit(), 18u);
    EXPECT_EQ(view->GetZoomIndex(), -1);
    EXPECT_TRUE(ZoomButton().IsShowingFreeText());
    EXPECT_EQ(ZoomButton().GetShownText(), view->GetZoomText(18));
    EXPECT_EQ(DirtyMessages(), 1u);
    // Fitting again changes nothing and tells nobody.
    view->FitToWindow();
    EXPECT_EQ(DirtyMessages(), 1u);
    // A step starts from the menu's last entry (25 frames), not from the free value.
    view->ZoomStep(TRUE);
    EXPECT_EQ(body->GetFramesPerUnit(), 20u);
    EXPECT_FALSE(ZoomButton().IsShowingFreeText());
}

TEST_F(ViewScrollTest, FitOfAnEmptyStoryboardIsOneSecondPerUnit) {
    CKelSBBodyObj* empty = ShowNewStoryboard();
    ASSERT_EQ(empty->GetDuration(), 0u);
    ASSERT_TRUE(empty->SetFramesPerUnit(10));
    view->FitToWindow();
    EXPECT_EQ(empty->GetFramesPerUnit(), 25u);
    // The stepless zoom reaches the end of the table.
    view->UpdateZoomBarRange();
    int minimum = -1;
    int maximum = -1;
    Bar(IDC_VIEW_ZOOM_BAR).GetScrollRange(&minimum, &maximum);
    EXPECT_EQ(maximum, 30000);
}

TEST_F(ViewScrollTest, FitNeverGoesBelowOneFramePerUnit) {
    CKelSBBodyObj* shortOne = ShowNewStoryboard();
    auto* container = new CKelSBContainerObj;
    auto* content = new CKelSBContentPieceInObj;
    content->Init(0, KelSampleGUID(kSampleLogo), 0, 10, nullptr);
    container->AddContent(content);
    shortOne->AddContainer(container);
    view->RefreshView(nullptr);
    view->FitToWindow(); // 10 frames over 35 units would round to 0
    EXPECT_EQ(shortOne->GetFramesPerUnit(), 1u);
}

TEST_F(ViewScrollTest, FitLeavesTheZoomOfAViewNarrowerThanOneUnit) {
    SizeView(120, 300); // a time area of 3 pixels
    view->FitToWindow();
    EXPECT_EQ(body->GetFramesPerUnit(), 25u);
    EXPECT_EQ(DirtyMessages(), 0u);
}

TEST_F(ViewScrollTest, SteplessZoomClampsToTheTable) {
    view->SteplessZoom(0);
    EXPECT_EQ(body->GetFramesPerUnit(), 1u);
    view->SteplessZoom(-40);
    EXPECT_EQ(body->GetFramesPerUnit(), 1u);
    view->SteplessZoom(1000000);
    EXPECT_EQ(body->GetFramesPerUnit(), 30000u);
    EXPECT_EQ(DirtyMessages(), 0u);
}

TEST_F(ViewScrollTest, SteplessZoomKeepsTheTimeLineInPlace) {
    UseLongStoryboard(5000, 25);
    body->SetTimeLinePos(300);
    ASSERT_EQ(view->FrameToClientX(300), 400);
    view->SteplessZoom(10);
    EXPECT_EQ(view->FrameToClientX(300), 400);
    EXPECT_EQ(view->GetHScrollPos(), 450);
    EXPECT_EQ(ZoomButton().GetShownText(), view->GetZoomText(10));
}

TEST_F(ViewScrollTest, TheZoomBarRunsBackwards) {
    // 350 frames over 883 pixels: the bar's maximum is 39 frames per unit, its page 10.
    EXPECT_EQ(ZoomBar(SB_LINELEFT), 26u);
    EXPECT_EQ(ZoomBar(SB_LINERIGHT), 25u);
    EXPECT_EQ(ZoomBar(SB_LEFT), 39u);
    EXPECT_EQ(ZoomBar(SB_LINELEFT), 39u);
    EXPECT_EQ(ZoomBar(SB_PAGERIGHT), 29u);
    EXPECT_EQ(ZoomBar(SB_THUMBTRACK, 20), 19u);
    EXPECT_EQ(ZoomBar(SB_THUMBPOSITION, 5), 19u);
    EXPECT_EQ(ZoomBar(SB_RIGHT), 1u);
}

TEST_F(ViewScrollTest, TheZoomBarShowsTheScaleAfterAResize) {
    SizeView(600, 300); // the bar's maximum becomes 350 * 100 / 483 = 72
    EXPECT_EQ(ZoomBar(SB_LINELEFT), 26u);
    SizeView(1000, 300);
    EXPECT_EQ(ZoomBar(SB_LINERIGHT), 25u);
}

} // namespace
} // namespace kel::test
