// The headless backend's scripted answers, its defaults, and drag and drop through it.
#include "ui_fixtures.h"

#include "platform/cursor.h"
#include "platform/menu.h"
#include "platform/ole.h"

using kel::test::LoggingWnd;
using kel::test::UiTest;

class HeadlessTest : public UiTest {};

TEST_F(HeadlessTest, MessageBoxesAnswerFromTheQueueThenByTheirButtons) {
    headless->QueueMessageBoxAnswer(IDYES);
    EXPECT_EQ(IDYES, AfxMessageBox("Delete?", MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(IDNO, AfxMessageBox("Delete?", MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(IDNO, AfxMessageBox("Save?", MB_YESNOCANCEL));
    EXPECT_EQ(IDCANCEL, AfxMessageBox("Go on?", MB_OKCANCEL));
    EXPECT_EQ(IDOK, AfxMessageBox("Forbidden"));
    LoggingWnd owner;
    ASSERT_TRUE(owner.CreatePopup(CRect(0, 0, 10, 10)));
    owner.SetWindowText("Storyboard Edit");
    owner.MessageBox("Text", nullptr, MB_OK);
    const auto& boxes = headless->MessageBoxes();
    ASSERT_EQ(6u, boxes.size());
    EXPECT_EQ(CString("Delete?"), boxes[0].text);
    EXPECT_EQ(MB_YESNO | MB_ICONQUESTION, boxes[0].type);
    EXPECT_EQ(IDYES, boxes[0].answer);
    EXPECT_EQ(&owner, boxes[5].owner);
    EXPECT_EQ(CString("Storyboard Edit"), boxes[5].caption);
}

TEST_F(HeadlessTest, PopupMenusAreRecordedWithTheirItemStates) {
    LoggingWnd owner;
    ASSERT_TRUE(owner.CreatePopup(CRect(0, 0, 10, 10)));
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, 100, "Cut");
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_STRING | MF_GRAYED, 101, "Paste");
    menu.AppendMenu(MF_STRING | MF_CHECKED, 102, "Lock");
    headless->QueuePopupMenuAnswer(102);
    EXPECT_EQ(102, menu.TrackPopupMenu(TPM_RETURNCMD, 5, 6, &owner));
    EXPECT_EQ(0, menu.TrackPopupMenu(TPM_RETURNCMD, 5, 6, &owner)); // none queued: dismissed
    const auto& menus = headless->PopupMenus();
    ASSERT_EQ(2u, menus.size());
    EXPECT_EQ(CPoint(5, 6), menus[0].screen);
    ASSERT_EQ(4u, menus[0].items.size());
    EXPECT_TRUE(menus[0].items[1].separator);
    EXPECT_FALSE(menus[0].items[2].enabled);
    EXPECT_TRUE(menus[0].items[3].checked);
    EXPECT_EQ(CString("Cut"), menus[0].items[0].text);
}

TEST_F(HeadlessTest, CursorStateFollowsClipAndDefaultHandling) {
    const CRect clip(100, 100, 200, 150);
    ClipCursor(&clip);
    SetCursorPos(500, 10);
    CPoint pos;
    GetCursorPos(&pos);
    EXPECT_EQ(CPoint(199, 100), pos);
    ASSERT_TRUE(headless->CursorClip().has_value());
    ClipCursor(nullptr);
    EXPECT_FALSE(headless->CursorClip().has_value());

    LoggingWnd parent;
    LoggingWnd child;
    ASSERT_TRUE(parent.CreatePopup(CRect(0, 0, 100, 100)));
    ASSERT_TRUE(child.CreateChild(&parent, CRect(0, 0, 50, 50)));
    HCURSOR wait = LoadCursor(nullptr, IDC_WAIT);
    child.SetClassCursor(wait);
    kel::platform::DeliverMouse(WM_MOUSEMOVE, CPoint(10, 10), 0);
    EXPECT_EQ(wait, headless->CurrentCursor());
    // The parent is asked first, as on the desktop.
    EXPECT_TRUE(parent.Saw("setcursor 1 " + std::to_string(WM_MOUSEMOVE)));
    kel::platform::DeliverMouse(WM_MOUSEMOVE, CPoint(80, 80), 0);
    EXPECT_EQ(LoadCursor(nullptr, IDC_ARROW), headless->CurrentCursor());
}

namespace {

class RecordingTarget : public COleDropTarget {
public:
    std::vector<std::string> calls;
    std::vector<CPoint> points;
    DROPEFFECT offer = DROPEFFECT_MOVE;
    bool sawFormat = false;

    DROPEFFECT OnDragEnter(CWnd*, COleDataObject* data, DWORD, CPoint p) override {
        calls.push_back("enter");
        points.push_back(p);
        sawFormat = data->IsDataAvailable(
            static_cast<CLIPFORMAT>(RegisterClipboardFormat("MOVE_OBJECT_DATA")));
        return offer;
    }
    DROPEFFECT OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint p) override {
        calls.push_back("over");
        points.push_back(p);
        return offer;
    }
    void OnDragLeave(CWnd*) override { calls.push_back("leave"); }
    BOOL OnDrop(CWnd*, COleDataObject* data, DROPEFFECT, CPoint p) override {
        calls.push_back("drop");
        points.push_back(p);
        std::size_t size = 0;
        const void* bytes = data->GetData(
            static_cast<CLIPFORMAT>(RegisterClipboardFormat("MOVE_OBJECT_DATA")), &size);
        return bytes != nullptr && size == 3;
    }
};

} // namespace

class DragDropTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        ASSERT_TRUE(top.CreatePopup(CRect(0, 0, 400, 200)));
        ASSERT_TRUE(view.CreateChild(&top, CRect(200, 0, 400, 200)));
        ASSERT_TRUE(inner.CreateChild(&view, CRect(0, 0, 50, 50)));
        ASSERT_TRUE(target.Register(&view));
        const unsigned char bytes[3] = {1, 2, 3};
        source.CacheData(static_cast<CLIPFORMAT>(RegisterClipboardFormat("MOVE_OBJECT_DATA")),
                         bytes, sizeof(bytes));
    }
    LoggingWnd top;
    LoggingWnd view;
    LoggingWnd inner;
    RecordingTarget target;
    COleDataSource source;
};

