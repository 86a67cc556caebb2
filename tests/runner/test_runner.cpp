// The runner as the host of the editor: its scripted answers, the messages it records, and drag
// gestures handed to the drag loop.
#include "runner.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"
#include "host/services/tool_box.h"
#include "platform/ole.h"
#include "platform/wnd.h"

#include <gtest/gtest.h>
#include <sstream>

using kel::script::CommandError;
using kel::script::Json;
using kel::script::ParseLine;
using kel::script::Runner;

namespace {

class RunnerTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The dialog keeps a client profile; tests keep theirs apart from the user's.
        const std::string config = ::testing::TempDir() + "kelsb_script_test";
        setenv("KELSB_CONFIG_DIR", config.c_str(), 1);
        runner = std::make_unique<Runner>(out);
    }
    void TearDown() override { runner.reset(); }

    void Run(const char* text) {
        std::istringstream lines(text);
        std::string line;
        int number = 0;
        while (std::getline(lines, line)) {
            runner->Execute(ParseLine(line, ++number));
        }
    }
    // The state of the last dump line.
    Json LastDump() {
        std::istringstream lines(out.str());
        std::string line;
        std::string last;
        while (std::getline(lines, line)) {
            last = line;
        }
        auto value = Json::Parse(last);
        EXPECT_TRUE(value.has_value());
        return value.value_or(Json());
    }

    std::ostringstream out;
    std::unique_ptr<Runner> runner;
};

TEST_F(RunnerTest, MessageBoxesTakeQueuedAnswersInOrderThenTheirDefaults) {
    Run("answer yes\nanswer cancel\nanswer ok\n");
    EXPECT_EQ(IDYES, AfxMessageBox("first", MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(IDCANCEL, AfxMessageBox("second", MB_YESNOCANCEL));
    EXPECT_EQ(IDOK, AfxMessageBox("third", MB_OK));
    // Nothing queued: No where there is a No, OK for an OK box.
    EXPECT_EQ(IDNO, AfxMessageBox("fourth", MB_YESNO));
    EXPECT_EQ(IDOK, AfxMessageBox("fifth", MB_OK));

    // A dump lists each box once, with its text and style.
    Run("dump\n");
    Json boxes = *kel::script::ResolvePath(LastDump(), "boxes");
    ASSERT_EQ(5u, boxes.AsArray().size());
    EXPECT_EQ(Json("first"), *kel::script::ResolvePath(boxes, "0.text"));
    EXPECT_EQ(Json(static_cast<int>(MB_YESNO | MB_ICONQUESTION)),
              *kel::script::ResolvePath(boxes, "0.style"));
    AfxMessageBox("sixth", MB_OK);
    Run("dump\n");
    boxes = *kel::script::ResolvePath(LastDump(), "boxes");
    ASSERT_EQ(1u, boxes.AsArray().size());
    EXPECT_EQ(Json("sixth"), *kel::script::ResolvePath(boxes, "0.text"));
}

// Queued menu answers reaching their menus the runner scripts check throughout
// (keys_menus.kss); here the band, which they only drag down and to the right.
TEST_F(RunnerTest, RubberBandsAnswerFromTheirQueueNormalisedInClientCoordinates) {
    Run("rubber 50 40 10 20\n");
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, CRect(0, 0, 300, 200),
                               nullptr, 0));
    const CRect band =
        kel::platform::GetBackend().TrackRubberBand(owner, CPoint(10, 20), CRect(0, 0, 1920, 1080));
    EXPECT_EQ(CRect(10, 20, 50, 40), band);
    EXPECT_THROW(Run("menu 0\n"), CommandError);
    EXPECT_THROW(Run("rubber 1 2 3\n"), CommandError);
}

