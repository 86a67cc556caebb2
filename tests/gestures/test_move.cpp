// Moving selected materials by dragging them within the view: where they land, what they push,
// what is refused, and that the undo entries put everything back.
#include "edit/edit_place.h"
#include "gesture_fixture.h"
#include "undo/material_cmds.h"

#include <map>

namespace kel::test {
namespace {

class MoveTest : public GestureTest {
protected:
    // A new container of one Logo Stay material, its lists rebuilt; its index.
    int AddMaterial(int nTrack, DWORD dwIn, DWORD dwOut) {
        auto* pContainer = new CKelSBContainerObj;
        pContainer->AddContent(
            NewPhase<CKelSBContentPieceStayObj>(kSampleLogo, nTrack, dwIn, dwOut));
        Body().AddContainer(pContainer);
        view->RefreshView(nullptr);
        return Body().GetContainerCount() - 1;
    }
    const CKelURSBDragWithinSBCmd* LastMove() const {
        return dynamic_cast<const CKelURSBDragWithinSBCmd*>(History().GetCommand(Steps() - 1));
    }
};

TEST_F(MoveTest, MaterialsLandOnTheTrackUnderThemAndPushWhatIsInTheirWay) {
    // The Headline Stay (10-85) down from track 0 to track 3, where the material at 30-80 is
    // pushed just past it.
    const std::vector<BYTE> before = Bytes();
    Click(X(50), RowY(0));
    ASSERT_EQ(DragMaterial({X(50), RowY(0)}, {X(50), RowY(3)}), DWORD(DROPEFFECT_MOVE));
    EXPECT_EQ(view->Gesture().GetState(), KelSBGestureState::kIdle);
    ASSERT_EQ(Steps(), 1);
    EXPECT_EQ(History().GetStepNames().back(), "Move Objects");
    // Only what moved is recorded; the other materials of the track keep no entry.
    const auto& entries = LastMove()->m_entries;
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ((std::vector<int>{entries[0].nContainer, entries[0].nOldTrack, entries[0].nOldStoryIn,
                                entries[0].nNewTrack, entries[0].nNewStoryIn}),
              (std::vector<int>{1, 0, 10, 3, 10}));
    EXPECT_EQ(
        (std::vector<int>{entries[1].nContainer, entries[1].nOldStoryIn, entries[1].nNewStoryIn}),
        (std::vector<int>{7, 30, 85}));
    // The moved material stays selected and current through undo and redo.
    const auto selectionIsTheMovedMaterial = [&] {
        EXPECT_EQ(SelectedContainers(), std::vector<int>{1});
        EXPECT_EQ(view->Selection().GetCurFocus(), (kel::edit::Focus{1, 0}));
    };
    ExpectRoundTrip(before, [&] {
        EXPECT_EQ(Content(1, 0)->GetTrackIndex(), 3);
        EXPECT_EQ(Content(7, 0)->GetStoryIn(), 85u);
        selectionIsTheMovedMaterial();
    });
    Undo();
    selectionIsTheMovedMaterial();
}

TEST_F(MoveTest, AGroupSpreadOverTracksStaysSpread) {
    // Each material finds its own track under its own rectangle.
    const std::vector<BYTE> before = Bytes();
    Click(X(25), RowY(2));
    Click(X(50), RowY(3), MK_SHIFT);
    ASSERT_EQ(SelectedContainers(), (std::vector<int>{6, 7}));
    ASSERT_EQ(DragMaterial({X(25), RowY(2)}, {X(25), RowY(3)}), DWORD(DROPEFFECT_MOVE));
    ExpectRoundTrip(before, [&] {
        EXPECT_EQ(Content(6, 0)->GetTrackIndex(), 3);
        EXPECT_EQ(Content(6, 1)->GetTrackIndex(), 3);
        EXPECT_EQ(Content(7, 0)->GetTrackIndex(), 4);
    });
}

TEST_F(MoveTest, PushedMaterialsFollowOnlyAsFarAsTheyMust) {
    const int nFar = AddMaterial(4, 300, 310);
    const std::vector<BYTE> before = Bytes();
    // The Headline Out (85-95) to track 4, its entry point at 135: the Lower Third Stay
    // (140-190) moves to just after it, the Lower Third Out behind it, the far one stays.
    Click(X(90), RowY(0));
    ASSERT_EQ(DragMaterial({X(90), RowY(0)}, {X(141), RowY(4)}), DWORD(DROPEFFECT_MOVE));
    const DWORD dwNewIn = Content(2, 0)->GetStoryIn();
    ASSERT_GT(dwNewIn, 130u);
    ASSERT_LT(dwNewIn, 140u);
    ExpectRoundTrip(before, [&] {
        EXPECT_EQ(Content(8, 0)->GetStoryIn(), Content(2, 0)->GetStoryOut());
        EXPECT_EQ(Content(8, 1)->GetStoryIn(), Content(8, 0)->GetStoryOut());
        EXPECT_EQ(Content(nFar, 0)->GetStoryIn(), 300u);
    });
}

TEST_F(MoveTest, MaterialsOfTheDraggedGroupAreNeverPushed) {
    // A (300-320) and C (350-370) are dragged together; B (330-350) lies between them. A's
    // move pushes B onto C's old place; C moves by the drag alone, and its undo entry holds
    // where it really was.
    const int a = AddMaterial(2, 300, 320);
    const int b = AddMaterial(2, 330, 350);
    const int c = AddMaterial(2, 350, 370);
    const std::vector<BYTE> before = Bytes();
    Click(X(310), RowY(2));
    Click(X(360), RowY(2), MK_CONTROL);
    ASSERT_EQ(DragMaterial({X(310), RowY(2)}, {X(330), RowY(2)}), DWORD(DROPEFFECT_MOVE));
    const long nDelta = static_cast<long>(Content(a, 0)->GetStoryIn()) - 300;
    ASSERT_GT(nDelta, 10);
    ExpectRoundTrip(before, [&] {
        EXPECT_EQ(Content(b, 0)->GetStoryIn(), Content(a, 0)->GetStoryOut());
        EXPECT_EQ(Content(c, 0)->GetStoryIn(), static_cast<DWORD>(350 + nDelta));
    });
}

TEST_F(MoveTest, ARefusedDropChangesNothing) {
    const std::vector<BYTE> before = Bytes();
    struct Case {
        const char* what;
        CPoint from, to;
    };
    const Case cases[] = {
        {"onto the locked track", {X(5), RowY(0)}, {X(5), RowY(1)}},
        {"before frame 0", {X(90), RowY(0)}, {X(-10), RowY(0)}},
        {"its entry point inside a material", {X(90), RowY(0)}, {X(55), RowY(3)}},
        {"outside every track", {X(90), RowY(0)}, {X(90), 20}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Click(c.from.x, c.from.y);
        ClearReceived();
        EXPECT_EQ(DragMaterial(c.from, c.to), DWORD(DROPEFFECT_NONE));
        EXPECT_EQ(Bytes(), before);
        EXPECT_EQ(Steps(), 0);
        // Nothing changed, so the host is not told that its document did.
        EXPECT_TRUE(mainWnd.Named(WM_CG_FILE_SETDIRTY_FLAG).empty());
        ExpectConsistent(c.what);
    }

    // A drag the user cancels (Escape in the drag loop) drops nothing and leaves no outline.
    headless->ClearClientDrawing(*view);
    Click(X(90), RowY(0));
    EXPECT_EQ(DragMaterial({X(90), RowY(0)}, {X(90), RowY(3)}, false), DWORD(DROPEFFECT_NONE));
    EXPECT_EQ(Bytes(), before);
    std::map<std::pair<int, int>, int> outlines;
    for (const auto& record : headless->ClientDrawing(*view))
        if (record.Is("Rectangle") && record.rop2 == R2_XORPEN)
            ++outlines[{record.rect.left, record.rect.top}];
    EXPECT_FALSE(outlines.empty());
    for (const auto& [at, count] : outlines)
        EXPECT_EQ(count % 2, 0) << at.first << "," << at.second;

    // While the storyboard is loaded nothing moves.
    ASSERT_TRUE(dlg->RunButton(IDC_BTN_UPLOAD));
    Click(X(90), RowY(0));
    DragMaterial({X(90), RowY(0)}, {X(90), RowY(3)});
    EXPECT_EQ(Bytes(), before);
    dlg->RunButton(IDC_BTN_DOWNLOAD);
}

TEST_F(MoveTest, APlacementIsMadeUnderItsUndoTitleOrNotAtAll) {
    // The Headline Stay one track down, as a drag or an align hands it over.
    CONTAINER_INSERT_PARAM record;
    record.group.GetContentList().AddTail(Content(1, 0));
    record.ptStart = CPoint(X(50), RowY(0));
    record.ptCurrent = CPoint(X(50), RowY(2));
    const std::vector<BYTE> before = Bytes();
    view->DragDrop().SetPendingUndoTitle(0);
    EXPECT_EQ(view->DragDrop().TestDrop(record), 1);
    EXPECT_EQ(view->PlaceGroup(record, 1), 0);
    EXPECT_EQ(Bytes(), before);
    view->DragDrop().SetPendingUndoTitle(IDS_HIST_ALIGN_LEFT);
    EXPECT_EQ(view->PlaceGroup(record, 1), 1);
    view->DragDrop().SetPendingUndoTitle(0);
    EXPECT_EQ(History().GetStepNames(), std::vector<CString>{"Align Left"});
    ExpectRoundTrip(before, [&] { EXPECT_EQ(Content(1, 0)->GetTrackIndex(), 2); });
}

TEST_F(MoveTest, MoveDataFromAnywhereButThisViewsOwnDragIsRefused) {
    // Data that looks like a move of the Headline In, from another window or program: its
    // pointers cannot be trusted, so it is not even read.
    struct Forged {
        CObList materials;
        CPoint ptStart;
    } forged;
    forged.materials.AddTail(Content(0, 0));
    forged.ptStart = CPoint(X(5), RowY(0));
    const auto* p = reinterpret_cast<const BYTE*>(&forged);
    const std::vector<BYTE> before = Bytes();
    EXPECT_EQ(DragIn({p, p + sizeof forged}, {X(5), RowY(2)}, {X(50), RowY(2)}, "MOVE_OBJECT_DATA"),
              DWORD(DROPEFFECT_NONE));
    EXPECT_EQ(Bytes(), before);
    EXPECT_EQ(Steps(), 0);
}

TEST_F(MoveTest, ARefusalAfterPushesPutsThePushedMaterialsBackToo) {
    // Two materials move by 0 frames: the Headline Stay onto track 3, which pushes the
    // material there, then a late one onto track 4, whose push would pass the largest frame.
    const DWORD dwMax = CKelSBContentBaseObj::kMaxFrame;
    const int nLate = AddMaterial(2, dwMax - 20, dwMax - 2);
    AddMaterial(4, dwMax - 5, dwMax);
    const std::vector<BYTE> before = Bytes();
    CObList group;
    group.AddTail(Content(1, 0));
    group.AddTail(Content(nLate, 0));
    const std::vector<kel::edit::GroupTarget> targets = {{3, false}, {4, false}};
    kel::edit::PlaceGroupResult result;
    // The test does not push, so it cannot see the second push fail.
    EXPECT_EQ(kel::edit::PlaceGroup(Body(), group, targets, 0, false, result), 1);
    EXPECT_EQ(kel::edit::PlaceGroup(Body(), group, targets, 0, true, result), 0);
    EXPECT_EQ(Bytes(), before);
    EXPECT_TRUE(result.entries.empty());
}

} // namespace
} // namespace kel::test
