// The window tree, message dispatch and input routing.
#include "ui_fixtures.h"

#include "platform/wnd.h"

#include <algorithm>
#include <stdexcept>

using kel::test::LoggingWnd;
using kel::test::UiTest;

namespace {

std::size_t IndexOf(const std::vector<std::string>& log, const std::string& entry) {
    return static_cast<std::size_t>(std::find(log.begin(), log.end(), entry) - log.begin());
}

} // namespace

TEST(RegisteredMessages, NamesMapToStableIdsInTheRegisteredRange) {
    const UINT a = RegisterWindowMessage("WM_TEST_ALPHA");
    const UINT b = RegisterWindowMessage("WM_TEST_BETA");
    EXPECT_GE(a, 0xC000u);
    EXPECT_LE(a, 0xFFFFu);
    EXPECT_NE(a, b);
    EXPECT_EQ(a, RegisterWindowMessage("WM_TEST_ALPHA"));
    // As on Windows, names are not case-sensitive, and formats share the table.
    EXPECT_EQ(a, RegisterWindowMessage("wm_test_alpha"));
    EXPECT_EQ(b, RegisterClipboardFormat("WM_TEST_BETA"));
    EXPECT_EQ(CString("WM_TEST_ALPHA"), kel::platform::RegisteredMessageName(a));
    EXPECT_TRUE(kel::platform::RegisteredMessageName(WM_PAINT).IsEmpty());
    EXPECT_EQ(0u, RegisterWindowMessage(""));
    EXPECT_EQ(0u, RegisterWindowMessage(nullptr));
}

class DispatchTest : public UiTest {};

class ThrowingWnd : public LoggingWnd {
protected:
    void OnSize(UINT, int, int) override { throw std::runtime_error("size handler failed"); }
};

