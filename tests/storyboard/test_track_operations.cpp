// Track operations and storyboard settings as the track and storyboard menus run them: each
// change one step that undoes to the scene's saved bytes and redoes, the checker after every
// step; refusals leave no trace.
#include "dialog/sbedit_commands.h"
#include "storyboard/storyboard_fixture.h"

#include "host/sbobject/sb_attr_dlg.h"
#include "host/services/tool_box.h"

#include <functional>

namespace kel::test {
namespace {

class TrackOperationTest : public OperationTest {
protected:
    int Run(UINT nId, int nTrack) {
        view->Selection().SetCurTrackIndex(nTrack);
        // The operation itself, past the dialog's refusals: the tests look at its own.
        return KelSBFindCommand(nId)->pfnRun(*dlg, *view, nId);
    }
    CKelObList& Clipboard() const { return scene->GetSBEditObj()->GetTrackClipboard(); }
    int TracksOnClipboard() const {
        int count = 0;
        for (POSITION pos = Clipboard().GetHeadPosition(); pos;)
            count += Clipboard().GetNext(pos)->IsKindOf(RUNTIME_CLASS(CKelSBTrackObj)) ? 1 : 0;
        return count;
    }
    // The storyboard's properties dialog: a new name and times as frames, then `nAnswer`.
    void AnswerProperties(int nAnswer, const char* name = "Late News") {
        headless->QueueModal([nAnswer, name](CWnd& wnd) {
            auto& attr = dynamic_cast<CKelSBBodyAttrDlg&>(wnd).m_attr;
            attr.strName = name;
            attr.nFrameDisplay = 1;
            return nAnswer;
        });
    }
    // Runs a change that must be refused: nothing stored or recorded.
    void ExpectRefused(UINT nId, int nTrack, const char* why) {
        SCOPED_TRACE(why);
        const std::vector<BYTE> before = Bytes();
        const int nSteps = Steps();
        EXPECT_EQ(Run(nId, nTrack), 0);
        EXPECT_EQ(Bytes(), before);
        EXPECT_EQ(Steps(), nSteps);
        ExpectConsistent(why);
    }
};

TEST_F(TrackOperationTest, AppendInsertAndMovesAreEachOneStepThatUndoesExactly) {
    struct Case {
        UINT nId;
        int nTrack;
        const char* text;
        int nSelected; // the one selected track afterwards, -1 when the selection is its own
    };
    const Case cases[] = {
        {ID_TRACK_APPEND, -1, "Append Subtitle Track", 5},
        {ID_TRACK_INSERT, 2, "Insert Subtitle Track", 1},
        {ID_TRACK_INSERT, 0, "Insert Subtitle Track", 0},
        {ID_TRACK_MOVE_UP, 3, "Move Up Subtitle Track", -1},
        {ID_TRACK_MOVE_DOWN, 3, "Move Down Subtitle Track", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + std::string(" at ") + std::to_string(c.nTrack));
        const std::vector<BYTE> before = Bytes();
        const int nSteps = Steps();
        ClearReceived();
        ASSERT_EQ(Run(c.nId, c.nTrack), 1);
        EXPECT_EQ(Steps(), nSteps + 1);
        EXPECT_EQ(LastStepText(), c.text);
        EXPECT_TRUE(MarkedModified());
        EXPECT_FALSE(navigator.Named(WM_CG_SBNAV_SBSELCONTENT_CHANGED).empty());
        if (c.nSelected >= 0) {
            EXPECT_EQ(SelectedTracks(), std::vector<int>{c.nSelected});
        }
        ExpectConsistent("the operation");
        ExpectRoundTrip(before);
        Undo();
        EXPECT_EQ(Bytes(), before);
    }
    // A move takes the track's materials along: the missing piece's material of track 3.
    ASSERT_EQ(Run(ID_TRACK_MOVE_UP, 3), 1);
    EXPECT_EQ(Content(7, 0)->GetTrackIndex(), 2);
    EXPECT_FALSE(Body().GetTrackObj(3)->IsPlayAllowed());
}

TEST_F(TrackOperationTest, RefusalsLeaveNoTrace) {
    ExpectRefused(ID_TRACK_MOVE_UP, 0, "the first track up");
    ExpectRefused(ID_TRACK_MOVE_DOWN, 4, "the last track down");
    for (UINT nId : {ID_TRACK_MOVE_UP, ID_TRACK_MOVE_DOWN, ID_TRACK_DELETE, ID_TRACK_CUT})
        ExpectRefused(nId, 1, "a locked track");
    for (UINT nId : {ID_TRACK_INSERT, ID_TRACK_MOVE_UP, ID_TRACK_DELETE, ID_TRACK_CUT,
                     ID_TRACK_COPY, ID_TRACK_PASTE})
        ExpectRefused(nId, -1, "no current track");
    ExpectRefused(ID_TRACK_PASTE, 0, "an empty track clipboard");
    ExpectRefused(ID_TRACK_DELETE, 7, "a track that is not there");

    // The limit is 255 tracks: the 255th can be appended, no further one added.
    while (Body().GetTrackCount() < CKelSBBodyObj::kMaxTrackCount - 1)
        ASSERT_TRUE(Body().AppendTrack());
    view->RefreshView(nullptr);
    ASSERT_EQ(Run(ID_TRACK_APPEND, -1), 1);
    EXPECT_EQ(Body().GetTrackCount(), CKelSBBodyObj::kMaxTrackCount);
    ASSERT_EQ(Run(ID_TRACK_COPY, 0), 1);
    for (UINT nId : {ID_TRACK_APPEND, ID_TRACK_INSERT, ID_TRACK_PASTE})
        ExpectRefused(nId, 3, "255 tracks");

    // None of those asked anything.
    EXPECT_EQ(BoxesShown(), 0u);

    // Nothing changes the tracks of a storyboard loaded onto the output.
    Load();
    for (UINT nId : {ID_TRACK_APPEND, ID_TRACK_INSERT, ID_TRACK_DELETE, ID_TRACK_MOVE_DOWN})
        ExpectRefused(nId, 5, "loaded");
    const int nModals = headless->ModalDialogsRun();
    EXPECT_EQ(view->EditSBSettings(), 0);
    EXPECT_EQ(headless->ModalDialogsRun(), nModals); // not even asked
}

TEST_F(TrackOperationTest, TheOnlyTrackCannotBeMovedDeletedOrCut) {
    while (Body().GetTrackCount() > 1)
        ASSERT_TRUE(Body().DeleteTrack(Body().GetTrackCount() - 1));
    view->RefreshView(nullptr);
    for (UINT nId : {ID_TRACK_MOVE_UP, ID_TRACK_MOVE_DOWN, ID_TRACK_DELETE, ID_TRACK_CUT})
        ExpectRefused(nId, 0, "the only track");
}

TEST_F(TrackOperationTest, DeletingAsksForATrackWithMaterialsAndOnlyYesDeletes) {
    // An empty track goes without a question.
    ASSERT_TRUE(Body().AppendTrack());
    view->RefreshView(nullptr);
    const std::vector<BYTE> withEmpty = Bytes();
    ASSERT_EQ(Run(ID_TRACK_DELETE, 5), 1);
    EXPECT_EQ(BoxesShown(), 0u);
    ExpectRoundTrip(withEmpty);

    // Track 4 holds materials (container 8): No and Cancel keep it.
    Select({8}, Content(8, 0));
    for (int nAnswer : {IDNO, IDCANCEL}) {
        headless->QueueMessageBoxAnswer(nAnswer);
        ExpectRefused(ID_TRACK_DELETE, 4, "declined");
    }
    ASSERT_EQ(BoxesShown(), 2u);
    EXPECT_EQ(headless->MessageBoxes()[0].type, UINT{MB_YESNOCANCEL | MB_ICONQUESTION});
    EXPECT_NE(headless->MessageBoxes()[0].text.Find("Delete Selected Track"), -1);

    const std::vector<BYTE> before = Bytes();
    headless->QueueMessageBoxAnswer(IDYES);
    ASSERT_EQ(Run(ID_TRACK_DELETE, 4), 1);
    EXPECT_EQ(LastStepText(), "Delete Subtitle Track");
    EXPECT_EQ(SelectedTracks(), std::vector<int>{3});
    EXPECT_TRUE(view->Selection().GetSelContainerList().IsEmpty());
    EXPECT_EQ(view->Selection().GetCurContent(), nullptr);
    // Undoing the deletion of the last track appends it again.
    ExpectRoundTrip(before, [&] { EXPECT_EQ(Body().GetContainerCount(), 8); });
}

// The history hears of a deleted track only once the track is gone: a deletion the model
// refused would otherwise leave a step for a change that never happened.
TEST_F(TrackOperationTest, TheDeleteStepIsRegisteredOnceTheTrackIsGone) {
    class Spy : public HostWnd {
    public:
        std::function<int()> tracks;
        std::vector<int> seen;

    protected:
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
            if (message == WM_CG_UPDATE_HISTORY && wParam == KEL_UR_HISTORY_SHOW)
                seen.push_back(tracks());
            return HostWnd::WindowProc(message, wParam, lParam);
        }
    } spy;
    spy.CreateHost("History Panel", CRect(1200, 20, 1400, 400), &mainWnd);
    spy.tracks = [this] { return Body().GetTrackCount(); };
    KelToolRegisterToolBox(KEL_TOOLBOX_HISTORY, &spy);
    for (UINT nId : {ID_TRACK_DELETE, ID_TRACK_CUT}) {
        headless->QueueMessageBoxAnswer(IDYES);
        spy.seen.clear();
        const int nTracks = Body().GetTrackCount();
        ASSERT_EQ(Run(nId, 3), 1);
        EXPECT_EQ(spy.seen, std::vector<int>{nTracks - 1});
    }
    KelToolRegisterToolBox(KEL_TOOLBOX_HISTORY, &history);
}

TEST_F(TrackOperationTest, CutReplacesTheClipboardSoAPasteBringsBackTheCutTrackAlone) {
    // Copying fills the clipboard without a step and without changing the document.
    ASSERT_EQ(Run(ID_TRACK_COPY, 0), 1);
    EXPECT_EQ(Steps(), 0);
    EXPECT_FALSE(MarkedModified());
    ASSERT_EQ(TracksOnClipboard(), 1);

    // Cutting always asks, and then holds the cut track alone.
    const std::vector<BYTE> beforeCut = Bytes();
    headless->QueueMessageBoxAnswer(IDNO);
    EXPECT_EQ(Run(ID_TRACK_CUT, 4), 0);
    headless->QueueMessageBoxAnswer(IDYES);
    ASSERT_EQ(Run(ID_TRACK_CUT, 4), 1);
    EXPECT_EQ(BoxesShown(), 2u);
    EXPECT_EQ(LastStepText(), "Cut Subtitle Track");
    EXPECT_EQ(TracksOnClipboard(), 1);
    ExpectRoundTrip(beforeCut, [&] { EXPECT_EQ(TracksOnClipboard(), 1); });

    // Each paste inserts the cut track's two materials (in one container, as they were) once,
    // as one step of its own.
    for (int nPaste = 1; nPaste <= 2; ++nPaste) {
        SCOPED_TRACE(nPaste);
        const std::vector<BYTE> beforePaste = Bytes();
        const int nContainers = Body().GetContainerCount();
        ASSERT_EQ(Run(ID_TRACK_PASTE, 0), 1);
        EXPECT_EQ(LastStepText(), "Paste Subtitle Track");
        EXPECT_EQ(SelectedTracks(), std::vector<int>{0});
        ExpectRoundTrip(beforePaste, [&] {
            EXPECT_EQ(Body().GetTrackObj(0)->GetContentCount(), 2);
            EXPECT_EQ(Body().GetContainerCount(), nContainers + 1);
        });
    }
    // The cut is undone with the pastes: the track is back where it was, still on the
    // clipboard.
    Undo();
    Undo();
    Undo();
    EXPECT_EQ(Bytes(), beforeCut);
    EXPECT_EQ(TracksOnClipboard(), 1);
    ExpectConsistent("the undone cut");
}

TEST_F(TrackOperationTest, SettingsAreOneStepAndACancelledDialogLeavesNothing) {
    AnswerProperties(IDCANCEL);
    EXPECT_EQ(view->EditSBSettings(), 0);
    EXPECT_EQ(Steps(), 0);
    EXPECT_EQ(PanelSwitches(), (std::vector<WPARAM>{0, 1}));
    EXPECT_EQ(view->GetHistorySync(), 1);

    const std::vector<BYTE> before = Bytes();
    ClearReceived();
    AnswerProperties(IDOK);
    ASSERT_EQ(view->EditSBSettings(), 1);
    EXPECT_EQ(LastStepText(), "Set Storyboard Properties");
    EXPECT_EQ(PanelSwitches(), (std::vector<WPARAM>{0, 1}));
    EXPECT_TRUE(MarkedModified());
    // The selector shows the new name, the status line counts frames.
    auto* selector = dynamic_cast<CComboBox*>(view->GetDlgItem(IDC_VIEW_SB_SELECTOR));
    ASSERT_NE(selector, nullptr);
    EXPECT_EQ(selector->GetLBText(0), CString("Late News"));
    EXPECT_NE(dlg->GetWindowText().Find("Time Line  0"), -1);
    ExpectRoundTrip(before, [&] { EXPECT_EQ(Body().GetName(), CString("Late News")); });
    Undo();
    EXPECT_EQ(Body().GetName(), CString("News"));
}

// The view's tool buttons for the storyboard's properties, the fit and the zoom are the runner
// script keys_menus.kss; here the navigator's.
TEST_F(TrackOperationTest, TheNavigatorToolButtonShowsAndHidesTheNavigator) {
    ASSERT_TRUE(navigator.IsWindowVisible());
    view->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_VIEW_TOOL_SB_NAVIGATOR, 0), 0);
    EXPECT_FALSE(navigator.IsWindowVisible());
    view->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_VIEW_TOOL_SB_NAVIGATOR, 0), 0);
    EXPECT_TRUE(navigator.IsWindowVisible());
}

} // namespace
} // namespace kel::test
