// Pieces dragged in from a host panel: the materials each kind of piece data makes, where they
// land, what they push, replacing a piece, and data that must be refused.
#include "edit/edit_piece_group.h"
#include "gesture_fixture.h"
#include "undo/container_cmds.h"

#include "host/scene/play_piece.h"

namespace kel::test {
namespace {

using DragInTest = GestureTest;
using Piece = KelPieceDragData;

// Where each kind of piece data puts its materials down, as one step that undoes to the bytes
// before it, is the runner script gestures_edit.kss; the lead-in that places them is the piece
// data's test below.

TEST_F(DragInTest, ADropSnapsToTheMaterialBeforeAndPushesWhatFollowsByTheOverlap) {
    Click(X(90), RowY(0)); // the Headline Out: the selection the drop replaces
    const std::vector<BYTE> before = Bytes();
    // Just after the Headline Out (85-95) on track 0: the Out piece (12 frames, held at 6)
    // starts at 95, where it runs 7 frames into the Logo (100): the Logo moves by 7.
    ASSERT_EQ(DragInPiece(kSampleLogo, Piece::kOut, {X(97), RowY(0)}), DWORD(DROPEFFECT_MOVE));
    const int nNew = Body().GetContainerCount() - 1;
    const auto* pCmd = dynamic_cast<const CKelURSBDragFromOutCmd*>(History().GetCommand(0));
    ASSERT_NE(pCmd, nullptr);
    EXPECT_EQ(pCmd->m_nShift, 7);
    EXPECT_EQ(pCmd->m_dwShiftThreshold, 100u);
    ExpectRoundTrip(before, [&] {
        EXPECT_EQ(Content(nNew, 0)->GetStoryIn(), 95u);
        EXPECT_EQ(Content(3, 0)->GetStoryIn(), 107u);
        EXPECT_EQ(Content(3, 1)->GetStoryIn(), 119u);
        EXPECT_EQ(SelectedContainers(), std::vector<int>{nNew});
        EXPECT_EQ(view->Selection().GetCurFocus(), (kel::edit::Focus{nNew, 0}));
    });
    Undo();
    EXPECT_EQ(SelectedContainers(), std::vector<int>{2});
    EXPECT_EQ(view->Selection().GetCurFocus(), (kel::edit::Focus{2, 0}));
    Redo();

    // With room enough before the next material nothing moves.
    const int nSteps = Steps();
    ASSERT_EQ(DragInPiece(kSampleHeadline, Piece::kIn, {X(35), RowY(2)}), DWORD(DROPEFFECT_MOVE));
    EXPECT_EQ(Content(Body().GetContainerCount() - 1, 0)->GetStoryIn(), 30u);
    EXPECT_EQ(Content(6, 1)->GetStoryIn(), 60u);
    EXPECT_EQ(Steps(), nSteps + 1);
}

TEST_F(DragInTest, APieceDroppedOnAPieceReplacesItsPlayPieceOnlyWhenTheUserSaysYes) {
    const KelGUID out = Content(2, 0)->GetGUID();
    const auto dropStay = [&] { return DragInPiece(kSampleLogo, Piece::kStay, {X(90), RowY(0)}); };
    ClearReceived();
    headless->QueueMessageBoxAnswer(IDNO);
    EXPECT_EQ(dropStay(), DWORD(DROPEFFECT_MOVE));
    EXPECT_EQ(Content(2, 0)->GetGUID(), out);
    // The host hears of a change only when there was one.
    EXPECT_TRUE(mainWnd.Named(WM_CG_FILE_SETDIRTY_FLAG).empty());

    const std::vector<BYTE> before = Bytes();
    headless->QueueMessageBoxAnswer(IDYES);
    dropStay();
    EXPECT_FALSE(mainWnd.Named(WM_CG_FILE_SETDIRTY_FLAG).empty());
    // The Headline Out keeps its times and shows the Logo, as one step of the history, so that
    // no later undo can bring the Headline back unasked.
    EXPECT_EQ(History().GetStepNames(), std::vector<CString>{"Replace Material Piece"});
    ExpectRoundTrip(before, [&] {
        EXPECT_EQ(Content(2, 0)->GetGUID(), KelSampleGUID(kSampleLogo));
        EXPECT_EQ(Content(2, 0)->GetStoryIn(), 85u);
        EXPECT_EQ(Content(2, 0)->GetStoryOut(), 95u);
        EXPECT_NE(Content(2, 0)->GetIcon(), nullptr);
    });
    Undo();
    EXPECT_EQ(Content(2, 0)->GetGUID(), out);
    Redo();

    // A movie cannot replace an In, Stay or Out piece: the user is told so, nothing asked.
    const std::size_t nBoxes = headless->MessageBoxes().size();
    DragInPiece(kSampleOpening, Piece::kMovie, {X(5), RowY(0)});
    ASSERT_EQ(headless->MessageBoxes().size(), nBoxes + 1);
    EXPECT_EQ(headless->MessageBoxes().back().text,
              "Animation And Scroll Files Can Not Be Replaced!");
    EXPECT_EQ(Content(0, 0)->GetGUID(), KelSampleGUID(kSampleHeadline));
    ExpectConsistent("the replaces");
}

TEST_F(DragInTest, MalformedPieceDataIsRefusedWithNoDropEffect) {
    const auto bytesOf = [](const KelGUID& guid, DWORD dwType) {
        const auto bytes = Piece{guid, dwType}.Encode();
        return std::vector<BYTE>(bytes.begin(), bytes.end());
    };
    const std::vector<BYTE> valid = bytesOf(KelSampleGUID(kSampleHeadline), Piece::kIn);
    struct Case {
        const char* what;
        std::vector<BYTE> bytes;
    };
    std::vector<Case> cases = {
        {"an unknown type", bytesOf(KelSampleGUID(kSampleHeadline), 7)},
        {"a piece the scene lacks", bytesOf(KelSampleGUID(kSampleMissing), Piece::kIn)},
        {"the movie type on a group", bytesOf(KelSampleGUID(kSampleHeadline), Piece::kMovie)},
        {"the scroll type on a movie", bytesOf(KelSampleGUID(kSampleOpening), Piece::kScroll)},
        {"a phase of a movie", bytesOf(KelSampleGUID(kSampleOpening), Piece::kIn)},
    };
    for (std::size_t n = 1; n < Piece::kSize; n += 6)
        cases.push_back({"a short buffer", {valid.begin(), valid.begin() + static_cast<long>(n)}});
    const std::vector<BYTE> before = Bytes();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(DragIn(c.bytes, {X(400), RowY(2)}, {X(420), RowY(2)}), DWORD(DROPEFFECT_NONE));
        EXPECT_EQ(Bytes(), before);
        EXPECT_EQ(Steps(), 0);
    }
    // Refused where it cannot go: the locked track, and over a material for more than one
    // piece (one piece there asks to replace it).
    EXPECT_EQ(DragInPiece(kSampleHeadline, Piece::kIn, {X(400), RowY(1)}), DWORD(DROPEFFECT_NONE));
    EXPECT_EQ(DragInPiece(kSampleScore, Piece::kInStayOut, {X(50), RowY(3)}),
              DWORD(DROPEFFECT_NONE));
    EXPECT_EQ(Bytes(), before);
    ExpectConsistent("the refusals");
}

TEST(PieceDataTest, EncodedDataDecodesAndTheLeadInHoldsShortGroupsAtTheirMiddle) {
    KelGUID guid;
    for (std::size_t i = 0; i < guid.bytes.size(); ++i)
        guid.bytes[i] = static_cast<BYTE>(i * 7);
    for (DWORD dwType : {Piece::kIn, Piece::kInStayOut, Piece::kMovie, Piece::kScroll}) {
        const auto bytes = Piece{guid, dwType}.Encode();
        const auto decoded = Piece::Decode(bytes.data(), bytes.size());
        ASSERT_TRUE(decoded.has_value());
        EXPECT_EQ(decoded->guid, guid);
        EXPECT_EQ(decoded->dwType, dwType);
        EXPECT_FALSE(Piece::Decode(bytes.data(), bytes.size() - 1).has_value());
    }
    EXPECT_FALSE(Piece::Decode(nullptr, Piece::kSize).has_value());
    EXPECT_EQ(kel::edit::DragInLeadIn(25, 200), 25u);
    EXPECT_EQ(kel::edit::DragInLeadIn(25, 50), 25u);
    EXPECT_EQ(kel::edit::DragInLeadIn(25, 11), 5u);
}

} // namespace
} // namespace kel::test
