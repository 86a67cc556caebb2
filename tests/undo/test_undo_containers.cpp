// Container commands: merge, split, the host's items put on the storyboard, deleting containers
// (with their ripple) and materials dragged in from outside. Each test makes the change through
// its operation where there is one, else as the operation does, and undoes and redoes it twice,
// comparing the scene's bytes at every step.
#include "edit/edit_change.h"
#include "operations/op_arrange.h"
#include "operations/op_materials.h"
#include "undo/container_cmds.h"
#include "undo/undo_fixture.h"

#include "host/model_fixtures.h"
#include "host/undo/ur_snapshot_store.h"

namespace kel::test {
namespace {

class ContainerCommandTest : public UndoTest {
protected:
    // Deletes the selected containers as the editor's delete does.
    CKelURSBDeleteContainerCmd* DeleteSelected() {
        EXPECT_TRUE(kel::operations::DeleteContainers(*view, IDS_HIST_DELETE, Body(),
                                                      view->Selection().GetCurFocus(),
                                                      view->Selection().GetSelContainerIndices())
                        .has_value());
        return LastStep<CKelURSBDeleteContainerCmd>();
    }
    // Deletes containers 5 and 2, with Ticker current.
    CKelURSBDeleteContainerCmd* DeleteTwoAndFive() {
        Select({5, 2}, Content(5, 0));
        return DeleteSelected();
    }
    std::vector<DWORD> StoryIns(int nTrack) const {
        std::vector<DWORD> ins;
        for (const auto& [track, in] : TrackRow(Body(), nTrack))
            ins.push_back(in);
        return ins;
    }
};

// ---- Merge and split --------------------------------------------------------------------------

TEST_F(ContainerCommandTest, AMergeUndoneAndRedoneKeepsItsMaterialOrder) {
    // Selected in this order: container 6 receives, then 0's and 7's materials follow.
    Select({6, 0, 7}, Content(0, 0));
    const std::vector<BYTE> before = Bytes();
    CKelSBContainerObj* pReceiver = kel::operations::MergeMaterials(
        *view, IDS_HIST_MERGE, Body(), view->Selection().GetCurFocus(), {6, 0, 7});
    ASSERT_NE(pReceiver, nullptr);
    ASSERT_EQ(Container(5), pReceiver);
    EXPECT_EQ(view->Selection().GetSelContainerIndices(), std::vector<int>{5});

    ExpectRoundTrip(before, [&] {
        ASSERT_EQ(Container(5)->GetContentCount(), 4);
        EXPECT_EQ(Content(5, 1)->GetStoryIn(), 60u); // its own Lower Third Out
        EXPECT_EQ(Content(5, 2)->GetStoryIn(), 0u);  // then Headline In
        EXPECT_EQ(Content(5, 3)->GetStoryIn(), 30u); // then the orphan
        EXPECT_EQ(view->Selection().GetSelContainerIndices(), std::vector<int>{5});
        EXPECT_EQ(view->Selection().GetCurFocus(), (kel::edit::Focus{5, 2}));
    });
    Undo();
    EXPECT_TRUE(view->Selection().GetSelContainerList().IsEmpty());
}

TEST_F(ContainerCommandTest, ASplitReplaysItsOrderAndLeavesSingleMaterialsAlone) {
    Select({8, 3, 0}, Content(3, 0));
    const std::vector<BYTE> before = Bytes();
    const auto added = kel::operations::SplitMaterials(*view, IDS_HIST_SPLIT, Body(),
                                                       view->Selection().GetCurFocus(), {8, 3, 0});
    ASSERT_TRUE(added);
    EXPECT_EQ(added->size(), 2u);
    EXPECT_EQ(view->Selection().GetSelContainerIndicesInSelectionOrder(),
              (std::vector<int>{8, 3, 0, 9, 10}));

    ExpectRoundTrip(before, [&] {
        ASSERT_EQ(Body().GetContainerCount(), 11);
        EXPECT_EQ(Content(9, 0)->GetStoryIn(), 190u);  // Lower Third Out, split first
        EXPECT_EQ(Content(10, 0)->GetStoryIn(), 112u); // then Logo Stay
        EXPECT_EQ(Container(0)->GetContentCount(), 1);
    });
}

// ---- The host's items -------------------------------------------------------------------------

TEST_F(ContainerCommandTest, ItemsPutOnTheStoryboardGoAndComeWithTheirTracks) {
    view->Selection().GetSelTrackList().AddTail(Body().GetTrackObj(1));
    Select({2}, Content(2, 0));
    const std::vector<BYTE> before = Bytes();
    // Registered first, with where the items will go: Headline and Logo, In, Stay and Out, on
    // new tracks inserted at the selected track 1.
    auto cmd = KelSBNewCommand<CKelURSBAddItemToSBCmd>(view, IDS_HIST_ADD_ITEMS_IN_STAY_OUT);
    cmd->m_focus = view->Selection().GetCurFocus();
    cmd->m_arrSelectedContainers = view->Selection().GetSelContainerIndices();
    cmd->m_nFirstAddedTrack = 1;
    cmd->m_nAddedTrackCount = 2;
    cmd->m_nFirstAddedContainer = Body().GetContainerCount();
    Register(std::move(cmd));
    view->Selection().GetSelTrackList().RemoveAll();
    Select({});
    int nTrack = 1;
    for (unsigned nPiece : {kSampleHeadline, kSampleLogo}) {
        ASSERT_TRUE(Body().InsertTrack(nTrack));
        view->Selection().GetSelTrackList().AddTail(Body().GetTrackObj(nTrack));
        const CKelPlayBaseObj* pPiece = scene->FindPieceByGUID(KelSampleGUID(nPiece));
        const DWORD dwIn = pPiece->GetPlayDuration(0);
        const DWORD dwStay = dwIn + pPiece->GetPlayDuration(1);
        CKelSBContentBaseObj* pIn = NewPhase<CKelSBContentPieceInObj>(nPiece, nTrack, 0, dwIn);
        for (CKelSBContentBaseObj* p :
             {pIn,
              static_cast<CKelSBContentBaseObj*>(
                  NewPhase<CKelSBContentPieceStayObj>(nPiece, nTrack, dwIn, dwStay)),
              static_cast<CKelSBContentBaseObj*>(NewPhase<CKelSBContentPieceOutObj>(
                  nPiece, nTrack, dwStay, dwStay + pPiece->GetPlayDuration(2)))})
            view->Selection().GetSelContainerList().AddTail(Append({p}));
        if (view->Selection().GetCurContent() == nullptr)
            view->Selection().SetCurContent(pIn);
        ++nTrack;
    }
    Body().ResetAllTrackContentList();

    ExpectRoundTrip(before, [&] {
        EXPECT_EQ(Body().GetTrackCount(), 7);
        EXPECT_EQ(view->Selection().GetSelContainerIndices(),
                  (std::vector<int>{9, 10, 11, 12, 13, 14}));
        EXPECT_EQ(view->Selection().GetCurFocus(), (kel::edit::Focus{9, 0}));
        EXPECT_EQ(view->Selection().GetSelTrackList().GetCount(), 2);
        EXPECT_EQ(Content(4, 0)->GetTrackIndex(), 3); // the movie, below the new tracks
    });
    Undo();
    EXPECT_EQ(view->Selection().GetSelContainerIndices(), std::vector<int>{2});
    EXPECT_EQ(view->Selection().GetCurFocus(), (kel::edit::Focus{2, 0}));
    ASSERT_EQ(view->Selection().GetSelTrackList().GetCount(), 1);
    EXPECT_EQ(view->Selection().GetSelTrackList().GetHead(), Body().GetTrackObj(0));
}

TEST_F(ContainerCommandTest, AnAddThatStoppedEarlyTakesOutOnlyWhatItAdded) {
    const std::vector<BYTE> before = Bytes();
    auto cmd = KelSBNewCommand<CKelURSBAddItemToSBCmd>(view, IDS_HIST_ADD_ITEMS_IN);
    cmd->m_nFirstAddedTrack = 1;
    cmd->m_nAddedTrackCount = 2;
    cmd->m_nFirstAddedContainer = Body().GetContainerCount();
    CKelURSBAddItemToSBCmd* pCmd = Register(std::move(cmd));
    // One item went on; the second stopped the add.
    ASSERT_TRUE(Body().InsertTrack(1));
    Append({NewPhase<CKelSBContentPieceInObj>(kSampleHeadline, 1, 0, 10)});
    Body().ResetAllTrackContentList();
    const std::vector<BYTE> added = Bytes();

    // Told two tracks, undo would take the movie's track too: it refuses and changes nothing.
    EXPECT_EQ(pCmd->Undo(), 0);
    EXPECT_EQ(Bytes(), added);
    ExpectConsistent("a refused undo");
    // Told what was really added, it takes out exactly that.
    pCmd->m_nAddedTrackCount = 1;
    ExpectRoundTrip(before, [&] { EXPECT_EQ(Body().GetTrackCount(), 6); });
}

// ---- Deleting containers ----------------------------------------------------------------------

TEST_F(ContainerCommandTest, UndoingADeleteOfTwoAndFivePutsBothBackWhereTheyWere) {
    const std::vector<BYTE> before = Bytes();
    const DWORD dwTickerIn = Content(5, 0)->GetStoryIn();
    ASSERT_NE(Content(2, 0)->GetIcon(), nullptr);
    ASSERT_NE(Content(5, 0)->GetIcon(), nullptr);
    DeleteTwoAndFive();
    ExpectRoundTrip(before, [&] {
        EXPECT_EQ(Body().GetContainerCount(), 7);
        EXPECT_TRUE(view->Selection().GetSelContainerList().IsEmpty());
    });
    Undo();
    EXPECT_EQ(Content(2, 0)->GetStoryIn(), 85u);
    EXPECT_EQ(Content(5, 0)->GetStoryIn(), dwTickerIn);
    EXPECT_EQ(view->Selection().GetSelContainerIndices(), (std::vector<int>{2, 5}));
    EXPECT_EQ(view->Selection().GetCurFocus(), (kel::edit::Focus{5, 0}));
    // They show their pieces' pictures at once, not only after the next full refresh.
    EXPECT_NE(Content(2, 0)->GetIcon(), nullptr);
    EXPECT_NE(Content(5, 0)->GetIcon(), nullptr);
}

// Ripple: deleting Headline In [0,10) closes its gap (Stay and all after it move left 10);
// then Headline Stay, now [0,75), closes its own (Out and all after move left 75).
TEST_F(ContainerCommandTest, ARippleDeleteMovesTheRestOfTheTrackBackOnUndo) {
    Body().SetDeleteMode(1);
    Select({0, 1}, Content(0, 0));
    const std::vector<BYTE> before = Bytes();
    CKelURSBDeleteContainerCmd* pCmd = DeleteSelected();
    ASSERT_NE(pCmd, nullptr);
    EXPECT_EQ(pCmd->m_arrRippleShifts.size(), 2u);

    ExpectRoundTrip(before, [&] { EXPECT_EQ(StoryIns(0), (std::vector<DWORD>{0, 15, 27})); });
    Undo();
    EXPECT_EQ(StoryIns(0), (std::vector<DWORD>{0, 10, 85, 100, 112}));
}

TEST_F(ContainerCommandTest, ADeleteWhoseSnapshotsCannotBeWrittenLosesNothing) {
    const std::vector<BYTE> before = Bytes();
    CKelURSBDeleteContainerCmd* pCmd = nullptr;
    {
        FullDisk full;
        pCmd = DeleteTwoAndFive();
    }
    EXPECT_TRUE(pCmd->IsSnapshotInMemory(1, 0));
    EXPECT_TRUE(pCmd->IsSnapshotInMemory(1, 1));
    ExpectRoundTrip(before);
}

TEST_F(ContainerCommandTest, AnUnreadableSnapshotChangesNothingAndReportsFailure) {
    for (bool bDamaged : {true, false}) {
        SCOPED_TRACE(bDamaged ? "damaged" : "missing");
        CKelURSBDeleteContainerCmd* pCmd = DeleteTwoAndFive();
        const CString strKey = pCmd->GetSnapshotFiles(1)[1];
        if (bDamaged)
            kel::host::WriteURSnapshot(strKey, std::vector<BYTE>{'K', 'E', 'L', 'A'});
        else
            kel::host::EraseURSnapshot(strKey);
        const std::vector<BYTE> deleted = Bytes();
        dlg->UndoRedoSteps(TRUE, 1);
        EXPECT_EQ(Bytes(), deleted);
        EXPECT_EQ(History().GetStepCount(), 0) << "a failed step clears the history";
        ExpectConsistent("a failed undo");
    }
}

// ---- Dragging in from outside -----------------------------------------------------------------

TEST_F(ContainerCommandTest, ADragInGoesBackWithWhatItPushed) {
    struct Case {
        DWORD dwDrop;
        int nShift;
        DWORD dwThreshold;
    };
    // At 135 the new material [135,145) pushes Lower Third Stay (at 140) and Out by 5; at 200
    // nothing is in the way.
    for (const Case& c : {Case{135, 5, 140}, Case{200, 0, 0xFFFFFFFFu}}) {
        SCOPED_TRACE(c.dwDrop);
        Select({2}, Content(2, 0));
        const std::vector<BYTE> before = Bytes();
        auto cmd = KelSBNewCommand<CKelURSBDragFromOutCmd>(view, IDS_HIST_DRAG_IN);
        cmd->m_arrSelectedContainers = view->Selection().GetSelContainerIndices();
        cmd->m_focus = view->Selection().GetCurFocus();
        kel::edit::ChangeJournal journal;
        ASSERT_TRUE(kel::edit::ShiftTrackFrom(Body(), 4, c.dwThreshold, c.nShift, journal));
        journal.Commit();
        Select({});
        CKelSBContentBaseObj* pDropped =
            NewPhase<CKelSBContentPieceInObj>(kSampleHeadline, 4, c.dwDrop, c.dwDrop + 10);
        CKelSBContainerObj* pNew = Append({pDropped});
        Select({Body().GetContainerCount() - 1}, pDropped);
        Body().ResetAllTrackContentList();
        cmd->m_nShift = c.nShift;
        cmd->m_nDropTrack = 4;
        cmd->m_dwShiftThreshold = c.dwThreshold;
        cmd->m_nFirstNewContainer = Body().GetContainerCount() - 1;
        cmd->m_nNewContainerCount = 1;
        Register(std::move(cmd));
        const int nNew = Body().GetContainerCount() - 1;
        ASSERT_EQ(Container(nNew), pNew);

        const DWORD dwStayIn = 140 + static_cast<DWORD>(c.nShift);
        ExpectRoundTrip(before, [&] {
            EXPECT_EQ(Content(8, 0)->GetStoryIn(), dwStayIn);
            EXPECT_EQ(view->Selection().GetSelContainerIndices(), std::vector<int>{nNew});
            EXPECT_EQ(view->Selection().GetCurFocus(), (kel::edit::Focus{nNew, 0}));
        });
        Undo();
        EXPECT_EQ(Content(8, 0)->GetStoryIn(), 140u);
        EXPECT_EQ(view->Selection().GetSelContainerIndices(), std::vector<int>{2});
        EXPECT_EQ(view->Selection().GetCurFocus(), (kel::edit::Focus{2, 0}));
    }
}

} // namespace
} // namespace kel::test
