// An add of the host's items told more than it added: its undo must take out only what it
// added. (The container commands' round trips are the editing and gesture tests'.)
#include "undo/container_cmds.h"
#include "undo/undo_fixture.h"

#include "host/model_fixtures.h"

namespace kel::test {
namespace {

using ContainerCommandTest = UndoTest;

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

} // namespace
} // namespace kel::test
