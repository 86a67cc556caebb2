// Trimming an edge of a material with the mouse: its bounds, what a release commits, what a
// cancel or a stale edge must not do.
#include "edit/edit_trim.h"
#include "gesture_fixture.h"
#include "undo/material_cmds.h"

#include "host/effects/io_effect.h"

#include <map>

namespace kel::test {
namespace {

using TrimTest = GestureTest;

TEST_F(TrimTest, AnEdgeLetGoIsOneUndoableStepThatStopsAtItsNeighbours) {
    struct Case {
        const char* what;
        int nContainer, nContent;
        CPoint press;
        int toX;
        DWORD dwIn, dwOut;
    };
    const Case cases[] = {
        // The last material of track 0 grows at its outlet; nothing follows it.
        {"outlet, free", 3, 1, {X(211), RowY(0)}, X(239), 112, 240},
        // The Headline Out's outlet stops at the Logo In's entry point (frame 100).
        {"outlet, next", 2, 0, {X(94), RowY(0)}, X(150), 85, 100},
        // The Lower Third Out's entry point stops at the Lower Third In's outlet (frame 28).
        {"entry, previous", 6, 1, {X(61), RowY(2)}, X(0), 28, 68},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<BYTE> before = Bytes();
        const int nSteps = Steps();
        Move(c.press.x, c.press.y, false);
        EXPECT_EQ(State().cursorId, static_cast<UINT>(IDC_CURSOR_TRIM));
        Down(c.press.x, c.press.y);
        EXPECT_TRUE(view->Gesture().Is(KelSBGestureState::kTrim));
        Move(c.toX, c.press.y);
        ExpectConsistent("a trim move");
        EXPECT_EQ(Bytes(), before) << "the storyboard changed before the release";
        Up(c.toX, c.press.y);
        EXPECT_FALSE(view->Gesture().Is(KelSBGestureState::kTrim));
        EXPECT_EQ(CWnd::GetCapture(), nullptr);
        ASSERT_EQ(Steps(), nSteps + 1);
        EXPECT_EQ(History().GetStepNames().back(), "Change Materials Size");
        // The trimmed material is the current one, its container the selection.
        EXPECT_EQ(view->Selection().GetCurContent(), Content(c.nContainer, c.nContent));
        EXPECT_EQ(SelectedContainers(), std::vector<int>{c.nContainer});
        ExpectRoundTrip(before, [&] {
            EXPECT_EQ(Content(c.nContainer, c.nContent)->GetStoryIn(), c.dwIn);
            EXPECT_EQ(Content(c.nContainer, c.nContent)->GetStoryOut(), c.dwOut);
            // The effect plays as long as its material.
            const auto* pPiece =
                static_cast<CKelSBContentPieceBaseObj*>(Content(c.nContainer, c.nContent));
            EXPECT_EQ(pPiece->GetIOSoftEffect()->GetPlayDuration(), c.dwOut - c.dwIn);
        });
    }
}

TEST_F(TrimTest, AStoryboardMadeLongerScrollsToItsNewEnd) {
    // The Logo Stay, last on track 0, drawn out to frame 890, past the storyboard's end (350)
    // and past the view's right side.
    Trim({X(211), RowY(0)}, 990);
    ASSERT_EQ(Content(3, 1)->GetStoryOut(), 891u);
    auto* bar = dynamic_cast<CScrollBar*>(view->GetDlgItem(IDC_VIEW_HSCROLL));
    ASSERT_NE(bar, nullptr);
    bar->UserScroll(SB_RIGHT, 0);
    EXPECT_LT(view->Geometry().FrameToClientX(891), view->Geometry().GetTimeAreaRect().right);
}

TEST_F(TrimTest, AClickOnAnEdgeChangesNothingAtAnyScale) {
    // At ten frames a pixel no edge sits on a whole pixel: the Logo Stay's outlet (212) is drawn
    // at x 121, which is frame 210, and its hit area reaches a pixel further still.
    for (int nZoom : {view->Geometry().GetZoomIndex(), 10}) {
        ASSERT_TRUE(view->Scroll().ZoomToIndex(nZoom));
        const std::vector<BYTE> before = Bytes();
        const CRect rect = view->Geometry().GetMaterialRect(Content(3, 1));
        for (const CPoint press : {CPoint(rect.right - 1, RowY(0)), CPoint(rect.left + 1, RowY(0))})
            Trim(press, press.x);
        EXPECT_EQ(Steps(), 0);
        EXPECT_EQ(Bytes(), before);
    }
}

TEST_F(TrimTest, ANarrowMaterialTurnsToTheEdgeTheCursorLeavesItByButKeepsItsMinimumLength) {
    auto* pNarrow = NewPhase<CKelSBContentPieceStayObj>(kSampleLogo, 2, 300, 303);
    auto* pContainer = new CKelSBContainerObj;
    pContainer->AddContent(pNarrow);
    Body().AddContainer(pContainer);
    view->RefreshView(nullptr);
    ASSERT_EQ(view->Geometry().GetMaterialRect(pNarrow).Width(), 3);

    // Pressed anywhere it grabs its entry point; dragged onto its own outlet it keeps a frame.
    Trim({X(301), RowY(2)}, X(303));
    EXPECT_EQ(pNarrow->GetStoryIn(), 302u);
    EXPECT_EQ(pNarrow->GetStoryOut(), 303u);
    // Dragged out past its right side it widens to the right, from the same press.
    Trim({X(302), RowY(2)}, X(340));
    EXPECT_EQ(pNarrow->GetStoryIn(), 302u);
    EXPECT_EQ(pNarrow->GetStoryOut(), 340u);
    ExpectConsistent("the narrow trims");
}

TEST_F(TrimTest, AnEdgeTheCursorLeftIsNoLongerThere) {
    // The cursor finds the Headline Out's outlet, then moves onto the locked track and off it.
    Move(X(94), RowY(0), false);
    ASSERT_NE(view->Gesture().Candidate().pContent, nullptr);
    Move(X(50), RowY(1), false);
    EXPECT_EQ(State().cursorId, static_cast<UINT>(IDC_CURSOR_LOCKED));
    EXPECT_EQ(view->Gesture().Candidate().pContent, nullptr);

    // A press that arrives without a cursor update on empty space starts no trim either.
    Move(X(94), RowY(0), false);
    headless->SetKeyDown(VK_LBUTTON, true);
    view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X(400), RowY(0)));
    EXPECT_FALSE(view->Gesture().Is(KelSBGestureState::kTrim));
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    Up(X(400), RowY(0));
    EXPECT_EQ(Steps(), 0);
}

