// Menus as data, pop-up answers, and the wait cursor.
#include "platform/cursor.h"
#include "platform/gdi_test_backend.h"
#include "platform/menu.h"
#include "platform/wnd.h"

#include <gtest/gtest.h>
#include <vector>

using kel::test::ScopedGdiBackend;

namespace {

MenuTemplate StoryboardMenu() {
    MenuTemplate t;
    MenuItemTemplate popup;
    popup.text = "Multiple Storyboards Operation";
    popup.popup = {{32814, "Append Storyboard", false, {}},
                   {32815, "Insert Storyboard", false, {}},
                   {0, "", true, {}},
                   {32819, "Cut Storyboard", false, {}}};
    t.items.push_back(popup);
    return t;
}

// Records the commands it receives.
class CommandSink : public CWnd {
public:
    std::vector<UINT> commands;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM) override {
        commands.push_back(LOWORD(wParam));
        return TRUE;
    }
};

TEST(Menu, EnableAndCheckByCommandAndByPosition) {
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenuIndirect(StoryboardMenu()));
    CMenu* popup = menu.GetSubMenu(0);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->GetMenuItemCount(), 4);
    EXPECT_EQ(popup->GetMenuItemID(2), 0u);                  // separator
    EXPECT_EQ(menu.GetMenuItemID(0), static_cast<UINT>(-1)); // pop-up

    // By command the whole tree is searched, so the bar level finds pop-up items too.
    EXPECT_EQ(menu.EnableMenuItem(32815, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(popup->GetMenuState(32815, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);
    EXPECT_EQ(popup->EnableMenuItem(1, MF_BYPOSITION | MF_ENABLED), MF_GRAYED);
    EXPECT_EQ(popup->EnableMenuItem(4711, MF_BYCOMMAND | MF_GRAYED), static_cast<UINT>(-1));
    EXPECT_EQ(popup->EnableMenuItem(9, MF_BYPOSITION | MF_GRAYED), static_cast<UINT>(-1));

    EXPECT_EQ(popup->CheckMenuItem(3, MF_BYPOSITION | MF_CHECKED), MF_UNCHECKED);
    EXPECT_EQ(popup->CheckMenuItem(32819, MF_BYCOMMAND | MF_UNCHECKED), MF_CHECKED);
    EXPECT_EQ(popup->GetMenuString(0, MF_BYPOSITION), CString("Append Storyboard"));
    EXPECT_EQ(menu.GetMenuState(0, MF_BYPOSITION) >> 8, 4u); // a pop-up tells its item count
}

TEST(Menu, AppendedPopupIsTheMenusOwnCopy) {
    CMenu bar;
    bar.CreateMenu();
    {
        CMenu sub;
        sub.CreatePopupMenu();
        sub.AppendMenu(MF_STRING, 100, "One");
        sub.AppendMenu(MF_SEPARATOR);
        ASSERT_TRUE(
            bar.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(sub.GetSafeHmenu()), "Sub"));
    }
    ASSERT_NE(bar.GetSubMenu(0), nullptr);
    EXPECT_EQ(bar.GetSubMenu(0)->GetMenuItemCount(), 2);
    EXPECT_EQ(bar.GetSubMenu(0)->GetMenuItemID(0), 100u);
    // A pop-up that was never created cannot be appended.
    CMenu empty;
    EXPECT_FALSE(bar.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(&empty), "Bad"));
    EXPECT_TRUE(bar.DestroyMenu());
    EXPECT_EQ(bar.GetMenuItemCount(), -1);
}

TEST(Menu, PopupAnswerIsHonouredExceptForGrayedItems) {
    ScopedGdiBackend backend;
    CommandSink owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_POPUP, CRect(0, 0, 100, 100), nullptr, 0));
    CMenu menu;
    menu.LoadMenuIndirect(StoryboardMenu());
    CMenu* popup = menu.GetSubMenu(0);
    popup->EnableMenuItem(32819, MF_BYCOMMAND | MF_GRAYED);

    backend->menuAnswers = {32815, 32819, 32814, 32819, 5555};
    EXPECT_TRUE(popup->TrackPopupMenu(TPM_RIGHTBUTTON, 10, 10, &owner));
    EXPECT_EQ(backend->shownMenuItems, 4);
    EXPECT_EQ(backend->shownMenuFlags, TPM_RIGHTBUTTON);
    // A grayed item is never chosen, whatever the backend answers.
    EXPECT_TRUE(popup->TrackPopupMenu(TPM_RIGHTBUTTON, 10, 10, &owner));
    EXPECT_EQ(owner.commands, std::vector<UINT>{32815});

    // With TPM_RETURNCMD the choice is returned and nothing is sent.
    EXPECT_EQ(popup->TrackPopupMenu(TPM_RETURNCMD, 10, 10, &owner), 32814);
    EXPECT_EQ(popup->TrackPopupMenu(TPM_RETURNCMD, 10, 10, &owner), 0);
    // An id the menu does not hold counts as a dismissed menu.
    EXPECT_EQ(popup->TrackPopupMenu(TPM_RETURNCMD, 10, 10, &owner), 0);
    EXPECT_EQ(owner.commands.size(), 1u);
    owner.DestroyWindow();
}

TEST(Cursor, WaitCursorNestsAndRestoresThePreviousCursor) {
    ScopedGdiBackend backend;
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    HCURSOR wait = LoadCursor(nullptr, IDC_WAIT);
    ASSERT_NE(arrow, nullptr);
    ASSERT_NE(wait, nullptr);
    EXPECT_EQ(arrow->standardId, 32512u);
    EXPECT_EQ(LoadCursor(nullptr, IDC_ARROW), arrow);

    SetCursor(arrow);
    {
        CWaitCursor outer;
        EXPECT_EQ(GetCursor(), wait);
        {
            CWaitCursor inner;
            EXPECT_EQ(kel::platform::WaitCursorDepth(), 2);
            SetCursor(arrow); // a message box put the arrow up meanwhile
            inner.Restore();
            EXPECT_EQ(GetCursor(), wait);
        }
        EXPECT_EQ(GetCursor(), wait);
    }
    EXPECT_EQ(GetCursor(), arrow);
    EXPECT_EQ(kel::platform::WaitCursorDepth(), 0);
    // An unmatched end changes nothing.
    EndWaitCursor();
    EXPECT_EQ(GetCursor(), arrow);
    EXPECT_EQ(kel::platform::WaitCursorDepth(), 0);
    EXPECT_EQ(backend->cursors.back(), arrow);
}

TEST(Cursor, ResourceCursorsKeepTheirIdAndPicture) {
    CursorData trim{ImageData{1, 1, {0xFF000000}}, 0, 0};
    CursorData other{ImageData{1, 1, {0xFFFFFFFF}}, 0, 0};
    HCURSOR a = kel::platform::CursorFromResource(trim, 200);
    EXPECT_EQ(kel::platform::CursorFromResource(CursorData(trim), 200), a);
    HCURSOR b = kel::platform::CursorFromResource(other, 200);
    EXPECT_NE(a, b); // same id, another module's picture
    EXPECT_EQ(a->resourceId, 200u);
    EXPECT_EQ(a->name, CString("resource 200"));
    EXPECT_EQ(LoadCursor(reinterpret_cast<HINSTANCE>(&trim), MAKEINTRESOURCE(200)), nullptr);
}

} // namespace