TEST_F(DispatchTest, StandardMessagesReachHandlersAndTheRestDefaultProcessing) {
    LoggingWnd wnd;
    ASSERT_TRUE(wnd.CreatePopup(CRect(10, 20, 110, 70), 0));
    // Creation reports the size and position like the desktop does.
    EXPECT_TRUE(wnd.Saw("create"));
    EXPECT_TRUE(wnd.Saw("size 100x50"));
    EXPECT_TRUE(wnd.Saw("move 10,20"));

    wnd.SetWindowText("Storyboard Edit");
    EXPECT_EQ(CString("Storyboard Edit"), wnd.GetWindowText());
    char buffer[8];
    EXPECT_EQ(7, wnd.SendMessage(WM_GETTEXT, sizeof(buffer), reinterpret_cast<LPARAM>(buffer)));
    EXPECT_STREQ("Storybo", buffer);

    // WM_SETCURSOR over the client area is answered by the default processing.
    EXPECT_EQ(TRUE, wnd.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(&wnd),
                                    MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(MA_ACTIVATE, wnd.SendMessage(WM_MOUSEACTIVATE, 0, 0));

    // WM_CLOSE destroys by default; the object lives on.
    wnd.SendMessage(WM_CLOSE);
    EXPECT_FALSE(IsWindow(&wnd));
    EXPECT_TRUE(wnd.Saw("destroy"));
    EXPECT_EQ(0, wnd.SendMessage(WM_SIZE)); // nothing reaches a destroyed window
}

TEST_F(DispatchTest, AnExceptionFromAHandlerStopsAtTheDispatchBoundary) {
    ThrowingWnd wnd;
    ASSERT_TRUE(wnd.CreatePopup(CRect(0, 0, 50, 50), 0));
    EXPECT_NO_THROW(wnd.MoveWindow(0, 0, 80, 80));
    EXPECT_TRUE(IsWindow(&wnd));
    CRect client;
    wnd.GetClientRect(&client);
    EXPECT_EQ(80, client.Width());
}

class TreeTest : public UiTest {};

class ChildCheckingWnd : public LoggingWnd {
public:
    using LoggingWnd::LoggingWnd;
    CWnd* child = nullptr;
    bool childAliveDuringDestroy = false;

protected:
    void OnDestroy() override {
        childAliveDuringDestroy = IsWindow(child);
        LoggingWnd::OnDestroy();
    }
};

TEST_F(TreeTest, DestroyTakesChildrenAndOwnedPopupsAndLeavesObjectsAlive) {
    std::vector<std::string> log;
    ChildCheckingWnd parent("parent", &log);
    LoggingWnd child("child", &log);
    LoggingWnd grandchild("grandchild", &log);
    LoggingWnd owned("owned", &log);
    ASSERT_TRUE(parent.CreatePopup(CRect(0, 0, 300, 200)));
    ASSERT_TRUE(child.CreateChild(&parent, CRect(0, 0, 100, 100), 5));
    ASSERT_TRUE(grandchild.CreateChild(&child, CRect(0, 0, 10, 10), 6));
    ASSERT_TRUE(owned.CreatePopup(CRect(50, 50, 80, 80), WS_VISIBLE, &parent));
    parent.child = &child;
    EXPECT_EQ(&child, parent.GetDlgItem(5));
    EXPECT_EQ(nullptr, parent.GetDlgItem(6)); // only direct children

    EXPECT_TRUE(parent.DestroyWindow());
    EXPECT_TRUE(parent.childAliveDuringDestroy);
    EXPECT_LT(IndexOf(log, "owned:destroy"), IndexOf(log, "parent:destroy"));
    EXPECT_LT(IndexOf(log, "parent:destroy"), IndexOf(log, "child:destroy"));
    EXPECT_LT(IndexOf(log, "child:destroy"), IndexOf(log, "grandchild:destroy"));
    for (CWnd* w : std::initializer_list<CWnd*>{&parent, &child, &grandchild, &owned}) {
        EXPECT_FALSE(IsWindow(w));
        EXPECT_EQ(nullptr, w->GetSafeHwnd());
    }
    EXPECT_FALSE(parent.DestroyWindow()); // a second destroy is refused
}

TEST_F(TreeTest, IsWindowIsSafeForDeletedObjectsAndSiblingsStayLinked) {
    LoggingWnd parent;
    ASSERT_TRUE(parent.CreatePopup(CRect(0, 0, 300, 200)));
    auto* first = new LoggingWnd;
    LoggingWnd second;
    ASSERT_TRUE(first->CreateChild(&parent, CRect(0, 0, 10, 10), 1));
    ASSERT_TRUE(second.CreateChild(&parent, CRect(0, 0, 10, 10), 2));
    EXPECT_EQ(first, parent.GetWindow(GW_CHILD));
    EXPECT_EQ(&second, first->GetWindow(GW_HWNDNEXT));
    CWnd* stale = first;
    delete first; // deleting a live window destroys it
    EXPECT_FALSE(IsWindow(stale));
    EXPECT_EQ(&second, parent.GetWindow(GW_CHILD));
    EXPECT_EQ(nullptr, second.GetWindow(GW_HWNDPREV));
}

TEST_F(TreeTest, VisibilityNeedsEveryAncestorButNotTheOwner) {
    LoggingWnd top;
    LoggingWnd child;
    LoggingWnd popup;
    ASSERT_TRUE(top.CreatePopup(CRect(0, 0, 100, 100), 0));
    ASSERT_TRUE(child.CreateChild(&top, CRect(0, 0, 10, 10)));
    ASSERT_TRUE(popup.CreatePopup(CRect(0, 0, 10, 10), WS_VISIBLE, &top));
    EXPECT_FALSE(child.IsWindowVisible());
    EXPECT_TRUE(popup.IsWindowVisible());
    EXPECT_FALSE(top.ShowWindow(SW_SHOW));
    EXPECT_TRUE(top.Saw("show"));
    EXPECT_TRUE(child.IsWindowVisible());
    EXPECT_TRUE(top.ShowWindow(SW_HIDE));
    EXPECT_FALSE(child.IsWindowVisible());
    EXPECT_FALSE(IsWindowVisible(nullptr));
}

TEST_F(TreeTest, FramesShiftTheClientAreaAndConversionsFollowThem) {
    LoggingWnd dialog;
    // Caption 23 and sizing frame 4 in the headless metrics.
    ASSERT_TRUE(
        dialog.CreatePopup(CRect(100, 200, 500, 500), WS_VISIBLE | WS_CAPTION | WS_THICKFRAME));
    CRect client;
    dialog.GetClientRect(&client);
    EXPECT_EQ(CRect(0, 0, 392, 269), client);
    CRect window;
    dialog.GetWindowRect(&window);
    dialog.ScreenToClient(&window);
    EXPECT_EQ(CRect(-4, -27, 396, 273), window);

    LoggingWnd child;
    ASSERT_TRUE(child.CreateEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER,
                               CRect(10, 20, 60, 70), &dialog, 1));
    CPoint origin(0, 0);
    child.ClientToScreen(&origin);
    EXPECT_EQ(CPoint(100 + 4 + 10 + 1, 200 + 27 + 20 + 1), origin);
    CRect childWindow;
    child.GetWindowRect(&childWindow);
    dialog.ScreenToClient(&childWindow);
    EXPECT_EQ(CRect(10, 20, 60, 70), childWindow);
    EXPECT_EQ(&child, WindowFromPoint(origin));
    EXPECT_EQ(&dialog, WindowFromPoint(CPoint(101, 201))); // on the frame

    child.Log().clear();
    child.MoveWindow(15, 20, 50, 40);
    EXPECT_TRUE(child.Saw("move 16,21"));
    EXPECT_TRUE(child.Saw("size 48x38"));
    child.Log().clear();
    child.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_TRUE(child.Log().empty());
}

class InputTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        ASSERT_TRUE(top.CreatePopup(CRect(0, 0, 400, 300)));
        ASSERT_TRUE(left.CreateChild(&top, CRect(0, 0, 200, 300), 1));
        ASSERT_TRUE(right.CreateChild(&top, CRect(200, 0, 400, 300), 2));
        ASSERT_TRUE(inner.CreateChild(&right, CRect(10, 10, 50, 50), 3));
    }
    std::vector<std::string> log;
    LoggingWnd top{"top", &log};
    LoggingWnd left{"left", &log};
    LoggingWnd right{"right", &log};
    LoggingWnd inner{"inner", &log};
};

TEST_F(InputTest, MouseGoesToTheDeepestWindowWithSetCursorFirst) {
    headless->SetKeyDown(VK_SHIFT, true);
    EXPECT_EQ(&inner, kel::platform::DeliverMouse(WM_LBUTTONDOWN, CPoint(215, 20), MK_LBUTTON));
    const std::string setCursor = "inner:setcursor 1 " + std::to_string(WM_LBUTTONDOWN);
    const std::string press =
        "inner:lbuttondown 5,10 flags " + std::to_string(MK_LBUTTON | MK_SHIFT);
    ASSERT_LT(IndexOf(log, setCursor), log.size());
    ASSERT_LT(IndexOf(log, press), log.size());
    EXPECT_LT(IndexOf(log, setCursor), IndexOf(log, press));

    // Hidden children are skipped; disabled ones give the point to their parent.
    inner.ShowWindow(SW_HIDE);
    EXPECT_EQ(&right, kel::platform::DeliverMouse(WM_MOUSEMOVE, CPoint(215, 20), 0));
    inner.ShowWindow(SW_SHOW);
    inner.EnableWindow(FALSE);
    EXPECT_EQ(&right, kel::platform::DeliverMouse(WM_MOUSEMOVE, CPoint(215, 20), 0));
}

TEST_F(InputTest, CaptureTakesEveryMouseMessageAndTellsTheLoser) {
    left.SetCapture();
    log.clear();
    EXPECT_EQ(&left, kel::platform::DeliverMouse(WM_MOUSEMOVE, CPoint(350, 40), MK_LBUTTON));
    EXPECT_TRUE(left.Saw("mousemove 350,40")); // client coordinates of the capture window
    EXPECT_FALSE(left.Saw("setcursor 1 512")); // no cursor question while captured

    right.SetCapture();
    EXPECT_TRUE(left.Saw("capturechanged to other"));
    EXPECT_EQ(&right, CWnd::GetCapture());
    ReleaseCapture();
    EXPECT_TRUE(right.Saw("capturechanged to none"));
    EXPECT_EQ(nullptr, CWnd::GetCapture());

    // Destroying the capture window frees the mouse.
    inner.SetCapture();
    inner.DestroyWindow();
    EXPECT_EQ(nullptr, CWnd::GetCapture());
}

TEST_F(InputTest, PreTranslateRunsUpTheParentsBeforeTheMessage) {
    inner.SetFocus();
    log.clear();
    const auto key = std::to_string(WM_KEYDOWN);
    EXPECT_EQ(&inner, kel::platform::DeliverKey(WM_KEYDOWN, VK_DELETE));
    const std::vector<std::string> expected = {
        "inner:pretranslate " + key, "right:pretranslate " + key, "top:pretranslate " + key,
        "inner:keydown " + std::to_string(VK_DELETE)};
    EXPECT_EQ(expected, log);

    log.clear();
    right.preTranslateHandles = true;
    kel::platform::DeliverKey(WM_KEYDOWN, VK_DELETE);
    EXPECT_FALSE(inner.Saw("keydown " + std::to_string(VK_DELETE)));
    EXPECT_FALSE(top.Saw("pretranslate " + key));
}

TEST_F(InputTest, FocusAndActivationMoveTogether) {
    LoggingWnd other("other", &log);
    ASSERT_TRUE(other.CreatePopup(CRect(500, 0, 600, 100)));
    EXPECT_EQ(&other, CWnd::GetActiveWindow());
    log.clear();
    left.SetFocus();
    EXPECT_EQ(&top, CWnd::GetActiveWindow());
    EXPECT_TRUE(other.Saw("inactive other"));
    EXPECT_TRUE(top.Saw("active other"));
    EXPECT_TRUE(left.Saw("setfocus"));
    log.clear();
    right.SetFocus();
    EXPECT_LT(IndexOf(log, "left:killfocus"), IndexOf(log, "right:setfocus"));
    // Hiding the window with the focus takes the focus away.
    right.ShowWindow(SW_HIDE);
    EXPECT_EQ(nullptr, CWnd::GetFocus());
}
