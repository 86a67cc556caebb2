// Dialogs made from templates: controls, dialog units, keyboard interface, control binding
// and the modal loop.
#include "ui_fixtures.h"

#include "platform/dialog.h"

using kel::test::LoggingWnd;
using kel::test::UiTest;

namespace {

// A control class of its own, made through the factory registry.
class ProbeControl : public CWnd {
public:
    static int made;
    ProbeControl() { ++made; }
    bool wantsAllKeys = false;
    int clicks = 0;

protected:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_GETDLGCODE) {
            return wantsAllKeys ? DLGC_WANTALLKEYS : 0;
        }
        return CWnd::DefWindowProc(message, wParam, lParam);
    }
    void OnSubclassed(CWnd& previous) override {
        if (auto* probe = dynamic_cast<ProbeControl*>(&previous)) {
            clicks = probe->clicks;
        }
    }
};
int ProbeControl::made = 0;

class TestDialog : public CDialog {
public:
    int inits = 0;
    int oks = 0;
    int cancels = 0;
    bool childrenAtInit = false;
    CWnd* templateItem11 = nullptr;
    bool closeOnOk = true;
    ProbeControl bound; // bound to item 11 in DoDataExchange

protected:
    BOOL OnInitDialog() override {
        ++inits;
        childrenAtInit = GetDlgItem(10) != nullptr && GetDlgItem(11) != nullptr;
        templateItem11 = GetDlgItem(11);
        return CDialog::OnInitDialog();
    }
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, 11, bound); }
    void OnOK() override {
        ++oks;
        if (closeOnOk) {
            CDialog::OnOK();
        }
    }
    void OnCancel() override {
        ++cancels;
        CDialog::OnCancel();
    }
};

DialogTemplate MakeTemplate() {
    DialogTemplate t;
    t.caption = "Storyboard List";
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    t.cx = 200;
    t.cy = 100;
    t.fontName = "Times New Roman";
    t.fontSize = 9;
    t.items.push_back({10, "PROBE", "first", WS_VISIBLE | WS_TABSTOP, 4, 8, 40, 16});
    t.items.push_back({11, "probe", "second", WS_VISIBLE | WS_TABSTOP, 48, 8, 40, 16});
    t.items.push_back({IDOK, "UNKNOWN", "OK", WS_VISIBLE, 100, 80, 40, 14});
    return t;
}

class DialogTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        kel::platform::RegisterControlFactory("Probe",
                                              [] { return std::make_unique<ProbeControl>(); });
    }
};

} // namespace

TEST_F(DialogTest, TemplateBuildsControlsInPixelsBeforeInitialisation) {
    TestDialog dlg;
    ProbeControl::made = 0;
    ASSERT_TRUE(dlg.CreateIndirect(MakeTemplate()));
    EXPECT_EQ(1, dlg.inits);
    EXPECT_TRUE(dlg.childrenAtInit);
    EXPECT_EQ(2, ProbeControl::made); // the class name is matched without regard to case
    EXPECT_TRUE(dlg.IsWindowVisible());

    // Base units 7 x 14: x * 7 / 4, y * 14 / 8.
    CRect client;
    dlg.GetClientRect(&client);
    EXPECT_EQ(CRect(0, 0, 350, 175), client);
    CRect item;
    dlg.GetDlgItem(10)->GetWindowRect(&item);
    dlg.ScreenToClient(&item);
    EXPECT_EQ(CRect(7, 14, 77, 42), item);
    EXPECT_EQ(CString("first"), dlg.GetDlgItem(10)->GetWindowText());
    EXPECT_NE(nullptr, dlg.GetDlgItem(IDOK)); // an unknown class still makes a window
    EXPECT_NE(nullptr, dlg.GetDlgItem(10)->GetFont());
    EXPECT_EQ(dlg.GetDlgItem(10), CWnd::GetFocus()); // the first tab stop
}

