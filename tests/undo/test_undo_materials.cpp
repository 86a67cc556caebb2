// Material commands where the user-level tests cannot see what the command keeps: an empty
// clip, the order same length takes its shifts back in, the material an edited effect keeps, and
// steps that cannot finish. Each change is undone and redone twice, comparing the scene's bytes.
#include "edit/edit_change.h"
#include "operations/op_arrange.h"
#include "operations/op_materials.h"
#include "operations/op_place.h"
#include "undo/material_cmds.h"
#include "undo/undo_fixture.h"

#include "host/effects/io_effect.h"
#include "host/model_fixtures.h"

namespace kel::test {
namespace {

class MaterialCommandTest : public UndoTest {
protected:
    static CKelIOSoftEffectBaseObj* EffectOf(CKelSBContentBaseObj* pContent) {
        return static_cast<CKelSBContentPieceBaseObj*>(pContent)->GetIOSoftEffect();
    }
};

TEST_F(MaterialCommandTest, AClipWithNothingUnderTheTimeLineStepsWithoutChange) {
    // Nothing under the time line: a command with no entries, whose steps change nothing.
    const std::vector<BYTE> now = Bytes();
    Register(KelSBNewCommand<CKelURSBClipInCmd>(view, IDS_HIST_CLIP_IN));
    Undo();
    Redo();
    EXPECT_EQ(Bytes(), now);
}

// The reference is 20 frames long. X0 [0,10) grows to [0,20) and pushes X1 [12,20) and X2
// [30,35) right by 8; X1, now [20,28), grows to [20,40) and pushes X2, now [38,43), by 2.
TEST_F(MaterialCommandTest, SameLengthTakesItsShiftsBackLastFirst) {
    CKelSBEditObj* pDoc = scene->GetSBEditObj();
    pDoc->AppendSBBody();
    ASSERT_TRUE(view->SwitchSBBody(pDoc->GetCurSBBodyIndex()));
    auto* x0 = MakeContent<CKelSBContentPieceStayObj>(0, 0, 10);
    auto* x1 = MakeContent<CKelSBContentPieceStayObj>(0, 12, 20);
    auto* x2 = MakeContent<CKelSBContentPieceStayObj>(0, 30, 35);
    auto* reference = MakeContent<CKelSBContentPieceStayObj>(1, 0, 20);
    AddContainer(Body(), {x0, x1});
    AddContainer(Body(), {x2});
    AddContainer(Body(), {reference});
    Body().ResetAllTrackContentList();
    const std::vector<BYTE> before = Bytes();

    const std::vector<CKelSBContentBaseObj*> materials = {x1, x0, reference};
    const auto touched =
        kel::operations::SameLength(*view, IDS_HIST_SAME_LENGTH, {Body(), *reference, materials});
    ASSERT_TRUE(touched.has_value());
    EXPECT_EQ(*touched, std::vector<int>{0});
    const kel::edit::SameLengthRecord& record = LastStep<CKelURSBSameLengthCmd>()->m_record;
    EXPECT_EQ(record.resizedStoryIns, (std::vector<DWORD>{0, 20}));
    EXPECT_EQ(record.oldLengths, (std::vector<DWORD>{10, 8}));
    EXPECT_EQ(record.shiftThresholds, (std::vector<DWORD>{20, 40}));
    EXPECT_EQ(record.shiftAmounts, (std::vector<DWORD>{8, 2}));
    ExpectRoundTrip(before, [&] {
        const CKelSBContainerObj* pPair = Container(0);
        EXPECT_EQ(pPair->GetContentObj(1)->GetStoryIn(), 20u);
        EXPECT_EQ(pPair->GetContentObj(1)->GetStoryOut(), 40u);
        EXPECT_EQ(Content(1, 0)->GetStoryIn(), 40u);
    });
}

TEST_F(MaterialCommandTest, AnEditedEffectSwapsWithTheKeptMaterial) {
    const std::vector<BYTE> before = Bytes();
    const auto edit = [&] {
        EffectOf(Content(0, 0))->SetEffectName("Wipe");
        EffectOf(Content(0, 0))->SetDirection(2);
        return 1;
    };
    // An editor that changed nothing leaves no step.
    EXPECT_EQ(kel::operations::EditEffect(*view, IDS_HIST_IO_MODE, scene.get(), {0, 0},
                                          *Content(0, 0), [] { return 0; }),
              0);
    EXPECT_EQ(History().GetStepCount(), 0);
    ASSERT_EQ(kel::operations::EditEffect(*view, IDS_HIST_IO_MODE, scene.get(), {0, 0},
                                          *Content(0, 0), edit),
              1);
    const auto* pCmd = LastStep<CKelURSBIOModeCmd>();
    ExpectRoundTrip(before, [&] {
        EXPECT_EQ(EffectOf(Content(0, 0))->GetEffectName(), CString("Wipe"));
        // The command holds the material as it was, with its piece for when the scene loses it.
        EXPECT_EQ(EffectOf(pCmd->m_pStoredContent.get())->GetEffectName(), CString("Fade"));
        EXPECT_EQ(pCmd->m_pStoredContent->GetAttachedPieceList().GetCount(), 1);
    });
}

TEST_F(MaterialCommandTest, AStepThatCannotFinishChangesNothingAndReportsFailure) {
    // Same length whose first shift back would take Headline In before frame 0, after the
    // second (taken back first) moved the Logo: the Logo is put back.
    auto same = KelSBNewCommand<CKelURSBSameLengthCmd>(view, IDS_HIST_SAME_LENGTH);
    same->m_record.shiftedTracks = {0, 0};
    same->m_record.shiftThresholds = {0, 100};
    same->m_record.shiftAmounts = {50, 5};
    Register(std::move(same));
    const std::vector<BYTE> now = Bytes();
    dlg->UndoRedoSteps(TRUE, 1);
    EXPECT_EQ(Bytes(), now);
    EXPECT_EQ(History().GetStepCount(), 0) << "a failed step clears the history";
    ExpectConsistent("a failed undo");

    // The swap commands and the move: a container that is not there, fewer kept effects than
    // pieces to swap, a track that is not there.
    auto ioMode = KelSBNewCommand<CKelURSBIOModeCmd>(view, IDS_HIST_IO_MODE);
    ioMode->m_nContainerIndex = 12;
    ioMode->m_nContentIndex = 0;
    ioMode->m_pStoredContent.reset(Content(0, 0)->MakeCopy());
    auto fx = KelSBNewCommand<CKelURSBIOSoftFXPasteCmd>(view, IDS_HIST_FX_PASTE);
    fx->m_arrSelectedContainers = {0, 3};
    fx->m_arrEffects[0].emplace_back(new CKelIOSoftEffectInObj);
    auto move = KelSBNewCommand<CKelURSBDragWithinSBCmd>(view, IDS_HIST_MOVE);
    move->m_entries = {{8, 0, 4, 150, 4, 170}, {7, 0, 9, 30, 9, 30}};
    Select({3}, Content(3, 0));
    for (CKelSBEditURBaseCmd* pCmd :
         std::initializer_list<CKelSBEditURBaseCmd*>{ioMode.get(), fx.get(), move.get()}) {
        SCOPED_TRACE(pCmd->GetName().str());
        EXPECT_EQ(pCmd->Undo(), 0);
        EXPECT_EQ(pCmd->Redo(0), 0);
        EXPECT_EQ(Bytes(), now);
        EXPECT_EQ(view->Selection().GetSelContainerIndices(), std::vector<int>{3});
        ExpectConsistent(CString(pCmd->GetName()).str());
    }
}

} // namespace
} // namespace kel::test
