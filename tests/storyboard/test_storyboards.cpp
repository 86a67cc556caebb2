// The scene's storyboards: the eight operations of the view, and the Storyboard List dialog
// that runs them, its list, buttons and context menu, as a person drives them.
#include "dialog/sblist_dlg.h"
#include "storyboard/list_button_ids.h"
#include "storyboard/storyboard_fixture.h"

#include <functional>
#include <map>

namespace kel::test {
namespace {

class StoryboardTest : public OperationTest {
protected:
    CKelSBEditObj& Document() const { return *scene->GetSBEditObj(); }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int i = 0; i < Document().GetSBBodyCount(); ++i)
            names.push_back(Document().GetSBBodyObj(i)->GetName().str());
        return names;
    }
    std::string JoinedNames() const {
        std::string joined;
        for (const std::string& name : Names())
            joined += (joined.empty() ? "" : " ") + name;
        return joined;
    }
    std::vector<std::string> SelectorEntries() const {
        auto* selector = dynamic_cast<CComboBox*>(view->GetDlgItem(IDC_VIEW_SB_SELECTOR));
        std::vector<std::string> entries;
        for (int i = 0; selector && i < selector->GetCount(); ++i)
            entries.push_back(selector->GetLBText(i).str());
        return entries;
    }
    // The history the history panel was last pointed at.
    LPARAM ShownHistory() const {
        const auto sent = history.Named(WM_CG_UPDATE_HISTORY);
        return sent.empty() ? 0 : sent.back().lParam;
    }

    // Opens the Storyboard List dialog with the view's tool button and runs `drive` inside it;
    // the dialog closes with OK afterwards unless `drive` closed it.
    void InListDialog(const std::function<void(CKelSBOperationDlg&)>& drive) {
        bool ran = false;
        headless->QueueModal([&](CWnd& wnd) {
            ran = true;
            auto& dialog = dynamic_cast<CKelSBOperationDlg&>(wnd);
            drive(dialog);
            if (!dialog.IsModalLoopDone())
                Press(dialog, IDOK);
            return IDOK;
        });
        view->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_VIEW_TOOL_SB_OPERATION, BN_CLICKED), 0);
        EXPECT_TRUE(ran) << "the list dialog did not open";
    }
    static void Press(CKelSBOperationDlg& dialog, UINT nId) {
        auto* button = dynamic_cast<CButton*>(dialog.GetDlgItem(static_cast<int>(nId)));
        ASSERT_NE(button, nullptr);
        button->UserClick();
    }
    static bool Enabled(CKelSBOperationDlg& dialog, UINT nId) {
        const CWnd* button = dialog.GetDlgItem(static_cast<int>(nId));
        return button && button->IsWindowEnabled();
    }
    // Up, down, delete, cut, paste: whether each button is enabled.
    static std::vector<bool> ButtonStates(CKelSBOperationDlg& dialog) {
        return {Enabled(dialog, IDC_SBL_MOVE_UP), Enabled(dialog, IDC_SBL_MOVE_DOWN),
                Enabled(dialog, IDC_SBL_DELETE), Enabled(dialog, IDC_SBL_CUT),
                Enabled(dialog, IDC_SBL_PASTE)};
    }
    // A right click on an item, the menu answered with `nAnswer` (0: dismissed); the menu's
    // entries as shown, by command id.
    std::map<UINT, bool> RightClick(CKelSBOperationDlg& dialog, int nItem, UINT nAnswer) {
        CListBox& list = dialog.GetList();
        CRect rect;
        list.GetItemRect(nItem, &rect);
        headless->QueuePopupMenuAnswer(nAnswer);
        const std::size_t nShown = headless->PopupMenus().size();
        list.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON,
                         MAKELPARAM(rect.CenterPoint().x, rect.CenterPoint().y));
        std::map<UINT, bool> enabled;
        if (headless->PopupMenus().size() == nShown + 1) {
            for (const auto& item : headless->PopupMenus().back().items)
                if (item.id != 0)
                    enabled[item.id] = item.enabled;
        }
        return enabled;
    }
};

