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

TEST_F(ViewHitTest, RowBordersBelongToTheLowerTrack) {
    // Frame 130: the Logo Stay on track 0, nothing on track 1.
    const int x = X(130);
    KelSBHitResult hit;
    EXPECT_EQ(view->Geometry().HitTest(CPoint(x, kTrackTop + kTrackHeight - 1), hit), 1);
    EXPECT_EQ(hit.nTrackIndex, 0);
    EXPECT_EQ(hit.pContent, Content(3, 1));
    EXPECT_EQ(hit.pContainer, body->GetContainerObj(3));
    // The outline spans both Logo materials, one pixel wider and taller than drawn.
    EXPECT_EQ(hit.rcContainerOutline, CRect(X(100), 50, X(212) + 1, 79));
    EXPECT_EQ(hit.rcContent, CRect(X(112), 50, X(212) + 1, 79));

    EXPECT_EQ(view->Geometry().HitTest(CPoint(x, kTrackTop + kTrackHeight), hit), 0);
    EXPECT_EQ(hit.nTrackIndex, 1);
    EXPECT_EQ(hit.pTrack, body->GetTrackObj(1));
    EXPECT_EQ(hit.rcTrackRow, CRect(100, 79, 983, 109));
    EXPECT_EQ(hit.pContent, nullptr);

    // The marker band, the ruler and the headers lie outside every track.
    for (const CPoint point : {CPoint(x, 20), CPoint(x, 40), CPoint(50, RowY(0))}) {
        EXPECT_EQ(view->Geometry().HitTest(point, hit), 1);
        EXPECT_EQ(hit.nTrackIndex, -1);
        EXPECT_EQ(hit.pContent, nullptr);
    }
    // Below the last track: no track, nothing found.
    EXPECT_EQ(view->Geometry().HitTest(CPoint(x, kTrackTop + 5 * kTrackHeight + 2), hit), 0);
    EXPECT_EQ(hit.nTrackIndex, -1);
}

TEST_F(ViewHitTest, EdgesAreThreePixelsInsideTheLeftAndFourInsideTheRight) {
    KelSBTrimCandidate candidate;
    // Headline Stay, frames 10 to 85: x 110 to 185, hit rectangle to 186.
    ASSERT_TRUE(view->Geometry().EdgeTest(CPoint(X(12), RowY(0)), candidate));
    EXPECT_EQ(candidate.pContent, Content(1, 0));
    EXPECT_EQ(candidate.dwEdge, 1u);
    EXPECT_EQ(candidate.nGrabOffset, -2);
    EXPECT_EQ(candidate.dwEdgeFrame, 10u);
    EXPECT_EQ(candidate.rcMaterial, CRect(X(10), 50, X(85), 78));

    KelSBTrimCandidate none;
    EXPECT_FALSE(view->Geometry().EdgeTest(CPoint(X(13), RowY(0)), none));
    EXPECT_FALSE(view->Geometry().EdgeTest(CPoint(X(82), RowY(0)), none));
    EXPECT_EQ(none.pContent, nullptr);

    ASSERT_TRUE(view->Geometry().EdgeTest(CPoint(X(83), RowY(0)), candidate));
    EXPECT_EQ(candidate.dwEdge, 2u);
    EXPECT_EQ(candidate.nGrabOffset, 3);

    // The movie lies on the locked track: no edge to trim.
    EXPECT_FALSE(view->Geometry().EdgeTest(CPoint(X(1), RowY(1)), none));
}

TEST_F(ViewHitTest, ANarrowMaterialIsGrabbedByItsStoryIn) {
    // At 100 frames per unit the Headline In (10 frames) is 3 pixels wide.
    ASSERT_TRUE(body->SetFramesPerUnit(100));
    ASSERT_EQ(view->Geometry().GetMaterialRect(Content(0, 0)).Width(), 3);
    for (int x = 100; x < 103; ++x) {
        KelSBTrimCandidate candidate;
        ASSERT_TRUE(view->Geometry().EdgeTest(CPoint(x, RowY(0)), candidate)) << x;
        EXPECT_EQ(candidate.pContent, Content(0, 0));
        EXPECT_EQ(candidate.dwEdge, 1u) << x;
        EXPECT_EQ(candidate.dwEdgeFrame, 0u);
    }
}

using ViewSelectionTest = ViewInputTest;

