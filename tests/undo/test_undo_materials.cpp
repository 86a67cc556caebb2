// Material commands: trims, clips, closed gaps, same length, moves, In/Out mode and FX paste.
// Each test makes the change through its operation (or, where the view decides what changes, as
// the operation does, registering the command), and undoes and redoes it twice, comparing the
// scene's bytes and checking consistency at every step.
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

TEST_F(MaterialCommandTest, ATrimmedEndGoesBackAndForth) {
    struct Case {
        int nContainer, nSide;
        DWORD dwFrom, dwTo;
    };
    for (const Case& c : {Case{3, 1, 100, 96}, Case{2, 2, 95, 96}}) {
        SCOPED_TRACE(c.nSide);
        const std::vector<BYTE> before = Bytes();
        kel::edit::TrimEdge edge;
        edge.pContent = Content(c.nContainer, 0);
        edge.dwEdge = static_cast<DWORD>(c.nSide);
        edge.dwUpperBound = kel::edit::TrimUpperLimit();
        const auto change =
            kel::operations::ChangeLength(*view, IDS_HIST_CHANGE_LENGTH, Body(), edge, c.dwTo);
        ASSERT_TRUE(change.has_value());
        EXPECT_EQ(change->nTrack, 0);
        EXPECT_EQ(change->dwOld, c.dwFrom);
        ExpectRoundTrip(before, [&] {
            const CKelSBContentBaseObj* p = Content(c.nContainer, 0);
            EXPECT_EQ(c.nSide == 1 ? p->GetStoryIn() : p->GetStoryOut(), c.dwTo);
            EXPECT_EQ(EffectOf(Content(c.nContainer, 0))->GetPlayDuration(), p->GetDuration());
        });
    }
}

TEST_F(MaterialCommandTest, ClipsAtTheTimeLineGoBackAndForthTrackByTrack) {
    for (int bInPoint : {1, 0}) {
        SCOPED_TRACE(bInPoint);
        const DWORD dwTimeLine = bInPoint ? 40 : 50;
        Body().SetTimeLinePos(dwTimeLine);
        const std::vector<BYTE> before = Bytes();
        ASSERT_TRUE(kel::operations::ClipAtTimeLine(
            *view, bInPoint ? IDS_HIST_CLIP_IN : IDS_HIST_CLIP_OUT, *scene, Body(), bInPoint));
        // Every unlocked track with a material under the time line.
        const KelSBClipRecord& record = bInPoint ? LastStep<CKelURSBClipInCmd>()->m_clip
                                                 : LastStep<CKelURSBClipOutCmd>()->m_clip;
        EXPECT_EQ(record.bInPoint, bInPoint);
        EXPECT_EQ(record.frames.tracks, (std::vector<int>{0, 3}));
        ExpectRoundTrip(before, [&] {
            const DWORD dwEnd =
                bInPoint ? Content(1, 0)->GetStoryIn() : Content(1, 0)->GetStoryOut();
            EXPECT_EQ(dwEnd, dwTimeLine);
            EXPECT_EQ(Content(4, 0)->GetStoryIn(), 0u); // the locked track's movie
        });
    }

    // Nothing under the time line: a command with no entries, whose steps change nothing.
    const std::vector<BYTE> now = Bytes();
    Register(KelSBNewCommand<CKelURSBClipInCmd>(view, IDS_HIST_CLIP_IN));
    Undo();
    Redo();
    EXPECT_EQ(Bytes(), now);
}