TEST_F(DialogTest, BindingAControlHandsTheWindowToTheMember) {
    TestDialog dlg;
    ASSERT_TRUE(dlg.CreateIndirect(MakeTemplate()));
    // The binding happened in OnInitDialog's data exchange.
    ASSERT_NE(&dlg.bound, dlg.templateItem11);
    EXPECT_EQ(&dlg.bound, dlg.GetDlgItem(11));
    EXPECT_EQ(CString("second"), dlg.bound.GetWindowText());
    EXPECT_EQ(11, dlg.bound.GetDlgCtrlID());
    EXPECT_EQ(dlg.GetDlgItem(10), dlg.bound.GetWindow(GW_HWNDPREV)); // z order kept
    EXPECT_EQ(&dlg, dlg.bound.GetParent());
    EXPECT_FALSE(IsWindow(dlg.templateItem11));

    dlg.UpdateData(FALSE); // a second exchange leaves the binding alone
    EXPECT_EQ(&dlg.bound, dlg.GetDlgItem(11));
    dlg.DestroyWindow();
    EXPECT_FALSE(IsWindow(&dlg.bound));
}

TEST_F(DialogTest, SubclassingMovesFocusAndControlData) {
    LoggingWnd parent;
    ASSERT_TRUE(parent.CreatePopup(CRect(0, 0, 100, 100)));
    ProbeControl original;
    ASSERT_TRUE(
        original.Create("PROBE", "x", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &parent, 42));
    original.clicks = 3;
    original.SetFocus();
    ProbeControl member;
    EXPECT_TRUE(member.SubclassDlgItem(42, &parent));
    EXPECT_EQ(3, member.clicks);
    EXPECT_EQ(&member, CWnd::GetFocus());
    EXPECT_FALSE(IsWindow(&original));
    EXPECT_FALSE(member.SubclassDlgItem(42, &parent)); // already has a window
}

TEST_F(DialogTest, EnterAndEscapeReachOkAndCancelUnlessAControlWantsThem) {
    TestDialog dlg;
    dlg.closeOnOk = false; // like an editor dialog whose OnOK does nothing
    ASSERT_TRUE(dlg.CreateIndirect(MakeTemplate()));
    dlg.GetDlgItem(10)->SetFocus();
    kel::platform::DeliverKey(WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(1, dlg.oks);
    EXPECT_TRUE(dlg.IsWindowVisible()); // Enter left the dialog open

    dlg.bound.wantsAllKeys = true;
    dlg.bound.SetFocus();
    kel::platform::DeliverKey(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(0, dlg.cancels);

    dlg.GetDlgItem(10)->SetFocus();
    kel::platform::DeliverKey(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(1, dlg.cancels);
    EXPECT_FALSE(dlg.IsWindowVisible()); // a modeless EndDialog hides

    dlg.ShowWindow(SW_SHOW);
    dlg.SendMessage(WM_CLOSE); // closing is a click on Cancel
    EXPECT_EQ(2, dlg.cancels);
    EXPECT_TRUE(IsWindow(&dlg));
}

TEST_F(DialogTest, ModalLoopRunsTheScriptWithTheOwnerDisabled) {
    LoggingWnd owner;
    ASSERT_TRUE(owner.CreatePopup(CRect(0, 0, 300, 300)));
    TestDialog dlg;
    dlg.InitModalIndirect(MakeTemplate(), &owner);
    bool ownerDisabled = false;
    headless->QueueModal([&](CWnd& shown) {
        ownerDisabled = !owner.IsWindowEnabled();
        EXPECT_EQ(&dlg, &shown);
        EXPECT_EQ(1, dlg.inits);
        kel::platform::DeliverKey(WM_KEYDOWN, VK_RETURN);
        return 99; // ignored: the dialog ended itself
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_FALSE(IsWindow(&dlg));

    // Nothing queued: the backend cancels; the dialog can run again.
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ(2, headless->ModalDialogsRun());

    TestDialog missing;
    EXPECT_EQ(-1, missing.DoModal()); // no template
}
