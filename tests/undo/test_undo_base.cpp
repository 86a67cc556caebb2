// The command base and its snapshot store, the registration sequence, and the consistency check.
#include "undo/track_cmds.h"
#include "undo/undo_fixture.h"

#include "host/model_fixtures.h"
#include "host/scene/play_piece.h"
#include "host/scene/play_scene.h"
#include "host/services/public_helpers.h"
#include "host/undo/ur_snapshot_store.h"
#include "platform/file_faults.h"

#include <cerrno>

namespace kel::test {
namespace {

// The store as the commands use it, without a change of its own.
class StoreCmd : public CKelSBEditURBaseCmd {
public:
    using CKelSBEditURBaseCmd::CKelSBEditURBaseCmd;
};

std::size_t SnapshotCount() {
    return kel::host::GetURSnapshotUsage().entries;
}

class UndoBaseTest : public UndoTest {
protected:
    StoreCmd* NewStore() { return new StoreCmd(view, IDS_HIST_DELETE, "Delete Objects"); }
};

// ---- Snapshot store ---------------------------------------------------------------------------

TEST_F(UndoBaseTest, SnapshotRestoresAtItsIndexOrAtTheEndAsANewObjectEachTime) {
    std::unique_ptr<StoreCmd> cmd(NewStore());
    CKelSBContainerObj* pLogo = Container(3);
    ASSERT_EQ(cmd->SaveContainerSnapshot(*pLogo, scene.get(), 1), 1);
    // The container stays with the storyboard, without the piece copies the snapshot carries.
    EXPECT_EQ(Container(3), pLogo);
    EXPECT_TRUE(pLogo->GetContentObj(0)->GetAttachedPieceList().IsEmpty());
    ASSERT_EQ(cmd->GetSnapshotCount(1), 1);
    const CString strFile = cmd->GetSnapshotFiles(1)[0];
    EXPECT_TRUE(kel::host::HasURSnapshot(strFile));

    CKelObList list;
    list.AddTail(new CKelSBContainerObj);
    list.AddTail(new CKelSBContainerObj);
    EXPECT_EQ(cmd->RestoreObjectSnapshot(strFile, &list, 1), 1);
    EXPECT_EQ(cmd->RestoreObjectSnapshot(strFile, &list, 2), 1);  // the count of the list is 3
    EXPECT_EQ(cmd->RestoreObjectSnapshot(strFile, &list, 40), 1); // past the end: appended
    ASSERT_EQ(list.GetCount(), 5);
    const auto* pAtOne = dynamic_cast<CKelSBContainerObj*>(list.GetAtIndex(1));
    const auto* pAtEnd = dynamic_cast<CKelSBContainerObj*>(list.GetAtIndex(4));
    ASSERT_NE(pAtOne, nullptr);
    ASSERT_NE(pAtEnd, nullptr);
    EXPECT_NE(pAtOne, pAtEnd);
    ASSERT_EQ(pAtEnd->GetContentCount(), 2);
    EXPECT_EQ(pAtEnd->GetContentObj(1)->GetStoryIn(), 112u);
    EXPECT_EQ(pAtEnd->GetContentObj(0)->GetAttachedPieceList().GetCount(), 1);
    EXPECT_EQ(dynamic_cast<CKelSBContainerObj*>(list.GetAtIndex(0))->GetContentCount(), 0);
}

TEST_F(UndoBaseTest, APieceThatLeavesTheSceneComesBackWithEveryMaterialThatUsesIt) {
    std::unique_ptr<StoreCmd> cmd(NewStore());
    CKelSBContainerObj& logo = *Container(3); // two materials of one piece
    const KelGUID guid = logo.GetContentObj(0)->GetGUID();
    ASSERT_EQ(logo.GetContentObj(1)->GetGUID(), guid);
    ASSERT_EQ(cmd->SaveContainerSnapshot(logo, scene.get(), 1), 1);

    CKelObList& pieces = *scene->GetPieceList();
    CKelPlayBaseObj* pPiece = scene->FindPieceByGUID(guid);
    ASSERT_NE(pPiece, nullptr);
    const CString strName = pPiece->GetName();
    pieces.RemoveAt(pieces.Find(pPiece));
    std::unique_ptr<CKelPlayBaseObj> gone(pPiece);
    std::vector<std::unique_ptr<CKelSBContainerObj>> containers;
    ASSERT_TRUE(cmd->LoadContainerSnapshots(1, containers, scene.get()));
    ASSERT_EQ(containers.size(), 1u);
    for (INT_PTR m = 0; m < 2; ++m) {
        const CObList& attached = containers[0]->GetContentObj(m)->GetAttachedPieceList();
        ASSERT_EQ(attached.GetCount(), 1) << m;
        EXPECT_EQ(static_cast<const CKelPlayBaseObj*>(attached.GetHead())->GetName(), strName);
        EXPECT_NE(attached.GetHead(), pPiece);
    }
    // Back in the scene, the piece needs no copy.
    pieces.AddTail(gone.release());
    ASSERT_TRUE(cmd->LoadContainerSnapshots(1, containers, scene.get()));
    EXPECT_TRUE(containers[0]->GetContentObj(0)->GetAttachedPieceList().IsEmpty());
}

TEST_F(UndoBaseTest, SnapshotsGoWithClearingAndWithTheCommandAndNoOtherIsTouched) {
    const std::size_t nBefore = SnapshotCount();
    { std::unique_ptr<StoreCmd> unused(NewStore()); }
    EXPECT_EQ(SnapshotCount(), nBefore);

    std::unique_ptr<StoreCmd> cmd(NewStore());
    cmd->SaveContainerSnapshot(*Container(0), scene.get(), 1);
    cmd->SaveContainerSnapshot(*Container(1), scene.get(), 1);
    cmd->SaveContainerSnapshot(*Container(2), scene.get(), 0);
    const CString strFirst0 = cmd->GetSnapshotFiles(1)[0];
    const CString strFirst1 = cmd->GetSnapshotFiles(1)[1];
    const CString strSecond = cmd->GetSnapshotFiles(0)[0];
    // A snapshot already gone from the store is only dropped from the list.
    kel::host::EraseURSnapshot(strFirst0);
    EXPECT_EQ(cmd->ClearSnapshotFiles(1), 1);
    EXPECT_EQ(cmd->GetSnapshotCount(1), 0);
    EXPECT_FALSE(kel::host::HasURSnapshot(strFirst1));
    EXPECT_TRUE(kel::host::HasURSnapshot(strSecond));
    cmd.reset();
    EXPECT_FALSE(kel::host::HasURSnapshot(strSecond));
    EXPECT_EQ(SnapshotCount(), nBefore);
}

TEST_F(UndoBaseTest, WhatTheHistoryKeepsIsCountedAndGoesWithIt) {
    const std::size_t nEmpty = History().GetHeldBytes();
    Select({0, 3, 6}, Content(3, 0));
    ASSERT_EQ(view->DeleteSelectedMaterials(), 1);
    const auto* pCmd = dynamic_cast<const CKelSBEditURBaseCmd*>(History().GetCommand(0));
    ASSERT_NE(pCmd, nullptr);
    std::size_t nSnapshots = 0;
    for (int i = 0; i < pCmd->GetSnapshotCount(1); ++i)
        nSnapshots += kel::host::GetURSnapshotSize(pCmd->GetSnapshotFiles(1)[i]);
    EXPECT_GT(nSnapshots, 0u);
    // The snapshots and the piece copies that go with them, once each.
    EXPECT_GT(History().GetHeldBytes(), nEmpty + nSnapshots);
    History().ClearHistory();
    EXPECT_EQ(History().GetHeldBytes(), nEmpty);
}

TEST_F(UndoBaseTest, NothingIsRestoredWithoutAnOwnerOrFromADamagedMissingOrUnreadableSnapshot) {
    std::unique_ptr<StoreCmd> cmd(NewStore());
    cmd->SaveContainerSnapshot(*Container(3), scene.get(), 1);
    const CString strFile = cmd->GetSnapshotFiles(1)[0];
    CKelObList list;

    StoreCmd ownerless(nullptr, IDS_HIST_DELETE, "Delete Objects");
    EXPECT_EQ(ownerless.RestoreObjectSnapshot(strFile, &list, 0), 0);

    {
        ASSERT_TRUE(kel::host::FlushURSnapshots()); // read from the disk, not from memory
        kel::platform::SetFileFaultHook([](kel::platform::FileOp op, const char*) {
            return op == kel::platform::FileOp::read ? EIO : 0;
        });
        const int nRestored = cmd->RestoreObjectSnapshot(strFile, &list, 0);
        kel::platform::SetFileFaultHook({});
        EXPECT_EQ(nRestored, 0);
    }
    const std::string damaged = "KELA and then nothing a container would be made of";
    ASSERT_TRUE(
        kel::host::WriteURSnapshot(strFile, std::vector<BYTE>(damaged.begin(), damaged.end())));
    EXPECT_EQ(cmd->RestoreObjectSnapshot(strFile, &list, 0), 0);
    EXPECT_EQ(cmd->LoadSnapshot(1, 0), nullptr);
    kel::host::EraseURSnapshot(strFile);
    EXPECT_EQ(cmd->RestoreObjectSnapshot(strFile, &list, 0), 0);
    EXPECT_TRUE(list.IsEmpty());
}

TEST_F(UndoBaseTest, ASnapshotThatCannotBeWrittenIsKeptInMemory) {
    const std::size_t nBefore = SnapshotCount();
    {
        std::unique_ptr<StoreCmd> cmd(NewStore());
        {
            FullDisk full;
            EXPECT_EQ(cmd->SaveContainerSnapshot(*Container(3), scene.get(), 1), 1);
        }
        ASSERT_EQ(cmd->GetSnapshotCount(1), 1);
        EXPECT_TRUE(cmd->IsSnapshotInMemory(1, 0));
        EXPECT_TRUE(cmd->GetSnapshotFiles(1)[0].IsEmpty());
        EXPECT_EQ(SnapshotCount(), nBefore) << "a half-written entry was left behind";
        // Read back twice: two objects, each the container as saved, with its piece copies.
        std::unique_ptr<CObject> pFirst = cmd->LoadSnapshot(1, 0);
        std::unique_ptr<CObject> pSecond = cmd->LoadSnapshot(1, 0);
        const auto* pContainer = dynamic_cast<CKelSBContainerObj*>(pFirst.get());
        ASSERT_NE(pContainer, nullptr);
        EXPECT_NE(pFirst, pSecond);
        ASSERT_EQ(pContainer->GetContentCount(), 2);
        EXPECT_EQ(pContainer->GetContentObj(0)->GetStoryIn(), 100u);
        EXPECT_EQ(pContainer->GetContentObj(0)->GetAttachedPieceList().GetCount(), 1);
    }
}

// ---- Registration -----------------------------------------------------------------------------

TEST_F(UndoBaseTest, RegistrationTellsTheHistoryPanelAroundAddingTheCommand) {
    ASSERT_TRUE(Body().AppendTrack());
    auto cmd = KelSBNewCommand<CKelURSBAppendTrackCmd>(view, IDS_HIST_APPEND_TRACK);
    EXPECT_EQ(cmd->GetName(), CString("Append Subtitle Track"));
    EXPECT_EQ(cmd->GetId(), static_cast<unsigned>(IDS_HIST_APPEND_TRACK));
    cmd->m_nTrackIndex = Body().GetTrackCount() - 1;
    Register(std::move(cmd));

    const auto updates = history.Named(WM_CG_UPDATE_HISTORY);
    ASSERT_EQ(updates.size(), 2u);
    EXPECT_EQ(updates[0].wParam, KEL_UR_HISTORY_SHOW);
    EXPECT_EQ(updates[1].wParam, KEL_UR_HISTORY_ADDED);
    for (const ReceivedMessage& m : updates)
        EXPECT_EQ(m.lParam, reinterpret_cast<LPARAM>(&History()));
    EXPECT_EQ(History().GetUndoStepCount(), 1);

    // Without a storyboard the command is destroyed, not kept anywhere.
    KelSBSetCurScene(nullptr);
    EXPECT_EQ(KelSBRegisterCommand(
                  view, KelSBNewCommand<CKelURSBAppendTrackCmd>(view, IDS_HIST_APPEND_TRACK)),
              0);
}

TEST_F(UndoBaseTest, CommandsOutliveTheViewThatRecordedThem) {
    const std::vector<BYTE> before = Bytes();
    ASSERT_TRUE(Body().MoveTrack(0, 1));
    auto cmd = KelSBNewCommand<CKelURSBMovedownTrackCmd>(view, IDS_HIST_MOVE_DOWN_TRACK);
    cmd->m_nTrackIndex = 1;
    Register(std::move(cmd));
    const std::vector<BYTE> after = Bytes();

    // The host creates the dialog window again: a new view, the old one destroyed.
    const CKelSBEditView* pOldView = view;
    ASSERT_NE(KelSBEditCreateDlg(&parent), nullptr);
    KelSBSetItemEditWnd(&itemEdit);
    KelSBSetCurScene(scene.get());
    view = dlg->GetView();
    ASSERT_NE(view, nullptr);
    if (view != pOldView) {
        EXPECT_FALSE(CKelSBEditView::IsLiveView(pOldView));
    }
    Undo();
    EXPECT_EQ(Bytes(), before);
    Redo();
    EXPECT_EQ(Bytes(), after);
    ExpectConsistent("undo and redo in the new view");
}

TEST_F(UndoBaseTest, AnOperationIsCheckedOnceItHasBroughtEverythingUpToDate) {
    {
        // Like a delete: the container goes, the command is registered, and only then are the
        // track lists rebuilt.
        KelSBEditScope operation(*view);
        Body().GetContainerList().DeleteAt(Body().GetContainerList().FindIndex(7));
        auto cmd = KelSBNewCommand<CKelURSBAppendTrackCmd>(view, IDS_HIST_APPEND_TRACK);
        EXPECT_EQ(KelSBRegisterCommand(view, std::move(cmd)), 1);
        Body().ResetAllTrackContentList();
    }
    ExpectConsistent("the operation");
#ifndef NDEBUG
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            Body().GetContainerList().DeleteAt(Body().GetContainerList().FindIndex(0));
            view->DebugCheck("a test");
        },
        "inconsistent storyboard after a test");
#endif
}