TEST_F(ViewSelectionTest, TrackTogglesWithAndWithoutExclusive) {
    const auto header = [](int track) { return CPoint(60, RowY(track)); };
    EXPECT_TRUE(view->Selection().SelectTrackAt(header(0), TRUE));
    EXPECT_EQ(SelectedTracks(), (std::vector<int>{0}));
    // A selected track clicked with exclusive stays the only one.
    EXPECT_TRUE(view->Selection().SelectTrackAt(header(0), TRUE));
    EXPECT_EQ(SelectedTracks(), (std::vector<int>{0}));
    // The track row counts as much as the header.
    EXPECT_TRUE(view->Selection().SelectTrackAt(CPoint(X(300), RowY(2)), FALSE));
    EXPECT_TRUE(view->Selection().SelectTrackAt(header(4), FALSE));
    EXPECT_EQ(SelectedTracks(), (std::vector<int>{0, 2, 4}));
    // Without exclusive a selected track leaves the selection.
    EXPECT_TRUE(view->Selection().SelectTrackAt(header(0), FALSE));
    EXPECT_EQ(SelectedTracks(), (std::vector<int>{2, 4}));
    EXPECT_TRUE(view->Selection().SelectTrackAt(header(4), TRUE));
    EXPECT_EQ(SelectedTracks(), (std::vector<int>{4}));
    EXPECT_TRUE(view->Selection().SelectTrackAt(header(1), TRUE));
    EXPECT_EQ(SelectedTracks(), (std::vector<int>{1}));
    // Nothing under the point: nothing changes.
    EXPECT_FALSE(view->Selection().SelectTrackAt(CPoint(X(5), 40), TRUE));
    EXPECT_EQ(SelectedTracks(), (std::vector<int>{1}));
}

TEST_F(ViewSelectionTest, ClickingTheCurrentMaterialAgainChangesNothing) {
    ASSERT_TRUE(view->Selection().SelectMaterialAt(CPoint(X(50), RowY(0)), TRUE));
    view->UpdateWindow();
    ClearReceived();
    EXPECT_TRUE(view->Selection().SelectMaterialAt(CPoint(X(60), RowY(0)), TRUE));
    EXPECT_TRUE(view->GetInvalidRegion().empty());
    EXPECT_TRUE(NavigatorContents().empty());
    EXPECT_EQ(SelectedContainers(), (std::vector<int>{1}));
}

TEST_F(ViewSelectionTest, SelectAllOfTheSelectedTracksFollowsTheTrackOrder) {
    EXPECT_FALSE(view->Selection().SelectAllMaterialsOfSelTracks()); // no track selected

    view->Selection().SelectTrackAt(CPoint(60, RowY(4)), TRUE);
    view->Selection().SelectTrackAt(CPoint(60, RowY(0)), FALSE);
    // A focus outside those tracks gives way to their first material.
    ASSERT_TRUE(view->Selection().SelectMaterialAt(CPoint(X(50), RowY(3)), TRUE));
    EXPECT_TRUE(view->Selection().SelectAllMaterialsOfSelTracks());
    EXPECT_EQ(SelectedContainers(), (std::vector<int>{8, 0, 1, 2, 3}));
    EXPECT_EQ(view->Selection().GetCurContent(), Content(8, 0));

    // A focus among them stays.
    view->Selection().SetCurContent(Content(3, 1));
    EXPECT_TRUE(view->Selection().SelectAllMaterialsOfSelTracks());
    EXPECT_EQ(view->Selection().GetCurContent(), Content(3, 1));
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

    ASSERT_TRUE(view->Selection().SelectMaterialAt(CPoint(X(320), RowY(2)), TRUE));
    view->Selection().ShowSelectedSpan();
    const CString caption = dlg->GetWindowText();
    EXPECT_NE(caption.Find(": 300  "), -1) << caption.GetString();
    EXPECT_NE(caption.Find(": 400  "), -1) << caption.GetString();
    EXPECT_NE(caption.Find(" 100   "), -1) << caption.GetString();
}

TEST_F(ViewSelectionTest, CollectedMaterialsAreCopiesWhereTheyAreDrawn) {
    ASSERT_TRUE(view->Selection().SelectMaterialAt(CPoint(X(150), RowY(4)), TRUE));
    CKelObList copies;
    EXPECT_EQ(view->Selection().CollectSelectedMaterials(copies), 2);
    ASSERT_EQ(copies.GetCount(), 2);
    const auto* first = static_cast<CKelSBContentBaseObj*>(copies.GetHead());
    EXPECT_NE(first, Content(8, 0));
    EXPECT_EQ(first->GetStoryIn(), 140u);
    EXPECT_EQ(first->GetGeometryRect(), view->Geometry().GetMaterialRect(Content(8, 0)));
}

} // namespace
} // namespace kel::test
