// Storyboards: derived track lists, key points, track operations and their clipboard.
#include "model_fixtures.h"

#include "host/base/kel_item.h"
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"

#include <gtest/gtest.h>
#include <memory>

using kel::test::AddContainer;
using kel::test::MakeContent;
using kel::test::TrackRow;
using Row = std::vector<std::pair<int, DWORD>>;

namespace {

// Track 0: [0,10) [30,40) [60,70) in two containers; track 1: [20,50); track 2: [5,8).
void Fill(CKelSBBodyObj& body) {
    AddContainer(body, {MakeContent<CKelSBContentPieceInObj>(0, 60, 70),
                        MakeContent<CKelSBContentPieceStayObj>(1, 20, 50)});
    AddContainer(body, {MakeContent<CKelSBContentPieceOutObj>(0, 30, 40),
                        MakeContent<CKelSBContentPieceInObj>(0, 0, 10)});
    AddContainer(body, {MakeContent<CKelSBContentMovieObj>(2, 5, 8)});
}

} // namespace

TEST(ModelStoryboard, TrackListsFollowTimeAcrossContainers) {
    CKelSBBodyObj body;
    EXPECT_EQ(body.GetDuration(), 0u);
    Fill(body);
    EXPECT_EQ(TrackRow(body, 0), (Row{{0, 0}, {0, 30}, {0, 60}}));
    EXPECT_EQ(TrackRow(body, 1), (Row{{1, 20}}));
    EXPECT_EQ(TrackRow(body, 3), Row{});
    EXPECT_EQ(body.GetDuration(), 70u);

    // Moving a material changes the order only once the lists are rebuilt.
    body.GetTrackObj(0)->GetContentObj(0)->SetStoryIn(80, 1);
    EXPECT_EQ(body.GetDuration(), 90u);
    body.ResetAllTrackContentList();
    EXPECT_EQ(TrackRow(body, 0), (Row{{0, 30}, {0, 60}, {0, 80}}));

    // A material on a track that does not exist is not listed, and validation drops it
    // together with its emptied container; a material whose piece is unknown stays.
    AddContainer(body, {MakeContent<CKelSBContentPieceInObj>(9, 0, 5)});
    CKelObList pieces;
    EXPECT_EQ(body.ValidateContainerList(&pieces), 2);
    EXPECT_EQ(body.GetContainerCount(), 3);
    EXPECT_EQ(TrackRow(body, 0).size(), 3u);
}

TEST(ModelStoryboard, KeyPointsStepBetweenEdgesAndStopAtBothEnds) {
    CKelSBBodyObj body;
    // Empty storyboard: only frame 0 is a key point.
    body.SetTimeLinePos(0);
    EXPECT_EQ(body.GetNewTimeLinePos(1), 0u);
    EXPECT_EQ(body.GetNewTimeLinePos(0), 0u);

    Fill(body);
    body.SetTimeLinePos(25);
    EXPECT_EQ(body.GetNewTimeLinePos(1), 20u);
    EXPECT_EQ(body.GetNewTimeLinePos(0), 30u);
    body.SetTimeLinePos(30); // on a key point: the neighbours, not itself
    EXPECT_EQ(body.GetNewTimeLinePos(1), 20u);
    EXPECT_EQ(body.GetNewTimeLinePos(0), 40u);

    body.SetTimeLinePos(0);
    EXPECT_EQ(body.GetNewTimeLinePos(1), 0u);
    body.SetTimeLinePos(70);
    EXPECT_EQ(body.GetNewTimeLinePos(0), 70u);
    body.SetTimeLinePos(500); // beyond the end: back to the last edge, never further on
    EXPECT_EQ(body.GetNewTimeLinePos(0), 500u);
    EXPECT_EQ(body.GetNewTimeLinePos(1), 70u);

    // Points follow materials changed since the last rebuild.
    body.GetTrackObj(1)->GetContentObj(0)->SetStoryOut(600, 0);
    EXPECT_EQ(body.GetNewTimeLinePos(0), 600u);
}

TEST(ModelStoryboard, InsertDeleteAndMoveRenumberMaterials) {
    CKelSBBodyObj body;
    Fill(body);
    body.GetTrackObj(1)->SetLocked(TRUE);

    ASSERT_EQ(body.InsertTrack(1), 1);
    EXPECT_EQ(body.GetTrackCount(), 5);
    EXPECT_EQ(TrackRow(body, 0).size(), 3u);
    EXPECT_EQ(TrackRow(body, 1), Row{});
    EXPECT_EQ(TrackRow(body, 2), (Row{{2, 20}}));
    EXPECT_TRUE(body.GetTrackObj(2)->IsLocked());
    EXPECT_EQ(TrackRow(body, 3), (Row{{3, 5}}));

    ASSERT_EQ(body.MoveTrack(2, 1), 1); // the locked track and its material go down together
    EXPECT_TRUE(body.GetTrackObj(3)->IsLocked());
    EXPECT_EQ(TrackRow(body, 3), (Row{{3, 20}}));
    EXPECT_EQ(TrackRow(body, 2), (Row{{2, 5}}));
    ASSERT_EQ(body.MoveTrack(3, 0), 1);
    EXPECT_EQ(TrackRow(body, 2), (Row{{2, 20}}));
    EXPECT_EQ(body.MoveTrack(0, 0), 0);
    EXPECT_EQ(body.MoveTrack(4, 1), 0);
    EXPECT_EQ(body.MoveTrack(1, 2), 0);

    // Deleting track 0 removes its three materials; the first container keeps its other
    // material, the second is left empty and goes.
    ASSERT_EQ(body.DeleteTrack(0), 1);
    EXPECT_EQ(body.GetTrackCount(), 4);
    EXPECT_EQ(body.GetContainerCount(), 2);
    EXPECT_EQ(TrackRow(body, 1), (Row{{1, 20}}));
    EXPECT_EQ(TrackRow(body, 2), (Row{{2, 5}}));
    EXPECT_EQ(body.DeleteTrack(4), 0);
    EXPECT_EQ(body.InsertTrack(5), 0);
    EXPECT_EQ(body.InsertTrack(-1), 0);
}