TEST_F(RunnerTest, EditAttrTypesIntoThePropertiesDialogAndConfirmsOrCancels) {
    Run("sample\n"
        "edit-attr ok \"name=Evening News\" frames=1 height=40 start=90 end=10\n"
        "edit-attr cancel\n"
        "edit-attr ok\n");
    CKelSBBodyObj* body = runner->Scene().GetSBEditObj()->GetCurSBBodyObj();
    EXPECT_EQ(1, body->EditAttr(nullptr));
    EXPECT_EQ(CString("Evening News"), body->GetName());
    EXPECT_EQ(1, body->GetFrameDisplay());
    EXPECT_EQ(40, body->GetTrackHeight());
    EXPECT_EQ(10u, body->GetRangeStart());
    EXPECT_EQ(90u, body->GetRangeEnd());
    // Cancel changes nothing; OK without changes reports no change.
    EXPECT_EQ(0, body->EditAttr(nullptr));
    EXPECT_EQ(0, body->EditAttr(nullptr));
    EXPECT_EQ(CString("Evening News"), body->GetName());
    EXPECT_THROW(Run("edit-attr ok colour=red\n"), CommandError);
    EXPECT_THROW(Run("edit-attr cancel name=x\n"), CommandError);
}

TEST_F(RunnerTest, SentMessagesNameTheirTargetAndDescribeTheirPointers) {
    Run("sample\nopen\ndump\n");
    CKelSBBodyObj* body = runner->Scene().GetSBEditObj()->GetCurSBBodyObj();
    CWnd* history = KelToolGetToolBox(KEL_TOOLBOX_HISTORY);
    CWnd* navigator = KelToolGetToolBox(KEL_TOOLBOX_SB_NAVIGATOR);
    ASSERT_TRUE(IsWindow(history));
    ASSERT_TRUE(IsWindow(navigator));
    const UINT changed = RegisterWindowMessage("WM_CG_SBNAV_SBSELCONTENT_CHANGED");
    const UINT update = RegisterWindowMessage("WM_CG_UPDATE_HISTORY");
    navigator->SendMessage(changed, 5,
                           reinterpret_cast<LPARAM>(body->GetContainerObj(3)->GetContentObj(1)));
    history->SendMessage(update, 0, reinterpret_cast<LPARAM>(body->GetURBase()));
    history->SendMessage(update, 7, 12345);
    // Messages to windows that are none of the host's are not the editor's business here.
    CWnd stranger;
    ASSERT_TRUE(
        stranger.CreateEx(0, nullptr, "stranger", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    stranger.SendMessage(update, 1, 0);
    Run("dump\n");
    const Json sent = *kel::script::ResolvePath(LastDump(), "sent");
    ASSERT_EQ(3u, sent.AsArray().size());
    EXPECT_EQ(*Json::Parse("{\"to\":\"navigator\",\"message\":\"WM_CG_SBNAV_SBSELCONTENT_CHANGED\","
                           "\"wParam\":5,\"lParam\":[3,1]}"),
              sent.AsArray()[0]);
    EXPECT_EQ(Json("history"), *kel::script::ResolvePath(sent, "1.lParam"));
    EXPECT_EQ(Json(12345), *kel::script::ResolvePath(sent, "2.lParam"));

    // The runner's own messages to the dialog are left out, what the dialog sends is kept.
    Run("send WM_CG_SB_REFRESH_WINDOW 0 none\ndump\n");
    const Json refreshed = *kel::script::ResolvePath(LastDump(), "sent");
    ASSERT_EQ(1u, refreshed.AsArray().size());
    EXPECT_EQ(Json("itemedit"), *kel::script::ResolvePath(refreshed, "0.to"));
}

TEST_F(RunnerTest, CommandsNeedAnOpenEditorWhereTheyActOnIt) {
    for (const char* line : {"click 10 10", "key Home", "button 1016", "send WM_X 0 none", "show",
                             "size 10 10", "scroll h lineright"}) {
        EXPECT_THROW(Run(line), CommandError) << line;
    }
    Run("sample\nopen\n");
    EXPECT_THROW(Run("button 4242"), CommandError);
    EXPECT_THROW(Run("key F13"), CommandError);
    EXPECT_THROW(Run("send WM-BAD 0 none"), CommandError);
    EXPECT_THROW(Run("open 100"), CommandError);
}

TEST_F(RunnerTest, MessagesThatTakeAnObjectTakeOnlyTheRunnersOwn) {
    Run("sample\nopen\n");
    // A number would be followed as a pointer: a usage error, and nothing is sent.
    for (const char* line :
         {"send KELSB_AUTOMATION_STATE 0 4096", "send WM_CG_SB_REFRESH_CONTENTS 0 1",
          "send WM_CG_SBNAV_SBSELCONTENT_CHANGED 5 77", "send WM_CG_ADD_ITEM_TO_SB 0 8",
          "send WM_CG_UPDATE_HISTORY 5 state", "send WM_SOMETHING_ELSE 0 12"}) {
        EXPECT_THROW(Run(line), kel::script::UsageError) << line;
    }
    Run("send KELSB_AUTOMATION_STATE 0 state\nsend WM_CG_SB_REFRESH_CONTENTS 0 contents\n"
        "send WM_CG_UPDATE_HISTORY 5 history\nsend WM_CG_ADD_ITEM_TO_SB 0 none\n"
        "send WM_UPDATE_PLAY_CURRENT_FRAME 120 1\ndump\n");
    EXPECT_EQ(Json(120), *kel::script::ResolvePath(LastDump(), "document.storyboards.0.timeLine"));
}

TEST_F(RunnerTest, NamesWithBrokenUtf8AreShownAndDumpedWithReplacementCharacters) {
    Run("sample\npiece group \"Bad \xFF\xC0\" 10 20 10\ncontainer\n"
        "material in \"Bad \xFF\xC0\" 4 300 340\nopen\ndump\n");
    const std::string replaced = "Bad \xEF\xBF\xBD\xEF\xBF\xBD";
    const Json state = LastDump(); // it parses: the dump stays JSON
    EXPECT_EQ(Json(replaced),
              *kel::script::ResolvePath(state, "document.storyboards.0.containers.9.0.piece"));
    Run("paint\n");
    const Json painted = LastDump();
    ASSERT_TRUE(painted.IsArray());
    bool shown = false;
    for (const Json& op : painted.AsArray()) {
        const Json* text = op.Find("text");
        shown = shown || (text && text->AsString().rfind(replaced + "\\", 0) == 0);
    }
    EXPECT_TRUE(shown);
}

// Records what the drag loop did over one window.
class RecordingTarget : public kel::platform::DropTarget {
public:
    DWORD OnDragEnter(CWnd&, const kel::platform::DragPayload&, DWORD, CPoint point) override {
        points.push_back(point);
        return DROPEFFECT_MOVE;
    }
    DWORD OnDragOver(CWnd&, const kel::platform::DragPayload&, DWORD, CPoint point) override {
        points.push_back(point);
        return DROPEFFECT_MOVE;
    }
    void OnDragLeave(CWnd&) override {}
    BOOL OnDrop(CWnd&, const kel::platform::DragPayload&, DWORD, CPoint point) override {
        dropped = point;
        ++drops;
        return TRUE;
    }
    std::vector<CPoint> points;
    CPoint dropped;
    int drops = 0;
};

TEST_F(RunnerTest, AnOleDragStartedDuringAGestureFollowsItsRestAndDropsAtItsEnd) {
    CWnd target;
    ASSERT_TRUE(target.CreateEx(0, nullptr, "target", WS_POPUP | WS_VISIBLE,
                                CRect(100, 100, 500, 400), nullptr, 0));
    RecordingTarget recorder;
    kel::platform::RegisterDropTarget(target, &recorder);
    auto& backend = dynamic_cast<kel::script::ScriptBackend&>(kel::platform::GetBackend());
    const kel::platform::DragPayload payload{"MOVE_OBJECT_DATA", nullptr, 0};

    // Outside a gesture the drag is cancelled at once.
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), backend.DoDragDrop(payload, DROPEFFECT_MOVE));
    EXPECT_EQ(0, recorder.drops);

    backend.SetPendingGesture({CPoint(150, 150), CPoint(200, 160), CPoint(300, 180)});
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_MOVE), backend.DoDragDrop(payload, DROPEFFECT_MOVE));
    EXPECT_EQ(1, recorder.drops);
    EXPECT_EQ(CPoint(200, 80), recorder.dropped);
    // The gesture is used up: a second drag does not replay it.
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), backend.DoDragDrop(payload, DROPEFFECT_MOVE));
    EXPECT_EQ(1, recorder.drops);
    EXPECT_EQ(3, backend.DragsRun());
    kel::platform::RevokeDropTarget(target);
}

} // namespace
