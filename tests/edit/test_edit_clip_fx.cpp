// Clipping at the time line and FX copy and paste, run as the user runs them.
#include "edit/edit_fixture.h"

#include "host/effects/io_effect.h"

namespace kel::test {
namespace {

class ClipFXTest : public EditTest {
protected:
    CKelIOSoftEffectBaseObj* EffectOf(int nContainer, int nContent) const {
        return static_cast<CKelSBContentPieceBaseObj*>(Content(nContainer, nContent))
            ->GetIOSoftEffect();
    }
    CKelSBEditObj& Doc() const { return *scene->GetSBEditObj(); }
};

// ---- Clip at the time line --------------------------------------------------------------------

TEST_F(ClipFXTest, ClippingCutsTheMaterialUnderTheTimeLineOnEveryUnlockedTrack) {
    Body().SetTimeLinePos(40);
    // Headline Stay [10,85) on track 0, the orphan [30,80) on track 3; the locked Opening stays.
    ExpectOneStep([&] { return view->ClipAtTimeLine(1); }, "Cut Materials Entry Point On Time Line",
                  [&] {
                      EXPECT_EQ(Content(1, 0)->GetStoryIn(), 40u);
                      EXPECT_EQ(Content(7, 0)->GetStoryIn(), 40u);
                      EXPECT_EQ(EffectOf(1, 0)->GetPlayDuration(), 45u);
                  });
    Body().SetTimeLinePos(60);
    ExpectOneStep([&] { return view->ClipAtTimeLine(0); },
                  "Cut Materials Outlet Point On Time Line",
                  [&] {
                      EXPECT_EQ(Content(1, 0)->GetStoryOut(), 60u);
                      EXPECT_EQ(Content(7, 0)->GetStoryOut(), 60u);
                      // Lower Third Out starts at 60: nothing of it lies under the time line.
                      EXPECT_EQ(Content(6, 1)->GetStoryOut(), 68u);
                  });
}

TEST_F(ClipFXTest, AClipThatWouldLeaveNothingOfAMaterialPassesItOver) {
    // On track 2 a material starts at the time line: its outlet there would leave it empty.
    Append({NewPhase<CKelSBContentPieceStayObj>(4, 2, 40, 50)});
    Body().ResetAllTrackContentList();
    Body().SetTimeLinePos(40);
    ExpectOneStep([&] { return view->ClipAtTimeLine(0); },
                  "Cut Materials Outlet Point On Time Line",
                  [&] {
                      EXPECT_EQ(Content(1, 0)->GetStoryOut(), 40u);
                      EXPECT_EQ(Content(9, 0)->GetStoryOut(), 50u);
                      EXPECT_EQ(Content(9, 0)->GetDuration(), 10u);
                  });
}

TEST_F(ClipFXTest, AClipThatCutsNothingRecordsNothing) {
    Body().SetTimeLinePos(85); // Headline Out [85,95) starts there
    ExpectNoChange([&] { return view->ClipAtTimeLine(0); }, "an outlet at the entry point");
    ExpectNoChange([&] { return view->ClipAtTimeLine(1); }, "an entry point already there");
    Body().SetTimeLinePos(1000);
    ExpectNoChange([&] { return view->ClipAtTimeLine(1); }, "nothing under the time line");
}

// ---- FX copy and paste ------------------------------------------------------------------------

TEST_F(ClipFXTest, PastedEffectsReachEachKindFromItsClipboardAndPassLockedTracksOver) {
    EffectOf(0, 0)->SetEffectName("Spin");
    Select({0}, Content(0, 0));
    ASSERT_EQ(view->CopyFX(), 1);
    Body().GetTrackObj(2)->SetLocked(TRUE);
    // The Logo's In takes the Spin; its Stay keeps its effect (the Stay clipboard is empty);
    // the Lower Third's In on the locked track keeps its own.
    const CString lowerThird = EffectOf(6, 0)->GetEffectName();
    ASSERT_NE(lowerThird, CString("Spin"));
    Select({3, 6}, Content(3, 0));
    ExpectOneStep([&] { return view->PasteFX(); }, "FX Paste",
                  [&] {
                      EXPECT_EQ(EffectOf(3, 0)->GetEffectName(), CString("Spin"));
                      EXPECT_NE(EffectOf(3, 1)->GetEffectName(), CString("Spin"));
                      EXPECT_EQ(EffectOf(6, 0)->GetEffectName(), lowerThird);
                  });
    // Every swap ends with an empty selection.
    EXPECT_TRUE(view->Selection().GetSelContainerList().IsEmpty());
    EXPECT_EQ(view->Selection().GetCurContent(), nullptr);
}

// Found by the random run of edits: a pasted effect brought its source's play duration, which
// the undo of a later trim (setting the duration from the length) could not give back.
TEST_F(ClipFXTest, APastedEffectPlaysAsLongAsItsTargetSoATrimUndoesExactly) {
    Select({0}, Content(0, 0)); // Headline In, 10 frames
    ASSERT_EQ(view->CopyFX(), 1);
    Select({6}, Content(6, 0)); // Lower Third In [20,28) and Out [60,68)
    ExpectOneStep([&] { return view->PasteFX(); }, "FX Paste",
                  [&] { EXPECT_EQ(EffectOf(6, 0)->GetPlayDuration(), 8u); });
    Body().SetTimeLinePos(24);
    ExpectOneStep([&] { return view->ClipAtTimeLine(0); },
                  "Cut Materials Outlet Point On Time Line",
                  [&] { EXPECT_EQ(EffectOf(6, 0)->GetPlayDuration(), 4u); });
}

TEST_F(ClipFXTest, CopyFXNeedsOneMaterialWithAnEffect) {
    Select({0, 1}, Content(0, 0));
    EXPECT_EQ(view->CopyFX(), 0);
    Select({3}, Content(3, 0));
    EXPECT_EQ(view->CopyFX(), 0);
    EXPECT_EQ(BoxTexts(),
              (std::vector<CString>{Text(IDS_SELECT_SOURCE_FX), Text(IDS_SELECT_SOURCE_FX)}));
    Select({});
    EXPECT_EQ(view->CopyFX(), 0);
    // A movie has no effect: nothing is copied, and copying is not reported as done.
    Select({4}, Content(4, 0));
    EXPECT_EQ(view->CopyFX(), 0);
    EXPECT_EQ(BoxTexts().size(), 2u);
    EXPECT_TRUE(Doc().GetFXClipboardIn().IsEmpty());
    EXPECT_EQ(History().GetStepCount(), 0);
}

TEST_F(ClipFXTest, PasteFXWithoutAnEffectToPasteChangesNothing) {
    Select({3}, Content(3, 0));
    ExpectNoChange([&] { return view->PasteFX(); }, "empty clipboards");
    Select({1}, Content(1, 0)); // a Stay piece
    ASSERT_EQ(view->CopyFX(), 1);
    Select({0}, Content(0, 0)); // an In piece: its clipboard is empty
    ExpectNoChange([&] { return view->PasteFX(); }, "the other kind's clipboard");
    EXPECT_EQ(BoxTexts(),
              (std::vector<CString>{Text(IDS_FX_CLIPBOARD_EMPTY), Text(IDS_FX_CLIPBOARD_EMPTY)}));
    // Every Stay piece selected lies on a locked track: silently nothing.
    Body().GetTrackObj(4)->SetLocked(TRUE);
    Select({8}, Content(8, 0));
    ExpectNoChange([&] { return view->PasteFX(); }, "only locked targets");
    EXPECT_EQ(BoxTexts().size(), 2u);
}

} // namespace
} // namespace kel::test
