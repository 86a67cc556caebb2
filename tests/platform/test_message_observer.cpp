// The observer of registered messages that hosts use to follow a module's conversation.
#include "ui_fixtures.h"

#include "platform/wnd.h"

#include <string>
#include <vector>

using kel::test::LoggingWnd;
using kel::test::UiTest;

namespace {

struct Seen {
    CWnd* target;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Records a registered message and sends another from inside its handler, as a dialog that
// relays a message to its parent does.
class RelayWnd : public LoggingWnd {
public:
    UINT relay = 0;
    CWnd* relayTo = nullptr;
    std::vector<std::string>* order = nullptr;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == relay && relay != 0) {
            order->push_back("handled");
            return relayTo->SendMessage(relay, wParam + 1, lParam);
        }
        return LoggingWnd::WindowProc(message, wParam, lParam);
    }
};

class MessageObserverTest : public UiTest {
protected:
    void TearDown() override { kel::platform::SetMessageObserver(nullptr); }
};

TEST_F(MessageObserverTest, SeesRegisteredSendsBeforeTheirHandlersAndNothingElse) {
    RelayWnd dialog;
    LoggingWnd parent;
    ASSERT_TRUE(parent.CreatePopup(CRect(0, 0, 100, 100)));
    ASSERT_TRUE(dialog.CreatePopup(CRect(0, 0, 50, 50), WS_VISIBLE, &parent));
    std::vector<std::string> order;
    dialog.relay = RegisterWindowMessage("WM_TEST_OBSERVED_RELAY");
    dialog.relayTo = &parent;
    dialog.order = &order;

    std::vector<Seen> seen;
    kel::platform::SetMessageObserver([&](CWnd* target, UINT message, WPARAM w, LPARAM l) {
        seen.push_back({target, message, w, l});
        order.push_back("observed");
    });
    dialog.SendMessage(dialog.relay, 4, 9);
    // Messages below the registered range are not observed.
    dialog.SendMessage(WM_USER + 5, 0, 0);

    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ(&dialog, seen[0].target);
    EXPECT_EQ(4u, seen[0].wParam);
    EXPECT_EQ(9, seen[0].lParam);
    // The relayed message is observed too, with the target the handler chose.
    EXPECT_EQ(&parent, seen[1].target);
    EXPECT_EQ(5u, seen[1].wParam);
    EXPECT_EQ((std::vector<std::string>{"observed", "handled", "observed"}), order);

    // Removing the observer stops the calls.
    kel::platform::SetMessageObserver(nullptr);
    const std::size_t before = seen.size();
    dialog.SendMessage(dialog.relay, 0, 0);
    EXPECT_EQ(before, seen.size());
}

TEST_F(MessageObserverTest, AnObserverThatDestroysTheTargetStopsTheDelivery) {
    RelayWnd wnd;
    ASSERT_TRUE(wnd.CreatePopup(CRect(0, 0, 50, 50)));
    std::vector<std::string> order;
    wnd.relay = RegisterWindowMessage("WM_TEST_OBSERVED_DESTROY");
    wnd.relayTo = &wnd;
    wnd.order = &order;
    kel::platform::SetMessageObserver(
        [&](CWnd* target, UINT, WPARAM, LPARAM) { target->DestroyWindow(); });
    EXPECT_EQ(0, wnd.SendMessage(wnd.relay, 0, 0));
    EXPECT_TRUE(order.empty());
    EXPECT_FALSE(IsWindow(&wnd));
}

} // namespace
