// The timeline view's time scale, regions and storyboard selector.
#include "editor_fixture.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_edit.h"
#include "host/services/video_std.h"
#include "res/resource.h"

#include <vector>

namespace kel::test {
namespace {

std::vector<DWORD> Steps(const CKelSBEditView& view) {
    std::vector<DWORD> steps;
    for (INT_PTR i = 0; i < view.Geometry().GetZoomSteps().GetSize(); ++i)
        steps.push_back(view.Geometry().GetZoomSteps()[i]);
    return steps;
}

TEST(ViewZoomTable, FollowsTheWholeFramesOfTheFrameRate) {
    ASSERT_TRUE(CKelVideoStd::SetFrameRate(25.0));
    EXPECT_EQ(Steps(CKelSBEditView()),
              (std::vector<DWORD>{1, 2, 4, 8, 10, 20, 25, 50, 100, 200, 250, 500, 750, 1500, 3000,
                                  6000, 12000, 15000, 30000}));
    ASSERT_TRUE(CKelVideoStd::SetFrameRate(29.97));
    const auto steps = Steps(CKelSBEditView());
    CKelVideoStd::SetFrameRate(25.0);
    ASSERT_EQ(steps.size(), 19u);
    EXPECT_EQ(steps[6], 29u);
    EXPECT_EQ(steps[18], 1200u * 29u);
}

using ViewGeometryTest = EditorTest;

TEST_F(ViewGeometryTest, ConversionsRoundHalfAwayFromZero) {
    CKelSBBodyObj* body = scene->GetSBEditObj()->GetCurSBBodyObj();
    ASSERT_TRUE(body->SetFramesPerUnit(10));
    EXPECT_EQ(view->Geometry().FrameToPixel(3), 8);  // 7.5
    EXPECT_EQ(view->Geometry().PixelToFrame(13), 5); // 5.2
    EXPECT_EQ(view->Geometry().FrameToPixel(-3), -8);
    ASSERT_TRUE(body->SetFramesPerUnit(2));
    EXPECT_EQ(view->Geometry().FrameToPixel(-1), -13); // -12.5
    EXPECT_EQ(view->Geometry().FrameToPixel(0), 0);

    // Client x and frames: frame 0 sits at the left of the track area, scrolled or not.
    ASSERT_TRUE(body->SetFramesPerUnit(25));
    SizeView(300, 300); // a page narrower than the storyboard's 350 pixels
    view->Scroll().UpdateHRange();
    EXPECT_EQ(view->Geometry().FrameToClientX(0), 100);
    EXPECT_EQ(view->Geometry().ClientXToFrame(90), -10);
    view->Scroll().SetHScrollPos(40);
    ASSERT_EQ(view->Scroll().GetHScrollPos(), 40);
    EXPECT_EQ(view->Geometry().FrameToClientX(40), 100);
    EXPECT_EQ(view->Geometry().ClientToLogical(CRect(100, 49, 110, 79)), CRect(40, 0, 50, 30));
}

TEST_F(ViewGeometryTest, RegionsOfAUsualClientArea) {
    SizeView(1000, 300);
    const int h = GetSystemMetrics(SM_CYHSCROLL);
    const int v = GetSystemMetrics(SM_CXVSCROLL);
    EXPECT_EQ(view->Geometry().GetSelectorRect(), CRect(0, 0, 100, h));
    EXPECT_EQ(view->Geometry().GetZoomButtonRect(), CRect(100, 0, 200, h));
    EXPECT_EQ(view->Geometry().GetZoomBarRect(), CRect(200, 0, 300, h));
    EXPECT_EQ(view->Geometry().GetHScrollRect(), CRect(300, 0, 1000, h));
    EXPECT_EQ(view->Geometry().GetCornerBoxRect(), CRect(0, h, 100, h + 32));
    EXPECT_EQ(view->Geometry().GetMarkerBandRect(), CRect(100, h, 1000, h + 12));
    EXPECT_EQ(view->Geometry().GetRulerRect(), CRect(100, h + 12, 1000, h + 32));
    EXPECT_EQ(view->Geometry().GetTrackAreaRect(), CRect(100, h + 32, 1000 - v, 300));
    EXPECT_EQ(view->Geometry().GetVScrollRect(), CRect(1000 - v, h, 1000, 300));
    EXPECT_EQ(view->Geometry().GetHeaderColumnRect(), CRect(0, h + 32, 100, 300));

    // Tool buttons stand in the corner box, 16 pixels apart; other ids have no place.
    EXPECT_EQ(view->Geometry().GetToolButtonRect(IDC_VIEW_TOOL_SB_OPERATION),
              CRect(1, h + 8, 16, h + 23));
    EXPECT_EQ(view->Geometry().GetToolButtonRect(IDC_VIEW_TOOL_ZOOM_OUT).left, 1 + 5 * 16);
    EXPECT_TRUE(view->Geometry().GetToolButtonRect(113).IsRectEmpty());
    // The child controls were laid out at those places.
    CRect hscroll;
    view->GetDlgItem(IDC_VIEW_HSCROLL)->GetWindowRect(&hscroll);
    view->ScreenToClient(&hscroll);
    EXPECT_EQ(hscroll, view->Geometry().GetHScrollRect());
}

TEST_F(ViewGeometryTest, NarrowClientAreaGivesEmptyNeverInvertedRegions) {
    SizeView(60, 20);
    const CRect regions[] = {
        view->Geometry().GetSelectorRect(),     view->Geometry().GetZoomButtonRect(),
        view->Geometry().GetZoomBarRect(),      view->Geometry().GetHScrollRect(),
        view->Geometry().GetCornerBoxRect(),    view->Geometry().GetTimeAreaRect(),
        view->Geometry().GetVScrollRect(),      view->Geometry().GetMarkerBandRect(),
        view->Geometry().GetRulerRect(),        view->Geometry().GetTrackAreaRect(),
        view->Geometry().GetHeaderColumnRect(), view->Geometry().GetTrackRowsRect(),
        view->Geometry().GetBelowStripRect(),   view->Geometry().GetTopStripRect()};
    for (const CRect& rc : regions) {
        EXPECT_GE(rc.right, rc.left) << rc.left << "," << rc.top << "," << rc.right;
        EXPECT_GE(rc.bottom, rc.top) << rc.left << "," << rc.top << "," << rc.bottom;
    }
    EXPECT_EQ(view->Geometry().GetTimeAreaRect().Width(), 0);
    // The zoom range must not divide by the empty time area.
    view->Scroll().UpdateZoomBarRange();
}

TEST_F(ViewGeometryTest, TrackRowsAndMaterialsFollowTheScrollPosition) {
    SizeView(1000, 80);
    CKelSBBodyObj* body = scene->GetSBEditObj()->GetCurSBBodyObj();
    const CRect area = view->Geometry().GetTrackAreaRect();
    EXPECT_EQ(view->Geometry().GetTrackRowRect(1),
              CRect(area.left, area.top + 30, area.right, area.top + 60));
    EXPECT_EQ(view->Geometry().GetTrackHeaderRect(1).left, 0);

    // Headline In, 0 to 10 on track 0, at 25 frames per unit.
    const auto* headlineIn = body->GetContainerObj(0)->GetContentObj(0);
    EXPECT_EQ(view->Geometry().GetMaterialRect(headlineIn),
              CRect(100, area.top + 1, 110, area.top + 29));
    EXPECT_EQ(view->Geometry().GetMaterialHitRect(headlineIn),
              CRect(100, area.top + 1, 111, area.top + 30));

    view->Scroll().UpdateVRange();
    view->Scroll().SetVScrollPos(60);
    ASSERT_EQ(view->Scroll().GetVScrollPos(), 60);
    EXPECT_EQ(view->Geometry().GetTrackRowRect(0).top,
              area.top - 60); // above the view: not clipped
}

// The handles take the size of the bitmaps the view loads when its window is created, after
// the geometry was made: a size read too early would leave them empty and ungrabbable.
TEST_F(ViewGeometryTest, RangeHandlesTakeTheLoadedBitmapsAndMoveWithTheScroll) {
    SizeView(1000, 200);
    CKelSBBodyObj* body = scene->GetSBEditObj()->GetCurSBBodyObj();
    body->SetRange(50, 100);
    const KelSBViewGeometry& geometry = view->Geometry();
    const CRect band = geometry.GetMarkerBandRect();
    const CRect start = geometry.GetRangeStartHandleRect();
    const CRect end = geometry.GetRangeEndHandleRect();
    ASSERT_FALSE(start.IsRectEmpty());
    ASSERT_FALSE(end.IsRectEmpty());
    EXPECT_EQ(start.TopLeft(), CPoint(geometry.FrameToClientX(50), band.top + 1));
    EXPECT_EQ(end.right, geometry.FrameToClientX(100));
    EXPECT_EQ(geometry.GetRangeBarRect(), CRect(150, band.top + 1, 200, band.bottom - 1));
    CRect outline;
    outline.UnionRect(geometry.GetRangeBarRect(), start);
    outline.UnionRect(outline, end);
    EXPECT_EQ(geometry.GetRangeOutlineRect(), outline);
    EXPECT_FALSE(geometry.GetTimeLineHeadRect(0).IsRectEmpty());

    view->Scroll().UpdateHRange();
    body->SetFramesPerUnit(1); // 350 frames: 8750 pixels, so the bar can scroll
    view->Scroll().UpdateHRange();
    view->Scroll().SetHScrollPos(30);
    ASSERT_EQ(view->Scroll().GetHScrollPos(), 30);
    EXPECT_EQ(geometry.GetRangeStartHandleRect().left, geometry.FrameToClientX(50));
    EXPECT_EQ(geometry.FrameToClientX(50), 100 + 50 * 25 - 30);
}

TEST_F(ViewGeometryTest, EnsureVisibleScrollsOnlyWhenTheFrameIsOutside) {
    SizeView(400, 200);
    view->Scroll().UpdateHRange(); // 350 frames at 25 per unit: 350 pixels
    view->Scroll().EnsureVisible(100);
    EXPECT_EQ(view->Scroll().GetHScrollPos(), 0);
    view->Scroll().EnsureVisible(300); // x 400, time area right 383, shrunk by 10
    EXPECT_EQ(view->Scroll().GetHScrollPos(), 400 - (400 - GetSystemMetrics(SM_CXVSCROLL) - 10));
    view->Scroll().EnsureVisible(0);
    EXPECT_EQ(view->Scroll().GetHScrollPos(), 0);
}

TEST_F(ViewGeometryTest, SelectorShowsDefaultNamesWithTheirPositionAndSwitches) {
    CKelPlaySceneObj fresh;
    CKelSBEditObj* doc = fresh.GetSBEditObj();
    ASSERT_TRUE(doc->AppendSBBody());
    ASSERT_TRUE(doc->AppendSBBody());
    doc->GetSBBodyObj(1)->SetName("Sports");
    ASSERT_TRUE(doc->SetCurSBBodyIndex(0));
    KelSBSetCurScene(&fresh);

    auto* selector = static_cast<CComboBox*>(view->GetDlgItem(IDC_VIEW_SB_SELECTOR));
    ASSERT_NE(selector, nullptr);
    const CString def = CKelSBBodyObj::GetDefName();
    ASSERT_EQ(selector->GetCount(), 3);
    EXPECT_EQ(selector->GetLBText(0), def + "-1");
    EXPECT_EQ(selector->GetLBText(1), CString("Sports"));
    EXPECT_EQ(selector->GetLBText(2), def + "-3");
    EXPECT_EQ(selector->GetCurSel(), 0);

    ClearReceived();
    ASSERT_TRUE(selector->UserSelect(2));
    EXPECT_EQ(doc->GetCurSBBodyIndex(), 2);
    ASSERT_EQ(history.Named(WM_CG_UPDATE_HISTORY).size(), 1u);
    EXPECT_EQ(history.received[0].lParam,
              reinterpret_cast<LPARAM>(doc->GetSBBodyObj(2)->GetURBase()));
    EXPECT_EQ(navigator.Named(WM_CG_SBNAV_SBSELCONTENT_CHANGED).size(), 1u);

    // Choosing the current storyboard again switches nothing.
    ClearReceived();
    selector->UserSelect(2);
    EXPECT_TRUE(history.received.empty());

    // Without a scene the selector offers nothing it could not switch to.
    KelSBSetCurScene(nullptr);
    EXPECT_EQ(selector->GetCount(), 0);
}

} // namespace
} // namespace kel::test