TEST(ModelStoryboard, TrackCountStopsAtTheLimit) {
    CKelSBBodyObj body;
    while (body.GetTrackCount() < CKelSBBodyObj::kMaxTrackCount)
        ASSERT_EQ(body.AppendTrack(), 1);
    EXPECT_EQ(body.AppendTrack(), 0);
    EXPECT_EQ(body.InsertTrack(0), 0);
    CKelObList clipboard;
    ASSERT_EQ(body.CopyTrack(clipboard, 0), 1);
    EXPECT_EQ(body.PasteTrack(clipboard, nullptr, 0), 0);
    EXPECT_EQ(body.GetTrackCount(), CKelSBBodyObj::kMaxTrackCount);
}

TEST(ModelStoryboard, CutCopyPasteTrackKeepsTheClipboardForRepeatedPastes) {
    CKelSBBodyObj body;
    Fill(body);
    body.GetTrackObj(0)->SetPlayAllowed(FALSE);
    CKelObList clipboard;

    ASSERT_EQ(body.CutTrack(clipboard, 0), 1);
    EXPECT_EQ(body.GetTrackCount(), 3);
    EXPECT_EQ(TrackRow(body, 0), (Row{{0, 20}}));
    EXPECT_EQ(body.GetContainerCount(), 2);

    // Pasted at index 1: the track goes between, materials below move down.
    ASSERT_EQ(body.PasteTrack(clipboard, nullptr, 1), 1);
    EXPECT_EQ(TrackRow(body, 1), (Row{{1, 0}, {1, 30}, {1, 60}}));
    EXPECT_FALSE(body.GetTrackObj(1)->IsPlayAllowed());
    EXPECT_EQ(TrackRow(body, 2), (Row{{2, 5}}));
    ASSERT_EQ(body.PasteTrack(clipboard, nullptr, 4), 1);
    EXPECT_EQ(TrackRow(body, 4), (Row{{4, 0}, {4, 30}, {4, 60}}));
    // The two materials that shared a container still do, per paste.
    EXPECT_EQ(body.GetContainerCount(), 2 + 2 + 2);

    // Pasted materials are copies: changing one touches neither the clipboard nor the other.
    body.GetTrackObj(1)->GetContentObj(0)->Move(1000);
    body.ResetAllTrackContentList();
    EXPECT_EQ(TrackRow(body, 4), (Row{{4, 0}, {4, 30}, {4, 60}}));
    ASSERT_EQ(body.PasteTrack(clipboard, nullptr, 0), 1);
    EXPECT_EQ(TrackRow(body, 0), (Row{{0, 0}, {0, 30}, {0, 60}}));

    // Copying a track adds to what the caller keeps; an empty list pastes nothing.
    CKelObList empty;
    EXPECT_EQ(body.PasteTrack(empty, nullptr, 0), 0);
    EXPECT_EQ(body.CopyTrack(clipboard, 99), 0);
}

TEST(ModelStoryboard, IconsComeFromTheSceneElseFromAttachedCopies) {
    struct Picture : CKelItemBaseObj {
        DWORD colour = 0;
        BOOL MakeThumbnail(CKelMemBlock& block) const override {
            block.Init(1, 1, &colour);
            return TRUE;
        }
    };
    CKelSBBodyObj body;
    auto* pInScene = new Picture;
    pInScene->colour = 0xFF0000FFu;
    CKelObList pieces;
    pieces.AddTail(pInScene);

    auto* pShown = MakeContent<CKelSBContentPieceInObj>(0, 0, 10);
    pShown->SetGUID(pInScene->GetGUID());
    auto* pGone = MakeContent<CKelSBContentPieceInObj>(1, 0, 10);
    auto* pAttached = new Picture;
    pAttached->colour = 0xFF00FF00u;
    pAttached->SetGUID(pGone->GetGUID());
    pGone->GetAttachedPieceList().AddTail(pAttached);
    auto* pBare = MakeContent<CKelSBContentPieceInObj>(2, 0, 10);
    AddContainer(body, {pShown, pGone, pBare});

    body.UpdateContentIcon(&pieces);
    ASSERT_NE(pShown->GetIcon(), nullptr);
    EXPECT_EQ(pShown->GetIcon()->GetPixel(0, 0), 0xFF0000FFu);
    ASSERT_NE(pGone->GetIcon(), nullptr);
    EXPECT_EQ(pGone->GetIcon()->GetPixel(0, 0), 0xFF00FF00u);
    EXPECT_EQ(pBare->GetIcon(), nullptr);

    // The materials of one piece share its icon; a changed thumbnail reaches all of them at
    // the next update, and a copy made before keeps the icon it had.
    auto* pAgain = MakeContent<CKelSBContentPieceInObj>(3, 0, 10);
    pAgain->SetGUID(pInScene->GetGUID());
    AddContainer(body, {pAgain});
    body.UpdateContentIcon(&pieces);
    EXPECT_EQ(pAgain->GetIcon(), pShown->GetIcon());
    std::unique_ptr<CKelSBContentBaseObj> copy(pShown->MakeCopy());
    pInScene->colour = 0xFFFF0000u;
    body.UpdateContentIcon(&pieces);
    EXPECT_EQ(pShown->GetIcon()->GetPixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(pAgain->GetIcon()->GetPixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(copy->GetIcon()->GetPixel(0, 0), 0xFF0000FFu);
}
