// Container commands whose undo the user-level tests cannot reach: an add told more than it
// added, and materials dragged in from outside with what they pushed. Each change is made as
// the operation makes it, then undone and redone twice, comparing the scene's bytes.
#include "edit/edit_change.h"
#include "undo/container_cmds.h"
#include "undo/undo_fixture.h"

#include "host/model_fixtures.h"

namespace kel::test {
namespace {

using ContainerCommandTest = UndoTest;

// ---- The host's items -------------------------------------------------------------------------

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
