// The editor on the sample at one frame a pixel (view/view_input_fixture.h), with what the
// storyboard tests bring (messages to the host, undo round trips to the saved bytes), driven as
// a person drives it: keys pressed while the view has the keyboard focus, and right clicks
// whose context menu is answered with a command or dismissed.
//
// Storyboard "News" of the sample, containers by index (frame f at x 100 + f, track i's row
// centred at y 64 + 30 i; the rows end at y 199):
//   0 [Headline In 0-10]  1 [Headline Stay 10-85]  2 [Headline Out 85-95]      (track 0)
//   3 [Logo In 100-112, Logo Stay 112-212]                                      (track 0)
//   4 [Opening 0-125]  5 [Ticker 150-350]                                       (track 1, locked)
//   6 [Lower Third In 20-28, Lower Third Out 60-68]                             (track 2)
//   7 [Stay 30-80 of a piece the scene lacks]                                   (track 3)
//   8 [Lower Third Stay 140-190, Lower Third Out 190-198]                       (track 4)
#pragma once

#include "storyboard/storyboard_fixture.h"
#include "view/view_input_fixture.h"

#include "host/services/host_settings.h"
#include "platform/headless_backend.h"

#include <map>
#include <optional>
#include <vector>

namespace kel::test {

class InputTest : public ViewInputFixture<OperationTest> {
protected:
    using Base = ViewInputFixture<OperationTest>;
    using Base::Content;
    using Base::SelectedTracks;

    // Client points: the middle of track i's header, a place below every track in the header
    // column and in the rows.
    static CPoint Header(int track) { return CPoint(50, RowY(track)); }
    static CPoint BelowHeaders() { return CPoint(50, 250); }
    static CPoint BelowTracks() { return CPoint(X(300), 250); }

    void SetUp() override {
        Base::SetUp();
        if (::testing::Test::HasFatalFailure())
            return;
        view->SetFocus();
    }
    void TearDown() override {
        KelSetUseHotKey(1);
        Base::TearDown();
    }

    // A key pressed and released with `modifiers` (VK_SHIFT, VK_CONTROL) held.
    void Key(UINT key, std::initializer_list<int> modifiers = {}) {
        for (int modifier : modifiers)
            headless->SetKeyDown(modifier, true);
        kel::platform::DeliverKey(WM_KEYDOWN, key, 1, 0);
        kel::platform::DeliverKey(WM_KEYUP, key, 1, 0xC000);
        for (int modifier : modifiers)
            headless->SetKeyDown(modifier, false);
    }

    // A context menu as it was shown: which resource menu, and the state of its commands.
    struct ShownMenu {
        UINT nMenuId = 0;
        std::map<UINT, bool> enabled;
        std::map<UINT, bool> checked;
        std::vector<UINT> Grayed() const {
            std::vector<UINT> ids;
            for (const auto& [nId, bEnabled] : enabled) {
                if (!bEnabled)
                    ids.push_back(nId);
            }
            return ids;
        }
    };

    // A right click at a client point; the menu it opens gets `nAnswer` (0 dismisses it). The
    // menu shown, or nothing when none was.
    std::optional<ShownMenu> RightClick(CPoint client, UINT nAnswer = 0) {
        const std::size_t nShown = headless->PopupMenus().size();
        headless->QueuePopupMenuAnswer(nAnswer);
        headless->SetKeyDown(VK_RBUTTON, true);
        Mouse(WM_RBUTTONDOWN, client, MK_RBUTTON);
        headless->SetKeyDown(VK_RBUTTON, false);
        Mouse(WM_RBUTTONUP, client, 0);
        if (headless->PopupMenus().size() == nShown) {
            headless->ClearQueues(); // the answer must not serve a later menu
            return std::nullopt;
        }
        const kel::platform::PopupMenuRecord& record = headless->PopupMenus().back();
        ShownMenu menu;
        for (const kel::platform::MenuItemRecord& item : record.items) {
            if (item.separator)
                continue;
            if (menu.nMenuId == 0)
                menu.nMenuId = MenuOf(item.id);
            menu.enabled[item.id] = item.enabled;
            menu.checked[item.id] = item.checked;
        }
        return menu;
    }

    // The resource menu whose first command this is.
    static UINT MenuOf(UINT nFirstCommand) {
        switch (nFirstCommand) {
        case ID_TRACK_APPEND:
            return IDR_MENU_TRACKS;
        case ID_AREA_PASTE_HERE:
            return IDR_MENU_TRACK_AREA;
        case ID_MAT_CUT:
            return IDR_MENU_MATERIALS;
        case ID_SB_SETUP:
            return IDR_MENU_STORYBOARD;
        default:
            return 0;
        }
    }

    // Clicks that select containers as a person would: the first alone, the others added with
    // Shift; the last clicked material is the current one.
    void ClickMaterials(const std::vector<CPoint>& points) {
        bool first = true;
        for (const CPoint& point : points) {
            Click(point.x, point.y, first ? 0 : MK_SHIFT);
            first = false;
        }
    }
};

} // namespace kel::test