TEST_F(MaterialCommandTest, ClosedSpaceOpensAgainForTheMaterialsAfterItOnly) {
    struct Case {
        int nTrack, nFrame;
        DWORD dwOld, dwNew;
    };
    for (const Case& c : {Case{4, 50, 140, 0}, Case{0, 97, 100, 95}}) {
        SCOPED_TRACE(c.nTrack);
        const std::vector<BYTE> before = Bytes();
        ASSERT_TRUE(
            kel::operations::DeleteSpace(*view, IDS_HIST_DELETE_SPACE, Body(), c.nTrack, c.nFrame));
        const auto* pCmd = LastStep<CKelURSBDeleteSpaceCmd>();
        EXPECT_EQ(pCmd->m_dwOldFrame, c.dwOld);
        EXPECT_EQ(pCmd->m_dwNewFrame, c.dwNew);
        ExpectRoundTrip(before, [&] {
            EXPECT_EQ(Content(2, 0)->GetStoryIn(), 85u); // before the gap on track 0: stays
        });
    }
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

    const auto touched = kel::operations::SameLength(*view, IDS_HIST_SAME_LENGTH, Body(),
                                                     *reference, {x1, x0, reference});
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

TEST_F(MaterialCommandTest, AMoveGoesBackWithThePushedMaterialsAndTheSelection) {
    // The orphan of track 3 dropped on track 4 at 120 pushes both materials there by 30.
    CKelSBContentBaseObj* pOrphan = Content(7, 0);
    Select({7}, pOrphan);
    const std::vector<BYTE> before = Bytes();
    pOrphan->SetTrackIndex(4);
    pOrphan->SetStoryIn(120, 1);
    Content(8, 0)->Move(30);
    Content(8, 1)->Move(30);
    Body().ResetAllTrackContentList();
    auto cmd = KelSBNewCommand<CKelURSBDragWithinSBCmd>(view, IDS_HIST_MOVE);
    cmd->m_focus = {7, 0};
    cmd->m_arrSelectedContainers = {7};
    cmd->m_entries = {{7, 0, 3, 30, 4, 120}, {8, 0, 4, 140, 4, 170}, {8, 1, 4, 190, 4, 220}};
    Register(std::move(cmd));
    auto selectionIsTheMovedMaterial = [&] {
        EXPECT_EQ(view->Selection().GetSelContainerIndices(), std::vector<int>{7});
        EXPECT_EQ(view->Selection().GetCurFocus(), (kel::edit::Focus{7, 0}));
    };
    ExpectRoundTrip(before, [&] {
        EXPECT_EQ(Content(7, 0)->GetTrackIndex(), 4);
        EXPECT_EQ(Content(8, 1)->GetStoryIn(), 220u);
        selectionIsTheMovedMaterial();
    });
    Undo();
    selectionIsTheMovedMaterial();
    EXPECT_EQ(Content(7, 0)->GetTrackIndex(), 3);
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

TEST_F(MaterialCommandTest, PastedEffectsSwapKindByKindAndLeaveOtherKindsAlone) {
    CKelIOSoftEffectInObj inEffect;
    inEffect.SetEffectName("Wipe");
    inEffect.SetPlayDuration(7);
    inEffect.SetDirection(3);
    CKelIOSoftEffectStayObj stayEffect;
    stayEffect.SetEffectName("Fade");
    Select({0, 1, 3, 8}, Content(3, 1));
    const std::vector<BYTE> before = Bytes();
    auto cmd = KelSBNewCommand<CKelURSBIOSoftFXPasteCmd>(view, IDS_HIST_FX_PASTE);
    cmd->m_focus = view->Selection().GetCurFocus();
    cmd->m_arrSelectedContainers = view->Selection().GetSelContainerIndices();
    // As the paste does, in selection order; the Out clipboard is empty.
    for (int c : cmd->m_arrSelectedContainers) {
        for (INT_PTR m = 0; m < Container(c)->GetContentCount(); ++m) {
            CKelIOSoftEffectBaseObj* pEffect = EffectOf(Content(c, static_cast<int>(m)));
            const int nPhase = pEffect->GetIOState();
            if (nPhase == 2)
                continue;
            cmd->m_arrEffects[nPhase].emplace_back(pEffect->MakeCopy());
            cmd->m_arrTargets[nPhase].push_back({c, static_cast<int>(m)});
            *pEffect = nPhase == 0 ? static_cast<CKelIOSoftEffectBaseObj&>(inEffect) : stayEffect;
        }
    }
    EXPECT_EQ(cmd->m_arrEffects[0].size(), 2u);
    EXPECT_EQ(cmd->m_arrEffects[1].size(), 3u);
    Register(std::move(cmd));
    ExpectRoundTrip(before, [&] {
        EXPECT_EQ(EffectOf(Content(3, 0))->GetEffectName(), CString("Wipe"));
        EXPECT_EQ(EffectOf(Content(3, 0))->GetPlayDuration(), 7u);
        EXPECT_EQ(EffectOf(Content(8, 0))->GetEffectName(), CString("Fade"));
        EXPECT_EQ(EffectOf(Content(8, 1))->GetPlayDuration(), 8u); // an Out piece: untouched
    });
    // Every swap ends with an empty selection.
    EXPECT_TRUE(view->Selection().GetSelContainerList().IsEmpty());
    EXPECT_EQ(view->Selection().GetCurContent(), nullptr);
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
