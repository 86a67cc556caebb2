// The gesture states of the view: what each press starts, and that Escape, a lost mouse or a
// host's request in the middle of a gesture leave the storyboard as the press found it.
#include "gesture_fixture.h"

#include "host/scene/play_scene.h"

namespace kel::test {
namespace {

constexpr int kMarkerY = 23; // inside the marker band
constexpr int kRulerY = 40;  // inside the ruler

using GestureStateTest = GestureTest;
using Gesture = KelSBGestureState;

TEST_F(GestureStateTest, EachPressStartsItsGestureAndTheReleaseEndsIt) {
    struct Case {
        const char* what;
        CPoint press;
        Gesture state;
    };
    const Case cases[] = {
        {"a material", {X(50), RowY(0)}, Gesture::kPressed},
        {"the marker band", {X(50), kMarkerY}, Gesture::kMarkerDrag},
        {"the ruler", {X(50), kRulerY}, Gesture::kScrub},
        {"an edge", {X(94), RowY(0)}, Gesture::kTrim},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Move(c.press.x, c.press.y, false);
        Down(c.press.x, c.press.y);
        EXPECT_EQ(view->Gesture().GetState(), c.state);
        EXPECT_FALSE(view->Gesture().IsIdle());
        Up(c.press.x, c.press.y);
        EXPECT_EQ(view->Gesture().GetState(), Gesture::kIdle);
        EXPECT_EQ(CWnd::GetCapture(), nullptr);
    }
}

TEST_F(GestureStateTest, EscapeOrALostMouseTakesBackTheMarksAndTheTimeLine) {
    body->SetRange(100, 200);
    const std::vector<BYTE> before = Bytes();
    const auto cancels = std::vector<std::function<void()>>{
        [&] { kel::platform::DeliverKey(WM_KEYDOWN, VK_ESCAPE, 1, 0); },
        [&] { dlg->SetCapture(); },
    };
    for (const auto& cancel : cancels) {
        Down(X(150), kMarkerY); // the whole range
        Move(X(250), kMarkerY);
        ASSERT_EQ(body->GetRangeStart(), 200u);
        cancel();
        EXPECT_EQ(view->Gesture().GetState(), Gesture::kIdle);
        EXPECT_EQ(body->GetRangeStart(), 100u);
        EXPECT_EQ(body->GetRangeEnd(), 200u);
        ReleaseCapture();
        Up(X(250), kMarkerY);

        Down(X(120), kRulerY);
        Move(X(300), kRulerY);
        ASSERT_EQ(body->GetTimeLinePos(), 300u);
        cancel();
        EXPECT_EQ(body->GetTimeLinePos(), 0u);
        EXPECT_EQ(CKelCGSBServer::GetPosition(), 0u);
        ReleaseCapture();
        Up(X(300), kRulerY);
        EXPECT_EQ(Bytes(), before);
    }
}

TEST_F(GestureStateTest, AHostsRequestInTheMiddleOfATrimEndsTheTrimFirst) {
    Click(X(50), RowY(0));
    ASSERT_EQ(DragMaterial({X(50), RowY(0)}, {X(50), RowY(3)}), DWORD(DROPEFFECT_MOVE));
    // The history panel undoes the move while the Logo's outlet is being dragged: the trim
    // ends without committing, and its release finds nothing to do.
    Down(X(211), RowY(0));
    Move(X(230), RowY(0));
    ASSERT_TRUE(view->Gesture().Is(KelSBGestureState::kTrim));
    dlg->SendMessage(WM_CG_UR_FROM_HISTORY, 1, 1);
    EXPECT_FALSE(view->Gesture().Is(KelSBGestureState::kTrim));
    Up(X(230), RowY(0));
    EXPECT_EQ(History().GetUndoStepCount(), 0);
    EXPECT_EQ(History().GetStepCount(), 1);
    EXPECT_EQ(Content(3, 1)->GetStoryOut(), 212u);
    ExpectConsistent("the undo in a trim");

    // So does the host's request to add its items.
    Down(X(211), RowY(0));
    Move(X(230), RowY(0));
    dlg->SendMessage(WM_CG_ADD_ITEM_TO_SB, 0, 0);
    EXPECT_FALSE(view->Gesture().Is(KelSBGestureState::kTrim));
    Up(X(230), RowY(0));
    EXPECT_EQ(History().GetStepNames().back(), "Put Selected Items To Storyboard(In)");
    ExpectConsistent("the add in a trim");
}

TEST_F(GestureStateTest, TheRightButtonSelectsWhatItIsPressedOn) {
    headless->SetKeyDown(VK_RBUTTON, true);
    Mouse(WM_RBUTTONDOWN, CPoint(X(150), RowY(4)), MK_RBUTTON);
    headless->SetKeyDown(VK_RBUTTON, false);
    EXPECT_EQ(SelectedContainers(), std::vector<int>{8});
    EXPECT_EQ(SelectedTracks(), std::vector<int>{4});
    // Outside every track the track selection goes.
    Mouse(WM_RBUTTONDOWN, CPoint(X(150), kRulerY), MK_RBUTTON);
    EXPECT_TRUE(SelectedTracks().empty());
}

} // namespace
} // namespace kel::test
