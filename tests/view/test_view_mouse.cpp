// The left button on the view: presses in each region, the gestures they start, the cursor.
#include "view_input_fixture.h"

#include "host/scene/play_scene.h"
#include "res/resource.h"

namespace kel::test {
namespace {

constexpr int kMarkerY = 23; // inside the marker band (y 17 to 29)
constexpr int kRulerY = 40;  // inside the ruler (y 29 to 49)

using ViewPressTest = ViewInputTest;

TEST_F(ViewPressTest, ClicksSelectAndShiftOrCtrlAdd) {
    Click(X(50), RowY(0));
    EXPECT_EQ(SelectedContainers(), (std::vector<int>{1}));
    EXPECT_EQ(SelectedTracks(), (std::vector<int>{0}));
    Click(X(50), RowY(3), MK_SHIFT);
    Click(X(150), RowY(4), MK_CONTROL);
    EXPECT_EQ(SelectedContainers(), (std::vector<int>{1, 7, 8}));
    EXPECT_EQ(SelectedTracks(), (std::vector<int>{0, 3, 4}));
    // The status line shows the span of all of them.
    EXPECT_NE(dlg->GetWindowText().Find("Entry"), -1);
    Click(X(22), RowY(2));
    EXPECT_EQ(SelectedContainers(), (std::vector<int>{6}));
    EXPECT_EQ(SelectedTracks(), (std::vector<int>{2}));
}

TEST_F(ViewPressTest, ARubberBandSelectsWhatItTouches) {
    Click(X(50), RowY(0));
    // A press on empty track space: the materials are let go, then the band decides.
    headless->QueueRubberBand(CRect(X(25), RowY(2), X(35), RowY(3)));
    Click(X(40), RowY(2));
    EXPECT_EQ(SelectedContainers(), (std::vector<int>{6, 7}));
    EXPECT_EQ(view->GetCurContent(), Content(6, 0));
    EXPECT_EQ(SelectedTracks(), (std::vector<int>{2}));

    // An empty band selects nothing and leaves the selection cleared.
    ClearReceived();
    Click(X(40), RowY(2));
    EXPECT_TRUE(SelectedContainers().empty());
    EXPECT_EQ(view->GetCurContent(), nullptr);
    EXPECT_EQ(dlg->GetWindowText().Find("Entry"), -1);
    EXPECT_EQ(NavigatorContents(), (std::vector<LPARAM>{0}));
}

TEST_F(ViewPressTest, TheBandIsLimitedToTheTrackArea) {
    // Dragged up into the ruler and left over the headers: only the track area counts.
    headless->QueueRubberBand(CRect(0, 0, X(12), RowY(0)));
    Click(X(97), RowY(0));
    EXPECT_EQ(SelectedContainers(), (std::vector<int>{0, 1}));
}

TEST_F(ViewPressTest, HeaderButtonsToggleTheTrackAndRefreshTheView) {
    Click(X(50), RowY(0));
    ASSERT_FALSE(SelectedContainers().empty());
    ASSERT_FALSE(body->GetTrackObj(0)->IsLocked());

    Click(25, kTrackTop + 5); // lock square of track 0
    EXPECT_TRUE(body->GetTrackObj(0)->IsLocked());
    EXPECT_TRUE(SelectedContainers().empty());
    EXPECT_TRUE(SelectedTracks().empty());
    Click(25, kTrackTop + 5);
    EXPECT_FALSE(body->GetTrackObj(0)->IsLocked());

    Click(8, kTrackTop + kTrackHeight * 2 + 5); // play square of track 2
    EXPECT_TRUE(body->GetTrackObj(2)->IsPlayAllowed());

    // Elsewhere in the header a click selects the track; Shift adds.
    Click(70, RowY(3));
    headless->SetKeyDown(VK_SHIFT, true);
    Click(70, RowY(1));
    headless->SetKeyDown(VK_SHIFT, false);
    EXPECT_EQ(SelectedTracks(), (std::vector<int>{3, 1}));
}

TEST_F(ViewPressTest, AMaterialDragStartsOnlyAfterThreePixels) {
    Down(X(50), RowY(0));
    EXPECT_EQ(view->GetPressPoint(), CPoint(X(50), RowY(0)));
    Move(X(52), RowY(0) + 2);
    EXPECT_EQ(view->GetPressPoint(), CPoint(X(50), RowY(0)));
    Move(X(53), RowY(0));
    EXPECT_EQ(view->GetPressPoint(), CPoint(0, 0));
    Up(X(53), RowY(0));

    // A move without the button ends the press.
    Down(X(50), RowY(0));
    Move(X(50), RowY(0), false);
    EXPECT_EQ(view->GetPressPoint(), CPoint(0, 0));
    Up(X(50), RowY(0));
}

using ViewMarkerTest = ViewInputTest;

TEST_F(ViewMarkerTest, TheStartHandleStopsAtTheEnd) {
    body->SetRange(100, 200);
    const CRect handle = view->GetRangeStartHandleRect();
    ASSERT_FALSE(handle.IsRectEmpty());
    Down(X(100) + 1, kMarkerY);
    EXPECT_EQ(view->GetMarkerDragMode(), 1u);
    Move(X(150) + 1, kMarkerY);
    EXPECT_EQ(body->GetRangeStart(), 150u);
    Move(X(260), kMarkerY);
    EXPECT_EQ(body->GetRangeStart(), 200u);
    EXPECT_EQ(body->GetRangeEnd(), 200u);
    Up(X(260), kMarkerY);
    EXPECT_EQ(view->GetMarkerDragMode(), 0u);
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
}

TEST_F(ViewMarkerTest, TheEndHandleStopsAtTheStartAndTheBarMovesWhole) {
    body->SetRange(100, 200);
    Down(X(200) - 1, kMarkerY);
    EXPECT_EQ(view->GetMarkerDragMode(), 2u);
    Move(X(50), kMarkerY);
    EXPECT_EQ(body->GetRangeEnd(), 100u);
    EXPECT_EQ(body->GetRangeStart(), 100u);
    Up(X(50), kMarkerY);

    body->SetRange(100, 200);
    Down(X(150), kMarkerY);
    EXPECT_EQ(view->GetMarkerDragMode(), 3u);
    Move(X(170), kMarkerY);
    EXPECT_EQ(body->GetRangeStart(), 120u);
    EXPECT_EQ(body->GetRangeEnd(), 220u);
    // Dragged past frame 0 the range stops there, keeping its length.
    Move(X(0), kMarkerY);
    EXPECT_EQ(body->GetRangeStart(), 0u);
    EXPECT_EQ(body->GetRangeEnd(), 100u);
    Up(X(0), kMarkerY);

    // Beside the range the nearer mark jumps to the press.
    Down(X(300), kMarkerY);
    EXPECT_EQ(view->GetMarkerDragMode(), 2u);
    Move(X(310), kMarkerY);
    EXPECT_EQ(body->GetRangeEnd(), 310u);
    Up(X(310), kMarkerY);
}

TEST_F(ViewMarkerTest, ARangeOutOfViewComesToThePress) {
    UseLongStoryboard(5000, 1); // 25 pixels a frame
    body->SetRange(10, 60);
    view->SetHScrollPos(10000); // frame 400 at the left of the time area
    ASSERT_EQ(view->GetHScrollPos(), 10000);

    // Right of the range: it ends at the pressed frame.
    Down(X(250), kMarkerY);
    EXPECT_EQ(view->GetMarkerDragMode(), 2u);
    EXPECT_EQ(body->GetRangeEnd(), 410u);
    EXPECT_EQ(body->GetRangeStart(), 360u);
    Up(X(250), kMarkerY);

    // Left of it: it starts there.
    body->SetRange(3000, 3050);
    Down(X(250), kMarkerY);
    EXPECT_EQ(view->GetMarkerDragMode(), 1u);
    EXPECT_EQ(body->GetRangeStart(), 410u);
    EXPECT_EQ(body->GetRangeEnd(), 460u);
    Up(X(250), kMarkerY);
}

TEST_F(ViewMarkerTest, LosingTheMouseEndsTheDrag) {
    body->SetRange(100, 200);
    Down(X(150), kMarkerY);
    ASSERT_EQ(view->GetMarkerDragMode(), 3u);
    dlg->SetCapture();
    EXPECT_EQ(view->GetMarkerDragMode(), 0u);
    ReleaseCapture();
}

using ViewScrubTest = ViewInputTest;

TEST_F(ViewScrubTest, ThePressSetsTheTimeLineAndMovesSeek) {
    const unsigned long seeks = CKelCGSBServer::GetSeekCount();
    Down(X(120), kRulerY);
    EXPECT_TRUE(view->IsScrubbing());
    EXPECT_EQ(body->GetTimeLinePos(), 120u);
    Move(X(200), kRulerY);
    EXPECT_EQ(body->GetTimeLinePos(), 200u);
    EXPECT_EQ(CKelCGSBServer::GetPosition(), 200u);
    // Left of frame 0 the time line stays at 0, and the output is told so.
    Move(50, kRulerY);
    EXPECT_EQ(body->GetTimeLinePos(), 0u);
    EXPECT_EQ(CKelCGSBServer::GetPosition(), 0u);
    EXPECT_EQ(CKelCGSBServer::GetSeekCount(), seeks + 2);
    EXPECT_EQ(view->GetHScrollPos(), 0);
    Up(50, kRulerY);
    EXPECT_FALSE(view->IsScrubbing());
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
}

TEST_F(ViewScrubTest, ScrubbingPastTheRightEndScrolls) {
    UseLongStoryboard(5000, 25);
    Down(X(500), kRulerY);
    // The ruler reaches x 1000; 10 pixels before it scrolling starts.
    // Keeping the time line visible brings it 10 pixels inside the time area (x 973, left of
    // the vertical bar), and the ruler's end scrolls 5 pixels more.
    Move(995, kRulerY);
    EXPECT_EQ(body->GetTimeLinePos(), 895u);
    EXPECT_EQ(view->GetHScrollPos(), 22 + 5);
    Up(995, kRulerY);
}

using ViewCursorTest = ViewInputTest;

TEST_F(ViewCursorTest, CursorsFollowTheToolModeLockedTracksAndEdges) {
    Move(X(50), RowY(1), false);
    EXPECT_EQ(State().cursorId, static_cast<UINT>(IDC_CURSOR_LOCKED));
    Move(X(11), RowY(0), false);
    EXPECT_EQ(State().cursorId, static_cast<UINT>(IDC_CURSOR_TRIM));
    EXPECT_EQ(view->GetTrimCandidate().pContent, Content(1, 0));
    Move(X(50), RowY(0), false);
    EXPECT_EQ(State().cursorId, 0u);
    EXPECT_EQ(view->GetTrimCandidate().pContent, nullptr);

    // A new tool mode shows its cursor at once, without a move.
    view->SetToolMode(CKelSBEditView::kToolDeleteSpace);
    EXPECT_EQ(State().cursorId, static_cast<UINT>(IDC_CURSOR_DELETE_SPACE));
    view->SetToolMode(CKelSBEditView::kToolFixedPaste);
    EXPECT_EQ(State().cursorId, static_cast<UINT>(IDC_CURSOR_FIXED_PASTE));
    view->SetToolMode(CKelSBEditView::kToolNormal);
    EXPECT_EQ(State().cursorId, 0u);
}

TEST_F(ViewCursorTest, APressOnAnEdgeSelectsUntilTrimmingExists) {
    Move(X(11), RowY(0), false);
    ASSERT_NE(view->GetTrimCandidate().pContent, nullptr);
    Click(X(11), RowY(0));
    EXPECT_EQ(SelectedContainers(), (std::vector<int>{1}));
    EXPECT_FALSE(view->IsTrimming());
}

} // namespace
} // namespace kel::test
