// Track commands and the storyboard properties: each change made by its operation, then undone
// and redone twice with the scene's bytes compared and the checker run at every step.
#include "operations/op_tracks.h"
#include "undo/track_cmds.h"
#include "undo/undo_fixture.h"

#include <algorithm>

namespace kel::test {
namespace {

class TrackCommandTest : public UndoTest {
protected:
    CKelSBEditObj& Document() const { return *scene->GetSBEditObj(); }
    bool Remove(int nTrack, bool bCut) {
        return kel::operations::RemoveTrack(*view,
                                            bCut ? IDS_HIST_CUT_TRACK : IDS_HIST_DELETE_TRACK,
                                            Body(), Document(), nTrack, bCut);
    }
};

TEST_F(TrackCommandTest, AnAddedTrackLockedOrSilencedComesBackSoFromARedo) {
    // The flags change without a step: append (or insert) a track, lock it and stop its play,
    // undo and redo: the document is the one before the undo.
    for (bool bAppend : {true, false}) {
        SCOPED_TRACE(bAppend ? "append" : "insert");
        const int nTrack = bAppend ? Body().GetTrackCount() : 2;
        if (bAppend)
            ASSERT_EQ(kel::operations::AppendTrack(*view, IDS_HIST_APPEND_TRACK, Body()), nTrack);
        else
            ASSERT_TRUE(kel::operations::InsertTrack(*view, IDS_HIST_INSERT_TRACK, Body(), nTrack));
        ExpectConsistent("the change");
        Body().GetTrackObj(nTrack)->SetLocked(TRUE);
        Body().GetTrackObj(nTrack)->SetPlayAllowed(FALSE);
        const std::vector<BYTE> flagged = Bytes();
        Undo();
        ExpectConsistent("undo");
        Redo();
        ExpectConsistent("redo");
        EXPECT_TRUE(Body().GetTrackObj(nTrack)->IsLocked());
        EXPECT_FALSE(Body().GetTrackObj(nTrack)->IsPlayAllowed());
        EXPECT_EQ(Bytes(), flagged);
    }
}

TEST_F(TrackCommandTest, ATrackLockedAfterAnUndoComesBackLockedFromTheNextUndo) {
    // Locking a track is no step of the history. Delete track 3, undo, lock it: redoing the
    // delete and undoing it again must give back the locked track, as it was before the redo.
    ASSERT_TRUE(Remove(3, false));
    Undo();
    const BOOL bWasLocked = Body().GetTrackObj(3)->IsLocked();
    Body().GetTrackObj(3)->SetLocked(!bWasLocked);
    const std::vector<BYTE> flipped = Bytes();
    Redo();
    Undo();
    EXPECT_EQ(Body().GetTrackObj(3)->IsLocked(), !bWasLocked);
    EXPECT_EQ(Bytes(), flipped);
}

TEST_F(TrackCommandTest, DeletingATrackComesBackWithEveryContainerAsItWas) {
    // Container 6 spans tracks 2 and 4: deleting track 2 takes one of its materials.
    Content(6, 1)->SetTrackIndex(4);
    Body().ResetAllTrackContentList();
    Select({6}, Content(6, 0));
    const int nContainers = Body().GetContainerCount();
    const std::vector<BYTE> before = Bytes();
    ASSERT_TRUE(Remove(2, false));
    // Only the track's own containers are kept; container 6 keeps a material on track 4.
    const KelSBRemovedTrack& removed = LastStep<CKelURSBDeleteTrackCmd>()->m_removed;
    EXPECT_LT(removed.containerIndices.size(), static_cast<std::size_t>(nContainers));
    EXPECT_NE(std::find(removed.containerIndices.begin(), removed.containerIndices.end(), 6),
              removed.containerIndices.end());
    EXPECT_EQ(removed.survivors, std::vector<int>{6});
    // The selection named a container that lost a material: it is emptied.
    EXPECT_TRUE(view->Selection().GetSelContainerList().IsEmpty());
    EXPECT_EQ(view->Selection().GetCurContent(), nullptr);
    ExpectRoundTrip(before, [&] {
        EXPECT_EQ(Body().GetTrackCount(), 4);
        ASSERT_EQ(Container(6)->GetContentCount(), 1);
        EXPECT_EQ(Content(6, 0)->GetTrackIndex(), 3);
    });

    // The last track: undo appends it again.
    const std::vector<BYTE> beforeLast = Bytes();
    ASSERT_TRUE(Remove(3, false));
    ExpectRoundTrip(beforeLast, [&] { EXPECT_EQ(Body().GetTrackCount(), 3); });
}

TEST_F(TrackCommandTest, ContainersThatOutliveTheirTrackGoBackBetweenThoseThatWent) {
    // Track 0 holds containers 0 to 3; container 3 also has a material on track 3, and a last
    // container spans tracks 0 and 4, so survivors stand after containers that go.
    Content(3, 1)->SetTrackIndex(3);
    Append({NewPhase<CKelSBContentPieceStayObj>(kSampleLogo, 0, 300, 320),
            NewPhase<CKelSBContentPieceStayObj>(kSampleLogo, 4, 300, 320)});
    Body().ResetAllTrackContentList();
    const std::vector<BYTE> before = Bytes();
    ASSERT_TRUE(Remove(0, false));
    auto* pCmd = LastStep<CKelURSBDeleteTrackCmd>();
    EXPECT_EQ(pCmd->m_removed.containerIndices, (std::vector<int>{0, 1, 2, 3, 9}));
    EXPECT_EQ(pCmd->m_removed.survivors, (std::vector<int>{3, 9}));
    ExpectRoundTrip(before, [&] { EXPECT_EQ(Body().GetContainerCount(), 7); });

    // A storyboard that no longer has the containers the delete left is not guessed at.
    auto pStray = std::make_unique<CKelSBContainerObj>();
    pStray->AddContent(NewPhase<CKelSBContentPieceStayObj>(kSampleLogo, 1, 400, 410));
    kel::edit::InsertContainerAt(Body(), 0, std::move(pStray));
    Body().ResetAllTrackContentList();
    const std::vector<BYTE> strayed = Bytes();
    EXPECT_EQ(pCmd->Undo(), 0);
    EXPECT_EQ(Bytes(), strayed);
    ExpectConsistent("a refused undo");
}

TEST_F(TrackCommandTest, ACutWithoutItsIndexIsNotPutBack) {
    // Without its index a cut could not be put back in its place: the command refuses.
    auto lost = KelSBNewCommand<CKelURSBCutTrackCmd>(view, IDS_HIST_CUT_TRACK);
    ASSERT_EQ(lost->Record(-1), 1);
    CKelURSBCutTrackCmd* pLost = Register(std::move(lost));
    const std::vector<BYTE> now = Bytes();
    EXPECT_EQ(pLost->Undo(), 0);
    EXPECT_EQ(Bytes(), now);
    ExpectConsistent("a refused undo");
}

TEST_F(TrackCommandTest, APastedTrackComesAndGoesWithItsContainersAndSettings) {
    // Track 2 is kept off the air; its copies are too.
    CKelObList& clipboard = Document().GetTrackClipboard();
    ASSERT_TRUE(kel::operations::CopyTrack(Body(), Document(), 2));
    // Pasted twice, each one step.
    for (int nTrack : {4, 0}) {
        SCOPED_TRACE(nTrack);
        const std::vector<BYTE> before = Bytes();
        ASSERT_TRUE(kel::operations::PasteTrack(*view, IDS_HIST_PASTE_TRACK, Body(), Document(),
                                                scene->GetPieceList(), nTrack));
        const int nContainers = Body().GetContainerCount();
        ExpectRoundTrip(before, [&] {
            EXPECT_EQ(Body().GetContainerCount(), nContainers);
            EXPECT_EQ(Body().GetTrackObj(nTrack)->GetContentCount(), 2);
            EXPECT_FALSE(Body().GetTrackObj(nTrack)->IsPlayAllowed());
        });
    }
    EXPECT_EQ(clipboard.GetCount(), 2);
}

} // namespace
} // namespace kel::test
