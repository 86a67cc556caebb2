// Fixed point paste, paste at the time line and paste at the menu's point, run as the user runs
// them: each track group one step, every step undone and redone byte for byte.
#include "edit/edit_fixture.h"

#include "host/sbobject/sb_edit.h"

namespace kel::test {
namespace {

class PasteTest : public EditTest {
protected:
    // Copies the Lower Third In [20,28) and Out [60,68) (track 2) and the orphan Stay [30,80)
    // (track 3) to the clipboard.
    void CopyLowerThirdAndOrphan() {
        Select({6, 7}, Content(6, 0));
        ASSERT_EQ(view->CopyMaterials(), 1);
        Select({});
    }
    // (track, story in, story out) of the containers from nFirst on, one material each.
    std::vector<std::tuple<int, DWORD, DWORD>> From(int nFirst) const {
        std::vector<std::tuple<int, DWORD, DWORD>> placed;
        for (int c = nFirst; c < Body().GetContainerCount(); ++c) {
            const CKelSBContentBaseObj* p = Content(c, 0);
            placed.emplace_back(p->GetTrackIndex(), p->GetStoryIn(), p->GetStoryOut());
        }
        return placed;
    }
    using Placed = std::vector<std::tuple<int, DWORD, DWORD>>;
};

TEST_F(PasteTest, AFixedPointPasteKeepsTheCopiedLayoutAroundTheClick) {
    CopyLowerThirdAndOrphan();
    const std::vector<BYTE> before = Bytes();
    const std::size_t nMarks = DirtyMarks();
    dlg->RunButton(IDC_BTN_FIXED_PASTE);
    Click(At(300, 2));
    // The Lower Third starts at the click; the orphan keeps its 10 frames and one track.
    EXPECT_EQ(From(9), (Placed{{2, 300, 308}, {2, 340, 348}, {3, 310, 360}}));
    EXPECT_EQ(History().GetStepNames(),
              (std::vector<CString>{"Fixed Point Paste", "Fixed Point Paste"}));
    EXPECT_GT(DirtyMarks(), nMarks);
    EXPECT_EQ(view->DragDrop().IsFromOutside(), 0);
    ExpectConsistent("the paste");
    ExpectStepsRoundTrip(before, 0);
}

TEST_F(PasteTest, PastingTwicePastesTwiceAndTheClipboardStays) {
    CopyLowerThirdAndOrphan();
    const std::vector<BYTE> before = Bytes();
    ASSERT_EQ(view->FixedPointPasteAt(At(300, 2)), 1);
    ASSERT_EQ(view->FixedPointPasteAt(At(500, 2)), 1);
    EXPECT_EQ(From(9), (Placed{{2, 300, 308},
                               {2, 340, 348},
                               {3, 310, 360},
                               {2, 500, 508},
                               {2, 540, 548},
                               {3, 510, 560}}));
    EXPECT_EQ(scene->GetSBEditObj()->GetMaterialClipboard().GetCount(), 3);
    ExpectStepsRoundTrip(before, 0);
}

TEST_F(PasteTest, APasteThatCannotGoThereSaysSoAndLeavesNoFlagBehind) {
    CopyLowerThirdAndOrphan();
    // Onto the middle of Headline Stay: refused, and told.
    const std::vector<BYTE> before = Bytes();
    EXPECT_EQ(view->FixedPointPasteAt(At(50, 0)), 0);
    EXPECT_EQ(Bytes(), before);
    EXPECT_EQ(History().GetStepCount(), 0);
    EXPECT_EQ(BoxTexts(), std::vector<CString>{Text(IDS_PASTE_IMPOSSIBLE)});
    // The from-outside flag is down again: an align still works.
    EXPECT_EQ(view->DragDrop().IsFromOutside(), 0);
    Select({8, 7}, Content(8, 0));
    EXPECT_EQ(view->AlignMaterials(1), 1);
    // Onto the locked track: refused too.
    EXPECT_EQ(view->FixedPointPasteAt(At(400, 1)), 0);
    EXPECT_EQ(BoxTexts().size(), 2u);
}

TEST_F(PasteTest, WithNothingToPasteTheToolFallsBackToNormal) {
    dlg->RunButton(IDC_BTN_FIXED_PASTE);
    ExpectNoChange([&] { return view->FixedPointPasteAt(At(300, 2)); }, "an empty clipboard");
    EXPECT_EQ(view->GetToolMode(), static_cast<DWORD>(CKelSBEditView::kToolNormal));
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(PasteTest, PasteGoesToTheTimeLineOnTheTracksTheCopiesCameFromAndMovesItOn) {
    CopyLowerThirdAndOrphan();
    // Four frames a pixel and the tracks scrolled away: the paste knows frames and tracks.
    ASSERT_TRUE(Body().SetFramesPerUnit(100));
    view->Scroll().UpdateHRange();
    view->Scroll().SetHScrollPos(1000);
    Body().SetTimeLinePos(301);
    const std::vector<BYTE> before = Bytes();
    dlg->RunButton(IDC_BTN_PASTE);
    EXPECT_EQ(From(9), (Placed{{2, 301, 309}, {2, 341, 349}, {3, 311, 361}}));
    EXPECT_EQ(Body().GetTimeLinePos(), 361u);
    // Again: behind what was pasted.
    dlg->RunButton(IDC_BTN_PASTE);
    EXPECT_EQ(From(12), (Placed{{2, 361, 369}, {2, 401, 409}, {3, 371, 421}}));
    EXPECT_EQ(History().GetStepCount(), 4);
    EXPECT_EQ(NewestStepName(), CString("Fixed Point Paste"));
    Body().SetTimeLinePos(301); // the time line is no part of the history
    ExpectStepsRoundTrip(before, 0);
}

TEST_F(PasteTest, PasteOntoALockedTrackIsRefusedAndTold) {
    Select({4}, Content(4, 0)); // the Opening, on the locked track
    ASSERT_EQ(view->CopyMaterials(), 1);
    Body().SetTimeLinePos(400);
    ExpectNoChange([&] { return view->PasteMaterials(); }, "a locked track");
    EXPECT_EQ(BoxTexts(), std::vector<CString>{Text(IDS_PASTE_IMPOSSIBLE)});
    EXPECT_EQ(Body().GetTimeLinePos(), 400u);
}

TEST_F(PasteTest, TheMenusPastePutsTheCopiesWhereTheMenuWasOpened) {
    CopyLowerThirdAndOrphan();
    Mouse(WM_RBUTTONDOWN, At(300, 2), MK_RBUTTON);
    Mouse(WM_RBUTTONUP, At(300, 2), 0);
    ASSERT_EQ(view->Gesture().GetRightClickPoint(), At(300, 2));
    ASSERT_EQ(view->PasteMaterialsAtMenuPoint(), 1);
    EXPECT_EQ(From(9), (Placed{{2, 300, 308}, {2, 340, 348}, {3, 310, 360}}));
}

} // namespace
} // namespace kel::test
