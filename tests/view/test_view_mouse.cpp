// The left button on the view: presses in each region, the gestures they start, the cursor.
#include "view_input_fixture.h"

#include "host/scene/play_scene.h"
#include "res/resource.h"

namespace kel::test {
namespace {

constexpr int kRulerY = 40; // inside the ruler (y 29 to 49)

using ViewPressTest = ViewInputTest;

TEST_F(ViewPressTest, AMaterialDragStartsOnlyAfterThreePixels) {
    Down(X(50), RowY(0));
    EXPECT_EQ(view->Gesture().GetPressPoint(), CPoint(X(50), RowY(0)));
    Move(X(52), RowY(0) + 2);
    EXPECT_EQ(view->Gesture().GetPressPoint(), CPoint(X(50), RowY(0)));
    Move(X(53), RowY(0));
    EXPECT_EQ(view->Gesture().GetPressPoint(), CPoint(0, 0));
    Up(X(53), RowY(0));

    // A move without the button ends the press.
    Down(X(50), RowY(0));
    Move(X(50), RowY(0), false);
    EXPECT_EQ(view->Gesture().GetPressPoint(), CPoint(0, 0));
    Up(X(50), RowY(0));
}

using ViewScrubTest = ViewInputTest;

TEST_F(ViewScrubTest, ThePressSetsTheTimeLineAndMovesSeek) {
    const unsigned long seeks = CKelCGSBServer::GetSeekCount();
    Down(X(120), kRulerY);
    EXPECT_TRUE(view->Gesture().Is(KelSBGestureState::kScrub));
    EXPECT_EQ(body->GetTimeLinePos(), 120u);
    Move(X(200), kRulerY);
    EXPECT_EQ(body->GetTimeLinePos(), 200u);
    EXPECT_EQ(CKelCGSBServer::GetPosition(), 200u);
    // Left of frame 0 the time line stays at 0, and the output is told so.
    Move(50, kRulerY);
    EXPECT_EQ(body->GetTimeLinePos(), 0u);
    EXPECT_EQ(CKelCGSBServer::GetPosition(), 0u);
    EXPECT_EQ(CKelCGSBServer::GetSeekCount(), seeks + 2);
    EXPECT_EQ(view->Scroll().GetHScrollPos(), 0);
    Up(50, kRulerY);
    EXPECT_FALSE(view->Gesture().Is(KelSBGestureState::kScrub));
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
    EXPECT_EQ(view->Scroll().GetHScrollPos(), 22 + 5);
    Up(995, kRulerY);
}

using ViewCursorTest = ViewInputTest;

TEST_F(ViewCursorTest, CursorsFollowTheToolModeLockedTracksAndEdges) {
    Move(X(50), RowY(1), false);
    EXPECT_EQ(State().cursorId, static_cast<UINT>(IDC_CURSOR_LOCKED));
    Move(X(11), RowY(0), false);
    EXPECT_EQ(State().cursorId, static_cast<UINT>(IDC_CURSOR_TRIM));
    EXPECT_EQ(view->Gesture().Candidate().pContent, Content(1, 0));
    Move(X(50), RowY(0), false);
    EXPECT_EQ(State().cursorId, 0u);
    EXPECT_EQ(view->Gesture().Candidate().pContent, nullptr);

    // A new tool mode shows its cursor at once, without a move.
    view->SetToolMode(CKelSBEditView::kToolDeleteSpace);
    EXPECT_EQ(State().cursorId, static_cast<UINT>(IDC_CURSOR_DELETE_SPACE));
    view->SetToolMode(CKelSBEditView::kToolFixedPaste);
    EXPECT_EQ(State().cursorId, static_cast<UINT>(IDC_CURSOR_FIXED_PASTE));
    view->SetToolMode(CKelSBEditView::kToolNormal);
    EXPECT_EQ(State().cursorId, 0u);
}

using ViewLoadedTest = ViewInputTest;

TEST_F(ViewLoadedTest, WhileLoadedEdgesAreInertButSelectionAndTheRulerWork) {
    Move(X(11), RowY(0), false); // an edge: the cursor shows it before the upload
    ASSERT_NE(view->Gesture().Candidate().pContent, nullptr);
    ASSERT_TRUE(dlg->RunButton(IDC_BTN_UPLOAD));
    ASSERT_EQ(dlg->IsLoaded(), 1);

    Move(X(50), RowY(1), false); // a locked track: no cursor of ours while loaded
    EXPECT_EQ(State().cursorId, 0u);
    // A press on an edge does nothing; one inside a material still selects it, however old
    // the edge the cursor last showed.
    Click(X(11), RowY(0));
    EXPECT_TRUE(SelectedContainers().empty());
    Click(X(50), RowY(0));
    EXPECT_EQ(SelectedContainers(), (std::vector<int>{1}));
    Down(X(120), kRulerY);
    Up(X(120), kRulerY);
    EXPECT_EQ(body->GetTimeLinePos(), 120u);
    dlg->RunButton(IDC_BTN_DOWNLOAD);
}

} // namespace
} // namespace kel::test
