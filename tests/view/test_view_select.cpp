// Hit testing and the selection of tracks and materials on the sample scene ("News": track 0
// Headline In 0-10, Stay 10-85, Out 85-95 in three containers and Logo In 100-112 with Stay
// 112-212 in one; track 1, locked, the movie 0-125 and the scroll from 150; track 2 Lower Third
// In 20-28 and Out 60-68 together; track 3 a material without its piece 30-80; track 4 Lower
// Third Stay 140-190 and Out 190-198 together).
#include "view_input_fixture.h"

#include "res/resource.h"

namespace kel::test {
namespace {

using ViewHitTest = ViewInputTest;

TEST_F(ViewHitTest, MarkerBandAndRulerLieOutsideEveryTrack) {
    for (const CPoint point : {CPoint(X(5), 20), CPoint(X(5), 40), CPoint(50, RowY(0))}) {
        KelSBHitResult hit;
        EXPECT_EQ(view->HitTest(point, hit), 1) << point.y;
        EXPECT_EQ(hit.nTrackIndex, -1);
        EXPECT_EQ(hit.pContent, nullptr);
        EXPECT_EQ(hit.pContainer, nullptr);
    }
}

TEST_F(ViewHitTest, RowBordersBelongToTheLowerTrack) {
    // Frame 130: the Logo Stay on track 0, nothing on track 1.
    const int x = X(130);
    KelSBHitResult hit;
    EXPECT_EQ(view->HitTest(CPoint(x, kTrackTop + kTrackHeight - 1), hit), 1);
    EXPECT_EQ(hit.nTrackIndex, 0);
    EXPECT_EQ(hit.pContent, Content(3, 1));
    EXPECT_EQ(hit.pContainer, body->GetContainerObj(3));
    // The outline spans both Logo materials, one pixel wider and taller than drawn.
    EXPECT_EQ(hit.rcContainerOutline, CRect(X(100), 50, X(212) + 1, 79));
    EXPECT_EQ(hit.rcContent, CRect(X(112), 50, X(212) + 1, 79));

    EXPECT_EQ(view->HitTest(CPoint(x, kTrackTop + kTrackHeight), hit), 0);
    EXPECT_EQ(hit.nTrackIndex, 1);
    EXPECT_EQ(hit.pTrack, body->GetTrackObj(1));
    EXPECT_EQ(hit.rcTrackRow, CRect(100, 79, 983, 109));
    EXPECT_EQ(hit.pContent, nullptr);

    // Below the last track: no track, nothing found.
    EXPECT_EQ(view->HitTest(CPoint(x, kTrackTop + 5 * kTrackHeight + 2), hit), 0);
    EXPECT_EQ(hit.nTrackIndex, -1);
}

TEST_F(ViewHitTest, TouchingMaterialsGoToTheEarlierContainer) {
    // Headline In ends where its Stay starts; the extra hit pixel of the In wins there.
    KelSBHitResult hit;
    view->HitTest(CPoint(X(10), RowY(0)), hit);
    EXPECT_EQ(hit.pContent, Content(0, 0));
    view->HitTest(CPoint(X(11), RowY(0)), hit);
    EXPECT_EQ(hit.pContent, Content(1, 0));
}

TEST_F(ViewHitTest, EdgesAreThreePixelsInsideTheLeftAndFourInsideTheRight) {
    KelSBTrimCandidate candidate;
    // Headline Stay, frames 10 to 85: x 110 to 185, hit rectangle to 186.
    ASSERT_TRUE(view->EdgeTest(CPoint(X(12), RowY(0)), candidate));
    EXPECT_EQ(candidate.pContent, Content(1, 0));
    EXPECT_EQ(candidate.dwEdge, 1u);
    EXPECT_EQ(candidate.nGrabOffset, -2);
    EXPECT_EQ(candidate.dwEdgeFrame, 10u);
    EXPECT_EQ(candidate.rcMaterial, CRect(X(10), 50, X(85), 78));

    KelSBTrimCandidate none;
    EXPECT_FALSE(view->EdgeTest(CPoint(X(13), RowY(0)), none));
    EXPECT_FALSE(view->EdgeTest(CPoint(X(82), RowY(0)), none));
    EXPECT_EQ(none.pContent, nullptr);

    ASSERT_TRUE(view->EdgeTest(CPoint(X(83), RowY(0)), candidate));
    EXPECT_EQ(candidate.dwEdge, 2u);
    EXPECT_EQ(candidate.nGrabOffset, 3);

    // The movie lies on the locked track: no edge to trim.
    EXPECT_FALSE(view->EdgeTest(CPoint(X(1), RowY(1)), none));
}

TEST_F(ViewHitTest, ANarrowMaterialIsGrabbedByItsStoryIn) {
    // At 100 frames per unit the Headline In (10 frames) is 3 pixels wide.
    ASSERT_TRUE(body->SetFramesPerUnit(100));
    ASSERT_EQ(view->GetMaterialRect(Content(0, 0)).Width(), 3);
    for (int x = 100; x < 103; ++x) {
        KelSBTrimCandidate candidate;
        ASSERT_TRUE(view->EdgeTest(CPoint(x, RowY(0)), candidate)) << x;
        EXPECT_EQ(candidate.pContent, Content(0, 0));
        EXPECT_EQ(candidate.dwEdge, 1u) << x;
        EXPECT_EQ(candidate.dwEdgeFrame, 0u);
    }
}

TEST_F(ViewHitTest, HeaderButtonsAreTheTwoSquaresAtTheTopLeft) {
    int button = -1;
    // Track 2's header from y 109: shrunk by 3, the play square is x 3-19, y 112-128.
    EXPECT_EQ(view->HeaderButtonTest(CPoint(3, 112), button), 2);
    EXPECT_EQ(button, 0);
    EXPECT_EQ(view->HeaderButtonTest(CPoint(34, 127), button), 2);
    EXPECT_EQ(button, 1);
    EXPECT_EQ(view->HeaderButtonTest(CPoint(35, 112), button), -1);
    EXPECT_EQ(view->HeaderButtonTest(CPoint(10, 129), button), -1);
    EXPECT_EQ(view->HeaderButtonTest(CPoint(2, 112), button), -1);
}

using ViewSelectionTest = ViewInputTest;

TEST_F(ViewSelectionTest, TrackTogglesWithAndWithoutExclusive) {
    const auto header = [](int track) { return CPoint(60, RowY(track)); };
    EXPECT_TRUE(view->SelectTrackAt(header(0), TRUE));
    EXPECT_EQ(SelectedTracks(), (std::vector<int>{0}));
    // A selected track clicked with exclusive stays the only one.
    EXPECT_TRUE(view->SelectTrackAt(header(0), TRUE));
    EXPECT_EQ(SelectedTracks(), (std::vector<int>{0}));
    // The track row counts as much as the header.
    EXPECT_TRUE(view->SelectTrackAt(CPoint(X(300), RowY(2)), FALSE));
    EXPECT_TRUE(view->SelectTrackAt(header(4), FALSE));
    EXPECT_EQ(SelectedTracks(), (std::vector<int>{0, 2, 4}));
    // Without exclusive a selected track leaves the selection.
    EXPECT_TRUE(view->SelectTrackAt(header(0), FALSE));
    EXPECT_EQ(SelectedTracks(), (std::vector<int>{2, 4}));
    EXPECT_TRUE(view->SelectTrackAt(header(4), TRUE));
    EXPECT_EQ(SelectedTracks(), (std::vector<int>{4}));
    EXPECT_TRUE(view->SelectTrackAt(header(1), TRUE));
    EXPECT_EQ(SelectedTracks(), (std::vector<int>{1}));
    // Nothing under the point: nothing changes.
    EXPECT_FALSE(view->SelectTrackAt(CPoint(X(5), 40), TRUE));
    EXPECT_EQ(SelectedTracks(), (std::vector<int>{1}));
}

TEST_F(ViewSelectionTest, MaterialSelectionIsPerContainer) {
    EXPECT_TRUE(view->SelectMaterialAt(CPoint(X(105), RowY(0)), TRUE));
    EXPECT_EQ(SelectedContainers(), (std::vector<int>{3}));
    EXPECT_EQ(view->GetCurContent(), Content(3, 0));
    EXPECT_TRUE(view->IsContentSelected(Content(3, 1)));
    EXPECT_EQ(view->FindContainerOf(Content(3, 1)), body->GetContainerObj(3));

    // The other material of the same container takes the focus; the selection stays.
    EXPECT_TRUE(view->SelectMaterialAt(CPoint(X(150), RowY(0)), TRUE));
    EXPECT_EQ(SelectedContainers(), (std::vector<int>{3}));
    EXPECT_EQ(view->GetCurContent(), Content(3, 1));

    // Without exclusive another container joins; with exclusive it replaces.
    EXPECT_TRUE(view->SelectMaterialAt(CPoint(X(50), RowY(3)), FALSE));
    EXPECT_EQ(SelectedContainers(), (std::vector<int>{3, 7}));
    EXPECT_TRUE(view->SelectMaterialAt(CPoint(X(22), RowY(2)), TRUE));
    EXPECT_EQ(SelectedContainers(), (std::vector<int>{6}));
    EXPECT_EQ(view->GetCurContent(), Content(6, 0));

    // Every change of focus told the navigator, a miss tells it there is none.
    EXPECT_FALSE(view->SelectMaterialAt(CPoint(X(40), RowY(2)), TRUE));
    EXPECT_EQ(NavigatorContents(),
              (std::vector<LPARAM>{reinterpret_cast<LPARAM>(Content(3, 0)),
                                   reinterpret_cast<LPARAM>(Content(3, 1)),
                                   reinterpret_cast<LPARAM>(Content(7, 0)),
                                   reinterpret_cast<LPARAM>(Content(6, 0)), 0}));
    EXPECT_EQ(SelectedContainers(), (std::vector<int>{6}));
}

TEST_F(ViewSelectionTest, ClickingTheCurrentMaterialAgainChangesNothing) {
    ASSERT_TRUE(view->SelectMaterialAt(CPoint(X(50), RowY(0)), TRUE));
    view->UpdateWindow();
    ClearReceived();
    EXPECT_TRUE(view->SelectMaterialAt(CPoint(X(60), RowY(0)), TRUE));
    EXPECT_TRUE(view->GetInvalidRegion().empty());
    EXPECT_TRUE(NavigatorContents().empty());
    EXPECT_EQ(SelectedContainers(), (std::vector<int>{1}));
}

TEST_F(ViewSelectionTest, ClearingTheMaterialsDropsTheFocusAndTheStatus) {
    ASSERT_TRUE(view->SelectMaterialAt(CPoint(X(50), RowY(0)), TRUE));
    view->ShowSelectedSpan();
    ASSERT_NE(dlg->GetWindowText().Find("Entry"), -1);
    view->ClearMaterialSelection();
    EXPECT_TRUE(SelectedContainers().empty());
    EXPECT_EQ(view->GetCurContent(), nullptr);
    EXPECT_EQ(dlg->GetWindowText().Find("Entry"), -1);
}

TEST_F(ViewSelectionTest, SelectAllKeepsTheFocus) {
    ASSERT_TRUE(view->SelectMaterialAt(CPoint(X(22), RowY(2)), TRUE));
    CKelSBContentBaseObj* focus = view->GetCurContent();
    EXPECT_TRUE(view->SelectAllMaterials());
    EXPECT_EQ(SelectedContainers(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(view->GetCurContent(), focus);
}

TEST_F(ViewSelectionTest, SelectAllOfTheSelectedTracksFollowsTheTrackOrder) {
    EXPECT_FALSE(view->SelectAllMaterialsOfSelTracks()); // no track selected

    view->SelectTrackAt(CPoint(60, RowY(4)), TRUE);
    view->SelectTrackAt(CPoint(60, RowY(0)), FALSE);
    // A focus outside those tracks gives way to their first material.
    ASSERT_TRUE(view->SelectMaterialAt(CPoint(X(50), RowY(3)), TRUE));
    EXPECT_TRUE(view->SelectAllMaterialsOfSelTracks());
    EXPECT_EQ(SelectedContainers(), (std::vector<int>{8, 0, 1, 2, 3}));
    EXPECT_EQ(view->GetCurContent(), Content(8, 0));

    // A focus among them stays.
    view->SetCurContent(Content(3, 1));
    EXPECT_TRUE(view->SelectAllMaterialsOfSelTracks());
    EXPECT_EQ(view->GetCurContent(), Content(3, 1));
}

TEST_F(ViewSelectionTest, TheSpanReachesTheLatestOutletOfAContainer) {
    // One container on two tracks whose later-starting material ends first.
    auto* container = new CKelSBContainerObj;
    auto* longer = new CKelSBContentPieceStayObj;
    longer->Init(0, KelSampleGUID(kSampleHeadline), 300, 400, nullptr);
    auto* shorter = new CKelSBContentPieceStayObj;
    shorter->Init(2, KelSampleGUID(kSampleLowerThird), 310, 350, nullptr);
    container->AddContent(longer);
    container->AddContent(shorter);
    body->AddContainer(container);
    body->ResetAllTrackContentList();
    CKelSBBodyAttr attr = body->GetEditAttr();
    attr.nFrameDisplay = 1;
    body->SetEditAttr(attr);

    ASSERT_TRUE(view->SelectMaterialAt(CPoint(X(320), RowY(2)), TRUE));
    view->ShowSelectedSpan();
    const CString caption = dlg->GetWindowText();
    EXPECT_NE(caption.Find(": 300  "), -1) << caption.GetString();
    EXPECT_NE(caption.Find(": 400  "), -1) << caption.GetString();
    EXPECT_NE(caption.Find(" 100   "), -1) << caption.GetString();
}

TEST_F(ViewSelectionTest, CollectedMaterialsAreCopiesWhereTheyAreDrawn) {
    ASSERT_TRUE(view->SelectMaterialAt(CPoint(X(150), RowY(4)), TRUE));
    CKelObList copies;
    EXPECT_EQ(view->CollectSelectedMaterials(copies), 2);
    ASSERT_EQ(copies.GetCount(), 2);
    const auto* first = static_cast<CKelSBContentBaseObj*>(copies.GetHead());
    EXPECT_NE(first, Content(8, 0));
    EXPECT_EQ(first->GetStoryIn(), 140u);
    EXPECT_EQ(first->GetGeometryRect(), view->GetMaterialRect(Content(8, 0)));
}

TEST_F(ViewSelectionTest, PredicatesOfTheMenus) {
    EXPECT_FALSE(view->HasNoContainers());
    EXPECT_FALSE(view->HasNoLockedTrack()); // track 1
    body->GetTrackObj(1)->SetLocked(FALSE);
    EXPECT_TRUE(view->HasNoLockedTrack());
    EXPECT_TRUE(view->SwitchSBBody(1));
    EXPECT_FALSE(view->HasNoContainers());
    EXPECT_EQ(view->FindContainerOf(Content(0, 0)), nullptr); // not of this storyboard
}

} // namespace
} // namespace kel::test