TEST_F(StoryboardTest, EachOperationActsOnTheCurrentStoryboardAndKeepsThePanelsInStep) {
    struct Step {
        std::function<int()> run;
        const char* names; // the storyboards afterwards, in order
        int nCurrent;
        bool bNavigator;
    };
    CKelSBEditView& v = *view;
    const Step steps[] = {
        {[&] { return v.AppendSBBody(); }, "News Sports Storyboard", 2, true},
        {[&] { return v.MoveUpSBBody(); }, "News Storyboard Sports", 1, false},
        {[&] { return v.CopySBBody(); }, "News Storyboard Sports", 1, false},
        {[&] { return v.InsertSBBody(); }, "News Storyboard Storyboard Sports", 1, true},
        {[&] { return v.MoveDownSBBody(); }, "News Storyboard Storyboard Sports", 2, false},
        {[&] { return v.PasteSBBody(); }, "News Storyboard Storyboard Storyboard Sports", 3, true},
        {[&] { return v.DeleteSBBody(); }, "News Storyboard Storyboard Sports", 3, true},
        {[&] { return v.CutSBBody(); }, "News Storyboard Storyboard", 2, true},
    };
    CWnd* selector = view->GetDlgItem(IDC_VIEW_SB_SELECTOR);
    ASSERT_NE(selector, nullptr);
    for (const Step& step : steps) {
        SCOPED_TRACE(step.names);
        ClearReceived();
        selector->ValidateRect(nullptr);
        ASSERT_EQ(step.run(), 1);
        // The closed selector is drawn again, naming the storyboard the view now shows.
        EXPECT_TRUE(selector->GetUpdateRect(nullptr));
        EXPECT_EQ(JoinedNames(), step.names);
        EXPECT_EQ(Document().GetCurSBBodyIndex(), step.nCurrent);
        EXPECT_EQ(PanelSwitches(), (std::vector<WPARAM>{0, 1}));
        // The selector lists them; storyboards of the default name by their position.
        const std::vector<std::string> entries = SelectorEntries();
        ASSERT_EQ(entries.size(), Names().size());
        const std::string current = Names()[static_cast<std::size_t>(step.nCurrent)];
        EXPECT_EQ(entries[static_cast<std::size_t>(step.nCurrent)],
                  current == "Storyboard" ? "Storyboard-" + std::to_string(step.nCurrent + 1)
                                          : current);
        // Whenever another storyboard became current, the panels follow it.
        if (step.bNavigator) {
            EXPECT_EQ(ShownHistory(), reinterpret_cast<LPARAM>(view->GetCurHistory()));
            EXPECT_FALSE(navigator.Named(WM_CG_SBNAV_SBSELCONTENT_CHANGED).empty());
        }
        ExpectConsistent("the operation");
    }
    EXPECT_EQ(Document().GetSBClipboardCount(), 1);
}

TEST_F(StoryboardTest, RefusalsWhileLoadedAndAFailedDeleteChangeNothing) {
    Load();
    ClearReceived();
    CKelSBEditView& v = *view;
    const std::function<int()> operations[] = {
        [&] { return v.AppendSBBody(); }, [&] { return v.InsertSBBody(); },
        [&] { return v.DeleteSBBody(); }, [&] { return v.MoveDownSBBody(); },
        [&] { return v.CutSBBody(); },    [&] { return v.CopySBBody(); },
        [&] { return v.PasteSBBody(); },
    };
    for (const auto& run : operations)
        EXPECT_EQ(run(), 0);
    EXPECT_EQ(Names(), (std::vector<std::string>{"News", "Sports"}));
    EXPECT_TRUE(PanelSwitches().empty());
    dlg->RunButton(IDC_BTN_DOWNLOAD);

    // The last storyboard cannot go: the view keeps what it showed.
    ASSERT_EQ(view->DeleteSBBody(), 1);
    Select({0}, Content(0, 0));
    ClearReceived();
    EXPECT_EQ(view->DeleteSBBody(), 0);
    EXPECT_EQ(view->Selection().GetCurContent(), Content(0, 0));
    EXPECT_EQ(PanelSwitches(), (std::vector<WPARAM>{0, 1}));
    EXPECT_EQ(view->CutSBBody(), 0);
    EXPECT_EQ(Names(), std::vector<std::string>{"Sports"});
    EXPECT_EQ(Document().GetSBClipboardCount(), 0);
}

TEST_F(StoryboardTest, TheListButtonsShowTheirCaptionsWithoutTheSkinsMarkAndWhole) {
    const auto& ids = kListButtonIds;
    for (LANGID language : {LANG_ENGLISH_US, LANG_CHINESE_SIMPLIFIED, LANG_CHINESE_TRADITIONAL}) {
        SCOPED_TRACE(language);
        CKelModuleRC::SetLanguage(language);
        InListDialog([&](CKelSBOperationDlg& dialog) {
            for (UINT nId : ids) {
                SCOPED_TRACE(nId);
                CWnd* button = dialog.GetDlgItem(static_cast<int>(nId));
                ASSERT_NE(button, nullptr);
                // The mark belongs to the caption's text...
                const std::string caption = button->GetWindowText().str();
                ASSERT_TRUE(caption.ends_with("@p"));
                button->Invalidate(FALSE);
                button->UpdateWindow();
                std::vector<kel::platform::DrawRecord> texts;
                for (const auto& op : headless->LastPaint(*button))
                    if (op.Is("DrawText"))
                        texts.push_back(op);
                ASSERT_EQ(texts.size(), 1u);
                // ...but is not drawn, and what is drawn fits the button.
                EXPECT_EQ(texts[0].text.str(), caption.substr(0, caption.size() - 2));
                CRect client;
                button->GetClientRect(&client);
                EXPECT_GE(texts[0].textRect.left, client.left);
                EXPECT_LE(texts[0].textRect.right, client.right);
            }
        });
    }
    CKelModuleRC::SetLanguage(LANG_ENGLISH_US);
}