TEST_F(DragDropTest, TargetsSeeEnterOverAndDropInTheirClientCoordinates) {
    // Over a child of the registered window, the registered window takes the drop.
    headless->QueueDrag({{CPoint(10, 10), CPoint(210, 20), CPoint(300, 40)}, true, 0});
    EXPECT_EQ(DROPEFFECT_MOVE, source.DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE));
    const std::vector<std::string> expected = {"enter", "over", "drop"};
    EXPECT_EQ(expected, target.calls);
    EXPECT_TRUE(target.sawFormat);
    EXPECT_EQ(CPoint(10, 20), target.points[0]);
    EXPECT_EQ(CPoint(100, 40), target.points.back());
}

TEST_F(DragDropTest, RefusedOrCancelledDragsDropNothing) {
    target.offer = DROPEFFECT_MOVE;
    headless->QueueDrag({{CPoint(210, 20), CPoint(220, 20)}, false, 0});
    EXPECT_EQ(DROPEFFECT_NONE, source.DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE));
    std::vector<std::string> expected = {"enter", "over", "leave"};
    EXPECT_EQ(expected, target.calls);

    target.calls.clear();
    headless->QueueDrag({{CPoint(210, 20), CPoint(220, 20)}, true, 0});
    EXPECT_EQ(DROPEFFECT_NONE, source.DoDragDrop(DROPEFFECT_COPY)); // move is not allowed
    expected = {"enter", "over", "leave"};
    EXPECT_EQ(expected, target.calls);

    // Leaving the target for a window without one leaves it; a revoked target hears nothing.
    target.calls.clear();
    headless->QueueDrag({{CPoint(210, 20), CPoint(10, 20)}, true, 0});
    EXPECT_EQ(DROPEFFECT_NONE, source.DoDragDrop(DROPEFFECT_MOVE));
    expected = {"enter", "leave"};
    EXPECT_EQ(expected, target.calls);
    target.calls.clear();
    view.DestroyWindow();
    headless->QueueDrag({{CPoint(210, 20)}, true, 0});
    EXPECT_EQ(DROPEFFECT_NONE, source.DoDragDrop(DROPEFFECT_MOVE));
    EXPECT_TRUE(target.calls.empty());
    EXPECT_EQ(4u, headless->Drags().size());
}