TEST_F(TrimTest, ATrimCancelledByEscapeOrALostMouseCommitsNothing) {
    const std::vector<BYTE> before = Bytes();
    const auto cancels = std::vector<std::function<void()>>{
        [&] { kel::platform::DeliverKey(WM_KEYDOWN, VK_ESCAPE, 1, 0); },
        [&] { dlg->SetCapture(); }, // a message box or another window takes the mouse
    };
    for (const auto& cancel : cancels) {
        headless->ClearClientDrawing(*view);
        Down(X(94), RowY(0));
        Move(X(99), RowY(0));
        ASSERT_TRUE(view->Gesture().Is(KelSBGestureState::kTrim));
        cancel();
        EXPECT_FALSE(view->Gesture().Is(KelSBGestureState::kTrim));
        EXPECT_EQ(view->Gesture().Candidate().pContent, nullptr);
        ReleaseCapture();
        Up(X(99), RowY(0));
        EXPECT_EQ(Steps(), 0);
        EXPECT_EQ(Bytes(), before);
        // Every XOR line drawn was drawn again at its place: the feedback is gone.
        std::map<int, int> linesAt;
        for (const auto& record : headless->ClientDrawing(*view))
            if (record.Is("LineTo") && record.rop2 == R2_XORPEN)
                ++linesAt[record.from.x];
        EXPECT_FALSE(linesAt.empty());
        for (const auto& [x, count] : linesAt)
            EXPECT_EQ(count % 2, 0) << x;
    }
}

TEST_F(TrimTest, AScrollIsSelectedNotTrimmed) {
    Body().GetTrackObj(1)->SetLocked(FALSE);
    Trim({X(151), RowY(1)}, X(100));
    EXPECT_EQ(Steps(), 0);
    EXPECT_EQ(SelectedContainers(), std::vector<int>{5});
}

TEST(TrimEdgeTest, AnOutletMayGrowToTheLargestFrameAndNoEdgePassesTheOther) {
    CKelSBContentPieceStayObj late;
    // Past frame 2,160,000 (a day at 25 frames a second): a day at 50 or 60 goes on.
    ASSERT_TRUE(late.Init(0, KelGUID{}, 3000000, 3000100, nullptr));
    kel::edit::TrimEdge edge{&late, nullptr, nullptr, 2, 0, kel::edit::TrimUpperLimit()};
    const auto change = kel::edit::ChangeLength(edge, 3000150);
    ASSERT_TRUE(change.has_value());
    EXPECT_EQ(late.GetStoryOut(), 3000150u);
    ASSERT_TRUE(kel::edit::ChangeLength(edge, CKelSBContentBaseObj::kMaxFrame + 10).has_value());
    EXPECT_EQ(late.GetStoryOut(), CKelSBContentBaseObj::kMaxFrame);

    // The entry point dragged past the outlet stops a minimum length before it.
    edge.dwEdge = 1;
    ASSERT_TRUE(kel::edit::ChangeLength(edge, CKelSBContentBaseObj::kMaxFrame).has_value());
    EXPECT_EQ(late.GetStoryIn() + late.GetMinDuration(), late.GetStoryOut());
}

} // namespace
} // namespace kel::test