// What the list holds and how its buttons follow the storyboard chosen in it is the runner
// script storyboards_playback.kss; here how it draws them.
TEST_F(StoryboardTest, TheListIsOwnerDrawnAndItsButtonsFollowTheHighlightedOne) {
    InListDialog([&](CKelSBOperationDlg& dialog) {
        CListBox& list = dialog.GetList();
        EXPECT_EQ(ButtonStates(dialog), (std::vector<bool>{false, true, true, true, false}));
        // The selected item in olive with black text, the others blue-grey with white, each
        // named with its position, 20 pixels high, framed.
        list.Invalidate();
        list.UpdateWindow();
        int nItems = 0;
        for (const auto& record : headless->LastPaint(list)) {
            if (record.Is("FillSolidRect") && record.rect.Height() == 20) {
                const bool bFirst = record.rect.top == 0;
                EXPECT_EQ(record.color, bFirst ? RGB(140, 140, 0) : RGB(96, 109, 137));
                ++nItems;
            } else if (record.Is("DrawText")) {
                EXPECT_EQ(record.text, record.textColor == RGB(0, 0, 0) ? CString("News-1")
                                                                        : CString("Sports-2"));
            }
        }
        EXPECT_EQ(nItems, 2);
        list.UserSelect(1);
        EXPECT_EQ(ButtonStates(dialog), (std::vector<bool>{true, false, true, true, false}));
        Press(dialog, IDOK);
        EXPECT_TRUE(dialog.IsModalLoopDone());
    });
}

// A right click highlights a storyboard without showing it, and the menu's commands act on
// the highlighted one: deleting from the menu never deletes the storyboard on screen instead.
TEST_F(StoryboardTest, TheContextMenuActsOnTheRightClickedStoryboard) {
    InListDialog([&](CKelSBOperationDlg& dialog) {
        // Dismissed: the item stays highlighted, the view still shows the first storyboard.
        std::map<UINT, bool> menu = RightClick(dialog, 1, 0);
        EXPECT_EQ(dialog.GetList().GetCurSel(), 1);
        EXPECT_EQ(Document().GetCurSBBodyIndex(), 0);
        // Grayed for the highlighted (last) item: Move Down; Paste with an empty clipboard.
        EXPECT_EQ(menu, (std::map<UINT, bool>{{ID_SBLIST_APPEND, true},
                                              {ID_SBLIST_INSERT, true},
                                              {ID_SBLIST_DELETE, true},
                                              {ID_SBLIST_MOVE_UP, true},
                                              {ID_SBLIST_MOVE_DOWN, false},
                                              {ID_SBLIST_CUT, true},
                                              {ID_SBLIST_COPY, true},
                                              {ID_SBLIST_PASTE, false}}));

        // Confirmed, the highlighted storyboard goes, not the one on screen.
        headless->QueueMessageBoxAnswer(IDYES);
        RightClick(dialog, 1, ID_SBLIST_DELETE);
        EXPECT_EQ(Names(), std::vector<std::string>{"News"});
        EXPECT_EQ(dialog.GetList().GetCount(), 1);

        // With one storyboard left, nothing can delete, cut or move it.
        EXPECT_EQ(ButtonStates(dialog), (std::vector<bool>{false, false, false, false, false}));
        menu = RightClick(dialog, 0, 0);
        for (UINT nId : {ID_SBLIST_DELETE, ID_SBLIST_MOVE_UP, ID_SBLIST_MOVE_DOWN, ID_SBLIST_CUT})
            EXPECT_FALSE(menu[nId]) << nId;
    });
    ExpectConsistent("the list's operations");
}

TEST_F(StoryboardTest, WhileLoadedTheListOnlySwitches) {
    Load();
    InListDialog([&](CKelSBOperationDlg& dialog) {
        Press(dialog, IDC_SBL_APPEND);
        EXPECT_EQ(dialog.GetList().GetCount(), 2);
        dialog.GetList().UserSelect(1);
        EXPECT_EQ(Document().GetCurSBBodyIndex(), 1);
        // Cutting asks, and is then refused: the highlighted storyboard stays and stays shown.
        headless->QueueMessageBoxAnswer(IDYES);
        RightClick(dialog, 0, ID_SBLIST_CUT);
        EXPECT_EQ(Document().GetCurSBBodyIndex(), 1);
    });
    EXPECT_EQ(Names(), (std::vector<std::string>{"News", "Sports"}));
}

} // namespace
} // namespace kel::test