// ---- Consistency check ------------------------------------------------------------------------

bool Mentions(const std::vector<std::string>& problems, const std::string& text) {
    for (const std::string& problem : problems) {
        if (problem.find(text) != std::string::npos)
            return true;
    }
    return false;
}

TEST_F(UndoBaseTest, TheCheckFindsWhatCommandsMustNeverLeaveBehind) {
    // Track lists that still name the materials of a container that went.
    Body().GetContainerList().DeleteAt(Body().GetContainerList().FindIndex(7));
    EXPECT_TRUE(Mentions(view->CheckConsistency(), "track 3: content list does not match"));
    Body().ResetAllTrackContentList();
    EXPECT_TRUE(view->CheckConsistency().empty());

    // A selection that names a container of no storyboard, a current material outside it.
    CKelSBContainerObj stranger;
    view->Selection().GetSelContainerList().AddTail(&stranger);
    EXPECT_TRUE(Mentions(view->CheckConsistency(), "not a container of the storyboard"));
    Select({0}, Content(3, 1));
    EXPECT_TRUE(Mentions(view->CheckConsistency(), "current material lies outside the selection"));
    Select({});

    // Overlaps on a track, which only the full check reports; a material on no track.
    auto* pOverlap = NewPhase<CKelSBContentPieceInObj>(kSampleLogo, 0, 5, 15);
    AddContainer(Body(), {pOverlap});
    EXPECT_TRUE(Mentions(view->CheckConsistency(), "track 0: materials overlap at frame 5"));
    EXPECT_TRUE(view->CheckConsistency(false).empty());
    pOverlap->SetTrackIndex(9);
    EXPECT_TRUE(Mentions(view->CheckConsistency(false), "lies on missing track 9"));
}

} // namespace
} // namespace kel::test
