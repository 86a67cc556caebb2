// Track commands and the storyboard properties: each change made as the track menu makes it,
// registered, then undone and redone twice with the scene's bytes compared at every step.
#include "undo/track_cmds.h"
#include "undo/undo_fixture.h"

#include <algorithm>

namespace kel::test {
namespace {

using TrackCommandTest = UndoTest;

TEST_F(TrackCommandTest, AppendAndInsertAreTakenBackByTheirIndex) {
    std::vector<BYTE> before = Bytes();
    ASSERT_TRUE(Body().AppendTrack());
    auto append = KelSBNewCommand<CKelURSBAppendTrackCmd>(view, IDS_HIST_APPEND_TRACK);
    append->m_nTrackIndex = Body().GetTrackCount() - 1;
    Register(std::move(append));
    ExpectRoundTrip(before, [&] { EXPECT_EQ(Body().GetTrackCount(), 6); });

    // Inserting at 1 moves the materials of tracks 1 and below down; undo moves them back.
    before = Bytes();
    ASSERT_TRUE(Body().InsertTrack(1));
    auto insert = KelSBNewCommand<CKelURSBInsertTrackCmd>(view, IDS_HIST_INSERT_TRACK);
    insert->m_nTrackIndex = 1;
    Register(std::move(insert));
    ExpectRoundTrip(before, [&] {
        EXPECT_EQ(Content(4, 0)->GetTrackIndex(), 2);
        EXPECT_FALSE(Body().GetTrackObj(1)->HasContentObj());
    });
}

TEST_F(TrackCommandTest, AMovedTrackIsFollowedByItsIndex) {
    // Track 2 up: its materials (container 6) go with it.
    std::vector<BYTE> before = Bytes();
    ASSERT_TRUE(Body().MoveTrack(2, 0));
    auto up = KelSBNewCommand<CKelURSBMoveupTrackCmd>(view, IDS_HIST_MOVE_UP_TRACK);
    up->m_nTrackIndex = 1;
    CKelURSBMoveupTrackCmd* pUp = Register(std::move(up));
    ExpectRoundTrip(before, [&] {
        EXPECT_EQ(pUp->m_nTrackIndex, 1);
        EXPECT_EQ(Content(6, 0)->GetTrackIndex(), 1);
        EXPECT_TRUE(Body().GetTrackObj(2)->IsLocked());
    });

    before = Bytes();
    ASSERT_TRUE(Body().MoveTrack(3, 1));
    auto down = KelSBNewCommand<CKelURSBMovedownTrackCmd>(view, IDS_HIST_MOVE_DOWN_TRACK);
    down->m_nTrackIndex = 4;
    CKelURSBMovedownTrackCmd* pDown = Register(std::move(down));
    ExpectRoundTrip(before, [&] {
        EXPECT_EQ(pDown->m_nTrackIndex, 4);
        EXPECT_EQ(Content(7, 0)->GetTrackIndex(), 4);
    });
}

TEST_F(TrackCommandTest, AnAddedTrackLockedOrSilencedComesBackSoFromARedo) {
    // The flags change without a step: append (or insert) a track, lock it and stop its play,
    // undo and redo: the document is the one before the undo.
    for (bool bAppend : {true, false}) {
        SCOPED_TRACE(bAppend ? "append" : "insert");
        const int nTrack = bAppend ? Body().GetTrackCount() : 2;
        if (bAppend) {
            ASSERT_TRUE(Body().AppendTrack());
            auto cmd = KelSBNewCommand<CKelURSBAppendTrackCmd>(view, IDS_HIST_APPEND_TRACK);
            cmd->m_nTrackIndex = nTrack;
            Register(std::move(cmd));
        } else {
            ASSERT_TRUE(Body().InsertTrack(nTrack));
            auto cmd = KelSBNewCommand<CKelURSBInsertTrackCmd>(view, IDS_HIST_INSERT_TRACK);
            cmd->m_nTrackIndex = nTrack;
            Register(std::move(cmd));
        }
        view->FullViewReset();
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
    auto cmd = KelSBNewCommand<CKelURSBDeleteTrackCmd>(view, IDS_HIST_DELETE_TRACK);
    ASSERT_EQ(cmd->Record(3), 1);
    Register(std::move(cmd));
    ASSERT_TRUE(Body().DeleteTrack(3));
    view->FullViewReset();
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
    const std::vector<BYTE> before = Bytes();
    auto cmd = KelSBNewCommand<CKelURSBDeleteTrackCmd>(view, IDS_HIST_DELETE_TRACK);
    ASSERT_EQ(cmd->Record(2), 1);
    // Only the track's own containers are kept; container 6 keeps a material on track 4.
    const std::vector<int>& kept = cmd->m_removed.containerIndices;
    EXPECT_LT(kept.size(), static_cast<std::size_t>(Body().GetContainerCount()));
    EXPECT_NE(std::find(kept.begin(), kept.end(), 6), kept.end());
    EXPECT_EQ(cmd->m_removed.survivors, std::vector<int>{6});
    Register(std::move(cmd));
    ASSERT_TRUE(Body().DeleteTrack(2));
    view->FullViewReset();
    ExpectRoundTrip(before, [&] {
        EXPECT_EQ(Body().GetTrackCount(), 4);
        ASSERT_EQ(Container(6)->GetContentCount(), 1);
        EXPECT_EQ(Content(6, 0)->GetTrackIndex(), 3);
    });

    // The last track: undo appends it again.
    const std::vector<BYTE> beforeLast = Bytes();
    auto last = KelSBNewCommand<CKelURSBDeleteTrackCmd>(view, IDS_HIST_DELETE_TRACK);
    ASSERT_EQ(last->Record(3), 1);
    Register(std::move(last));
    ASSERT_TRUE(Body().DeleteTrack(3));
    view->FullViewReset();
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
    auto cmd = KelSBNewCommand<CKelURSBDeleteTrackCmd>(view, IDS_HIST_DELETE_TRACK);
    ASSERT_EQ(cmd->Record(0), 1);
    EXPECT_EQ(cmd->m_removed.containerIndices, (std::vector<int>{0, 1, 2, 3, 9}));
    EXPECT_EQ(cmd->m_removed.survivors, (std::vector<int>{3, 9}));
    CKelURSBDeleteTrackCmd* pCmd = Register(std::move(cmd));
    ASSERT_TRUE(Body().DeleteTrack(0));
    view->FullViewReset();
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

TEST_F(TrackCommandTest, ACutTrackComesBackWhereItWasAndStaysOnTheClipboard) {
    CKelObList& clipboard = scene->GetSBEditObj()->GetTrackClipboard();
    const std::vector<BYTE> before = Bytes();
    auto cmd = KelSBNewCommand<CKelURSBCutTrackCmd>(view, IDS_HIST_CUT_TRACK);
    ASSERT_EQ(cmd->Record(0), 1);
    EXPECT_EQ(cmd->m_removed.nTrackIndex, 0);
    Register(std::move(cmd));
    clipboard.DeleteAll();
    ASSERT_TRUE(Body().CutTrack(clipboard, 0));
    view->FullViewReset();
    // The track and a container for each of its four.
    auto clipboardHoldsTheTrack = [&] {
        ASSERT_EQ(clipboard.GetCount(), 5);
        EXPECT_NE(dynamic_cast<CKelSBTrackObj*>(clipboard.GetHead()), nullptr);
    };
    ExpectRoundTrip(before, [&] {
        EXPECT_EQ(Body().GetTrackCount(), 4);
        EXPECT_EQ(Body().GetContainerCount(), 5);
        clipboardHoldsTheTrack();
    });
    Undo();
    clipboardHoldsTheTrack();

    // Without its index a cut could not be put back in its place: the command refuses.
    Redo();
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
    CKelObList& clipboard = scene->GetSBEditObj()->GetTrackClipboard();
    ASSERT_TRUE(Body().CopyTrack(clipboard, 2));
    // Pasted twice, each one step.
    for (int nTrack : {4, 0}) {
        SCOPED_TRACE(nTrack);
        const std::vector<BYTE> before = Bytes();
        ASSERT_TRUE(Body().PasteTrack(clipboard, scene->GetPieceList(), nTrack));
        auto cmd = KelSBNewCommand<CKelURSBPasteTrackCmd>(view, IDS_HIST_PASTE_TRACK);
        cmd->m_nTrackIndex = nTrack;
        Register(std::move(cmd));
        view->FullViewReset();
        const int nContainers = Body().GetContainerCount();
        ExpectRoundTrip(before, [&] {
            EXPECT_EQ(Body().GetContainerCount(), nContainers);
            EXPECT_EQ(Body().GetTrackObj(nTrack)->GetContentCount(), 2);
            EXPECT_FALSE(Body().GetTrackObj(nTrack)->IsPlayAllowed());
        });
    }
    EXPECT_EQ(clipboard.GetCount(), 2);
}

TEST_F(TrackCommandTest, PropertiesSwapBackAndForth) {
    const std::vector<BYTE> before = Bytes();
    auto cmd = KelSBNewCommand<CKelURSBSettingsCmd>(view, IDS_HIST_SETTINGS);
    ASSERT_EQ(cmd->Record(), 1);
    CKelSBBodyAttr attr = Body().GetEditAttr();
    attr.strName = "Late News";
    attr.nFrameDisplay = 1;
    attr.nTrackHeight = 44;
    attr.nPlayRangeOnly = 1;
    attr.dwRangeStart = 25;
    attr.dwRangeEnd = 75;
    Body().SetEditAttr(attr);
    Register(std::move(cmd));
    ExpectRoundTrip(before, [&] { EXPECT_EQ(Body().GetEditAttr(), attr); });
    Undo();
    EXPECT_EQ(Body().GetName(), CString("News"));
}

} // namespace
} // namespace kel::test
