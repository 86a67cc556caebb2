// The host's selected items put on the storyboard (WM_CG_ADD_ITEM_TO_SB), each on a new track.
#include "gesture_fixture.h"
#include "undo/container_cmds.h"

#include "host/scene/play_piece.h"

namespace kel::test {
namespace {

class AddItemsTest : public GestureTest {
protected:
    void Add(int nMode) { dlg->SendMessage(WM_CG_ADD_ITEM_TO_SB, static_cast<WPARAM>(nMode), 0); }
    void SelectOnly(std::initializer_list<unsigned> pieces) {
        for (POSITION pos = scene->GetPieceList()->GetHeadPosition(); pos;)
            static_cast<CKelItemBaseObj*>(scene->GetPieceList()->GetNext(pos))->SetSelected(FALSE);
        for (unsigned n : pieces)
            scene->FindPieceByGUID(KelSampleGUID(n))->SetSelected(TRUE);
    }
    const CKelURSBAddItemToSBCmd* LastAdd() const {
        return dynamic_cast<const CKelURSBAddItemToSBCmd*>(History().GetCommand(Steps() - 1));
    }
};

TEST_F(AddItemsTest, TwoGroupsWithAllPhasesGetTwoNewTracksAtTheEnd) {
    // The sample stands with the Headline and the Logo selected.
    const std::vector<BYTE> before = Bytes();
    Add(1);
    ASSERT_EQ(Steps(), 1);
    EXPECT_EQ(History().GetStepNames().back(), "Put Selected Items To Storyboard(In,Stay,Out)");
    EXPECT_EQ(SelectedTracks(), (std::vector<int>{5, 6}));
    EXPECT_EQ(SelectedContainers(), (std::vector<int>{9, 10, 11, 12, 13, 14}));
    EXPECT_EQ(view->Selection().GetCurContent(), Content(9, 0));
    ExpectRoundTrip(before, [&] {
        ASSERT_EQ(Body().GetTrackCount(), 7);
        // The Logo on track 6: In 0-12, Stay 12-112, Out 112-124, each in its own container.
        EXPECT_EQ(Content(12, 0)->GetTrackIndex(), 6);
        EXPECT_EQ(Content(13, 0)->GetStoryIn(), 12u);
        EXPECT_EQ(Content(14, 0)->GetStoryOut(), 124u);
    });
}

TEST_F(AddItemsTest, ItemsGoInAtTheFirstSelectedTrackAndMoveTheRestDown) {
    SelectOnly({kSampleHeadline, kSampleOpening});
    Click(X(24), RowY(2)); // the Lower Third In, and with it its track
    ASSERT_EQ(SelectedTracks(), std::vector<int>{2});
    ASSERT_EQ(SelectedContainers(), std::vector<int>{6});
    const std::vector<BYTE> before = Bytes();
    Add(0);
    ExpectRoundTrip(before, [&] {
        EXPECT_EQ(Content(9, 0)->GetTrackIndex(), 2);  // the Headline In
        EXPECT_EQ(Content(10, 0)->GetTrackIndex(), 3); // the Opening, all of it
        EXPECT_EQ(Content(10, 0)->GetStoryOut(), 125u);
        EXPECT_EQ(Content(6, 0)->GetTrackIndex(), 4); // what was on track 2
        EXPECT_TRUE(Body().GetTrackObj(1)->IsLocked());
    });
    // Undo gives back the selection the add found.
    Undo();
    EXPECT_EQ(SelectedContainers(), std::vector<int>{6});
    EXPECT_EQ(view->Selection().GetCurFocus(), (kel::edit::Focus{6, 0}));
    EXPECT_EQ(SelectedTracks(), std::vector<int>{2});
}

TEST_F(AddItemsTest, AnAddThatStopsEarlyRecordsWhatItAdded) {
    // A movie whose file is not known stops the add after the Headline; the Logo, after it,
    // is not added. Undo must take out the one track added and no other.
    auto* pLost = new CKelPlayMovieObj;
    pLost->SetName("Lost");
    pLost->SetFileName("nowhere.kmv");
    pLost->SetSelected(TRUE);
    CKelObList& pieces = *scene->GetPieceList();
    CObject* pLogo = scene->FindPieceByGUID(KelSampleGUID(kSampleLogo));
    pieces.InsertBefore(pieces.Find(pLogo), pLost);
    std::vector<BYTE> before = Bytes();
    Add(0);
    ASSERT_EQ(Steps(), 1);
    EXPECT_EQ(LastAdd()->m_nAddedTrackCount, 1);
    ExpectRoundTrip(before, [&] { EXPECT_EQ(Body().GetTrackCount(), 6); });

    // At the track limit: of two items only one more fits.
    while (Body().GetTrackCount() < CKelSBBodyObj::kMaxTrackCount - 1)
        Body().AppendTrack();
    view->RefreshView(nullptr);
    SelectOnly({kSampleHeadline, kSampleLogo});
    before = Bytes();
    Add(1);
    EXPECT_EQ(LastAdd()->m_nAddedTrackCount, 1);
    ExpectRoundTrip(before,
                    [&] { EXPECT_EQ(Body().GetTrackCount(), CKelSBBodyObj::kMaxTrackCount); });

    // Full: nothing is added and no step recorded.
    const int nSteps = Steps();
    Add(0);
    EXPECT_EQ(Steps(), nSteps);
}

TEST_F(AddItemsTest, NothingToAddRecordsNothing) {
    for (auto selection : {std::initializer_list<unsigned>{kSampleTicker}, {}}) {
        SelectOnly(selection); // scrolls are not put down this way
        const std::vector<BYTE> before = Bytes();
        Add(1);
        EXPECT_EQ(Steps(), 0);
        EXPECT_EQ(Bytes(), before);
    }
}

} // namespace
} // namespace kel::test
