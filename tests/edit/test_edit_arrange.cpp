// Same length, merge and split, run as the user runs them.
#include "edit/edit_fixture.h"
#include "operations/op_arrange.h"

namespace kel::test {
namespace {

class ArrangeTest : public EditTest {
protected:
    // As the command table runs it.
    int SameLength() {
        return view->RunSelectionEdit(IDS_HIST_SAME_LENGTH, &kel::operations::SameLength);
    }
};

// ---- Align -------------------------------------------------------------------------------------

// The reference is the Lower Third's Stay [140,190) on track 4; the orphan [30,80) on track 3
// and the Lower Third's In [20,28) and Out [60,68) on track 2 align to it, one step a track.
class AlignTest : public ArrangeTest {
protected:
    void ExpectAligned(int bLeft, const std::vector<DWORD>& storyIns) {
        Select({8, 7, 6}, Content(8, 0));
        const std::vector<BYTE> before = Bytes();
        const std::size_t nMarks = DirtyMarks();
        ASSERT_EQ(view->AlignMaterials(bLeft), 1);
        const CString title = bLeft ? "Align Left" : "Align Right";
        EXPECT_EQ(History().GetStepNames(), (std::vector<CString>{title, title}));
        EXPECT_GT(DirtyMarks(), nMarks);
        EXPECT_EQ((std::vector<DWORD>{Content(7, 0)->GetStoryIn(), Content(6, 0)->GetStoryIn(),
                                      Content(6, 1)->GetStoryIn()}),
                  storyIns);
        ExpectConsistent("the align");
        ExpectStepsRoundTrip(before, 0);
    }
};

TEST_F(AlignTest, AlignLeftMovesEachTracksGroupToTheReferencesEntryPointToTheFrame) {
    // Four frames to a pixel: a shift taken from pixels would miss by up to three frames.
    ASSERT_TRUE(Body().SetFramesPerUnit(100));
    ExpectAligned(1, {140, 140, 180});
}

TEST_F(AlignTest, AlignRightMovesEachGroupsLatestOutletToTheReferences) {
    ASSERT_TRUE(Body().SetFramesPerUnit(100));
    ExpectAligned(0, {140, 142, 182});
}

TEST_F(AlignTest, MaterialsScrolledOutOfViewAlignAsWell) {
    view->Scroll().SetHScrollPos(5000);
    ExpectAligned(1, {140, 140, 180});
}

TEST_F(AlignTest, AnAlignThatCannotBeMadeIsToldAndChangesNothing) {
    // A material [0,20) on the orphan's track: the orphan moved to 10 would start inside it.
    Append({NewPhase<CKelSBContentPieceStayObj>(4, 3, 0, 20)});
    Body().ResetAllTrackContentList();
    Select({1, 7}, Content(1, 0));
    ExpectNoChange([&] { return view->AlignMaterials(1); }, "an entry point inside a material");
    EXPECT_EQ(BoxTexts(), std::vector<CString>{Text(IDS_ALIGN_IMPOSSIBLE)});
    // Nothing on another track than the reference's: nothing to do, nothing said.
    Select({0, 1, 2}, Content(1, 0));
    ExpectNoChange([&] { return view->AlignMaterials(1); }, "one track");
    Select({0, 6});
    ExpectNoChange([&] { return view->AlignMaterials(0); }, "no reference");
    EXPECT_EQ(BoxTexts(),
              (std::vector<CString>{Text(IDS_ALIGN_IMPOSSIBLE), Text(IDS_SELECT_REFERENCE)}));
}

// ---- Same length ------------------------------------------------------------------------------

TEST_F(ArrangeTest, SameLengthGivesTheReferencesLengthAndPushesWhatItRunsInto) {
    // The Logo's Stay [112,212) is the reference: Headline Stay [10,85) grows to [10,110) and
    // pushes Headline Out and the Logo 25 frames on; Lower Third In [20,28) grows to [20,120)
    // and pushes its Out [60,68) to [120,128); the Logo's In, now [125,137), grows and pushes
    // the reference itself to 225. The locked Ticker stays as it is.
    Select({1, 3, 6, 5}, Content(3, 1));
    ExpectOneStep([&] { return SameLength(); }, "Make The Selected Materials With The Same Length",
                  [&] {
                      EXPECT_EQ(Content(1, 0)->GetStoryOut(), 110u);
                      EXPECT_EQ(Content(2, 0)->GetStoryIn(), 110u);
                      EXPECT_EQ(Content(3, 1)->GetStoryIn(), 225u);
                      EXPECT_EQ(Content(3, 1)->GetDuration(), 100u);
                      EXPECT_EQ(Content(3, 0)->GetDuration(), 100u);
                      EXPECT_EQ(Content(6, 0)->GetDuration(), 100u);
                      EXPECT_EQ(Content(6, 1)->GetStoryIn(), 120u);
                  });
}

TEST_F(ArrangeTest, SameLengthFindsTheSameMaterialsThroughManyUndosAndRedos) {
    // Three materials of one track in a row, 50 frames each: Headline In pushes the Stay and
    // the Out 40 frames on; the Stay shrinks; the Out grows where it was pushed to and pushes
    // the Logo again.
    Select({0, 1, 2, 7}, Content(7, 0));
    const std::vector<BYTE> before = Bytes();
    ASSERT_EQ(SameLength(), 1);
    EXPECT_EQ(Content(2, 0)->GetStoryIn(), 125u);
    EXPECT_EQ(Content(3, 0)->GetStoryIn(), 175u);
    ExpectStepsRoundTrip(before, 0, 4);
}

TEST_F(ArrangeTest, SameLengthWithNothingToChangeRecordsNothing) {
    Select({0, 5}, Content(0, 0));
    ExpectNoChange([&] { return SameLength(); }, "the other material is locked");
    Select({0, 2}, Content(0, 0));
    ExpectNoChange([&] { return SameLength(); }, "already that long");
    Select({0, 2});
    ExpectNoChange([&] { return SameLength(); }, "no reference");
    EXPECT_EQ(BoxTexts(), std::vector<CString>{Text(IDS_SELECT_REFERENCE)});
    // A movie cannot outgrow its file: the Opening [0,125) stays as it is.
    Body().GetTrackObj(1)->SetLocked(FALSE);
    Select({4, 5}, Content(5, 0));
    ExpectNoChange([&] { return SameLength(); }, "longer than the movie");
}

// ---- Merge and split --------------------------------------------------------------------------

TEST_F(ArrangeTest, MergeGathersTheMaterialsInSelectionOrder) {
    Select({6, 0, 7}, Content(0, 0));
    ExpectOneStep([&] { return view->MergeMaterials(); }, "Merge Materials",
                  [&] {
                      ASSERT_EQ(Body().GetContainerCount(), 7);
                      ASSERT_EQ(Container(5)->GetContentCount(), 4);
                      EXPECT_EQ(Content(5, 1)->GetStoryIn(), 60u); // its own Lower Third Out
                      EXPECT_EQ(Content(5, 2)->GetStoryIn(), 0u);  // then Headline In
                      EXPECT_EQ(Content(5, 3)->GetStoryIn(), 30u); // then the orphan
                      EXPECT_EQ(view->Selection().GetSelContainerIndices(), std::vector<int>{5});
                      EXPECT_EQ(view->Selection().GetCurFocus(), (kel::edit::Focus{5, 2}));
                  });
    Undo();
    EXPECT_TRUE(view->Selection().GetSelContainerList().IsEmpty());
    Select({3}, Content(3, 0));
    ExpectNoChange([&] { return view->MergeMaterials(); }, "one container");
}

TEST_F(ArrangeTest, SplitPutsEachFurtherMaterialAloneInSelectionOrder) {
    Select({8, 0, 3}, Content(3, 0));
    const std::vector<BYTE> before = Bytes();
    ASSERT_EQ(view->SplitMaterials(), 1);
    EXPECT_EQ(NewestStepName(), CString("Split Materials"));
    // The new containers joined the selection.
    EXPECT_EQ(view->Selection().GetSelContainerIndicesInSelectionOrder(),
              (std::vector<int>{8, 0, 3, 9, 10}));
    ExpectRoundTrip(before, [&] {
        ASSERT_EQ(Body().GetContainerCount(), 11);
        EXPECT_EQ(Content(9, 0)->GetStoryIn(), 190u);  // Lower Third Out, split first
        EXPECT_EQ(Content(10, 0)->GetStoryIn(), 112u); // then the Logo's Stay
        EXPECT_EQ(Container(3)->GetContentCount(), 1);
    });
    Select({0, 1, 2}, Content(0, 0));
    ExpectNoChange([&] { return view->SplitMaterials(); }, "one material each");
}

} // namespace
} // namespace kel::test
