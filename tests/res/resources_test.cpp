#include "platform/win_consts.h"
#include "res/button_table.h"
#include "res/module_resources.h"
#include "res/resource.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <utility>

namespace kel::res {
namespace {

const ModuleResources& Res() {
    return KelSBEditResources();
}

const CString* Text(UINT id) {
    const auto it = Res().strings.find(id);
    return it == Res().strings.end() ? nullptr : &it->second;
}

bool Overlap(const DialogItemTemplate& a, const DialogItemTemplate& b) {
    return a.x < b.x + b.cx && b.x < a.x + a.cx && a.y < b.y + b.cy && b.y < a.y + a.cy;
}

// Items inside the dialog, ids unique, no two shown controls on top of each other except the
// pairs named (the later item first).
void ExpectSoundLayout(const DialogTemplate& dlg,
                       const std::set<std::pair<UINT, UINT>>& tolerated = {}) {
    std::set<UINT> ids;
    for (std::size_t i = 0; i < dlg.items.size(); ++i) {
        const DialogItemTemplate& item = dlg.items[i];
        EXPECT_TRUE(ids.insert(item.id).second) << "control " << item.id << " twice";
        EXPECT_GT(item.cx, 0);
        EXPECT_GT(item.cy, 0);
        EXPECT_GE(item.x, 0);
        EXPECT_GE(item.y, 0);
        EXPECT_LE(item.x + item.cx, dlg.cx) << "control " << item.id;
        EXPECT_LE(item.y + item.cy, dlg.cy) << "control " << item.id;
        for (std::size_t j = 0; j < i; ++j) {
            const DialogItemTemplate& other = dlg.items[j];
            if ((item.style & WS_VISIBLE) && (other.style & WS_VISIBLE) &&
                !tolerated.contains({item.id, other.id})) {
                EXPECT_FALSE(Overlap(item, other)) << item.id << " covers " << other.id;
            }
        }
    }
}

const ImageData* Bitmap(UINT id) {
    const auto it = Res().bitmaps.find(id);
    return it == Res().bitmaps.end() ? nullptr : &it->second;
}

void ExpectStrip(UINT bitmapId) {
    const ImageData* image = Bitmap(bitmapId);
    ASSERT_NE(image, nullptr) << "bitmap " << bitmapId;
    EXPECT_EQ(image->width, BUTTON_FRAME_SIZE * BUTTON_FRAME_COUNT) << bitmapId;
    EXPECT_EQ(image->height, BUTTON_FRAME_SIZE) << bitmapId;
}

TEST(EditDialogTemplate, EveryButtonHasAStripBitmapAndATip) {
    const DialogTemplate& dlg = Res().dialogs.at(IDD_SBEDIT);
    const auto buttons = EditDialogButtons();
    ASSERT_EQ(dlg.items.size(), buttons.size());
    ASSERT_EQ(buttons.size(), 28u);
    std::set<UINT> bitmaps;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(dlg.items[i].id, buttons[i].controlId) << "template order, item " << i;
        EXPECT_EQ(dlg.items[i].windowClass.str(), "BUTTON");
        ExpectStrip(buttons[i].bitmapId);
        EXPECT_TRUE(bitmaps.insert(buttons[i].bitmapId).second) << "shared bitmap";
        const CString* tip = Text(buttons[i].tipId);
        ASSERT_NE(tip, nullptr) << "tip of " << buttons[i].controlId;
        EXPECT_FALSE(tip->IsEmpty());
    }
}

TEST(EditDialogTemplate, ButtonRowLayout) {
    const DialogTemplate& dlg = Res().dialogs.at(IDD_SBEDIT);
    EXPECT_EQ(dlg.style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME),
              WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME);
    ExpectSoundLayout(dlg);

    int lastX = -1;
    for (const DialogItemTemplate& item : dlg.items) {
        EXPECT_EQ(item.cx, 16);
        EXPECT_EQ(item.cy, 16);
        EXPECT_EQ(item.y, dlg.items.front().y) << "one row";
        const bool loadButton = item.id == IDC_BTN_UPLOAD || item.id == IDC_BTN_DOWNLOAD;
        EXPECT_EQ((item.style & WS_VISIBLE) == 0, loadButton) << item.id;
        if (loadButton) {
            EXPECT_EQ(item.x, 401);
        } else {
            EXPECT_GT(item.x, lastX) << "template order follows x, at " << item.id;
            lastX = item.x;
        }
    }
}

TEST(EditDialogTemplate, ToolModesFormOneRadioGroup) {
    // Arrow keys and automatic checking work within a group, which runs from a WS_GROUP item
    // to the next one: the group must hold the three tool modes and nothing else.
    const auto& items = Res().dialogs.at(IDD_SBEDIT).items;
    std::vector<UINT> group;
    bool inGroup = false;
    for (const DialogItemTemplate& item : items) {
        if (item.style & WS_GROUP) {
            inGroup = item.id == IDC_BTN_NORMAL;
        }
        if (inGroup) {
            group.push_back(item.id);
        }
        const bool radio = (item.style & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
        EXPECT_EQ(radio, inGroup) << item.id;
        if (radio) {
            EXPECT_TRUE(item.style & BS_PUSHLIKE) << item.id;
        }
    }
    EXPECT_EQ(group,
              (std::vector<UINT>{IDC_BTN_NORMAL, IDC_BTN_DELETE_SPACE, IDC_BTN_FIXED_PASTE}));
    for (UINT id : {IDC_BTN_UNDO, IDC_BTN_REDO, IDC_BTN_CUT}) {
        const auto it = std::find_if(items.begin(), items.end(),
                                     [id](const auto& item) { return item.id == id; });
        ASSERT_NE(it, items.end());
        EXPECT_TRUE(it->style & WS_GROUP) << id;
    }
}

TEST(StoryboardListTemplate, ControlsAndLayout) {
    const DialogTemplate& dlg = Res().dialogs.at(IDD_SBLIST);
    // Copy has always reached one unit into Cut; the skinned buttons paint over the seam.
    ExpectSoundLayout(dlg, {{IDC_SBL_COPY, IDC_SBL_CUT}});
    EXPECT_TRUE(dlg.style & DS_MODALFRAME);

    std::set<UINT> ids;
    for (const DialogItemTemplate& item : dlg.items) {
        ids.insert(item.id);
        if (item.id == IDC_SBL_LIST) {
            EXPECT_EQ(item.windowClass.str(), "LISTBOX");
            // The list draws its items itself and keeps their texts.
            const DWORD needed = LBS_NOTIFY | LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS |
                                 LBS_NOINTEGRALHEIGHT | WS_VSCROLL;
            EXPECT_EQ(item.style & needed, needed);
        } else {
            EXPECT_EQ(item.windowClass.str(), "BUTTON");
            EXPECT_EQ(item.cy, 14);
            EXPECT_EQ(item.caption.Right(2).str(), "@p") << item.caption.str();
        }
    }
    EXPECT_EQ(ids, (std::set<UINT>{IDC_SBL_LIST, IDC_SBL_APPEND, IDC_SBL_INSERT, IDC_SBL_DELETE,
                                   IDC_SBL_MOVE_UP, IDC_SBL_MOVE_DOWN, IDC_SBL_CUT, IDC_SBL_COPY,
                                   IDC_SBL_PASTE, static_cast<UINT>(IDOK)}));
}

TEST(Menus, OnePopupWithWellFormedItems) {
    const UINT menus[] = {IDR_MENU_STORYBOARD, IDR_MENU_SB_LIST,    IDR_MENU_MATERIALS,
                          IDR_MENU_TRACKS,     IDR_MENU_TRACK_AREA, IDR_MENU_ZOOM};
    EXPECT_EQ(Res().menus.size(), std::size(menus));
    for (UINT menuId : menus) {
        SCOPED_TRACE("menu " + std::to_string(menuId));
        const MenuTemplate& menu = Res().menus.at(menuId);
        ASSERT_EQ(menu.items.size(), 1u);
        const auto& items = menu.items.front().popup;
        ASSERT_FALSE(items.empty());
        EXPECT_FALSE(items.front().separator);
        EXPECT_FALSE(items.back().separator);
        std::set<UINT> commands;
        for (std::size_t i = 0; i < items.size(); ++i) {
            const MenuItemTemplate& item = items[i];
            EXPECT_TRUE(item.popup.empty());
            if (item.separator) {
                EXPECT_EQ(item.id, 0u);
                EXPECT_FALSE(items[i - 1].separator) << "two separators in a row";
                continue;
            }
            EXPECT_TRUE(commands.insert(item.id).second) << "command " << item.id << " twice";
            const CString* text = Text(item.id);
            ASSERT_NE(text, nullptr) << item.id;
            EXPECT_EQ(item.text.str(), text->str());
        }
    }
}

TEST(Menus, PositionsTheViewReliesOn) {
    // Zoom entry i selects zoom step i, by id and by position.
    const auto& zoom = Res().menus.at(IDR_MENU_ZOOM).items.front().popup;
    ASSERT_EQ(zoom.size(), static_cast<std::size_t>(ID_ZOOM_STEP_COUNT));
    for (std::size_t i = 0; i < zoom.size(); ++i) {
        EXPECT_EQ(zoom[i].id, ID_ZOOM_FIRST + i);
    }
    EXPECT_EQ(zoom.back().id, static_cast<UINT>(ID_ZOOM_LAST));

    // The delete mode items are checked by position.
    const auto& storyboard = Res().menus.at(IDR_MENU_STORYBOARD).items.front().popup;
    ASSERT_GE(storyboard.size(), 4u);
    EXPECT_EQ(storyboard[2].id, static_cast<UINT>(ID_DELETE_MODE_NORMAL));
    EXPECT_EQ(storyboard[3].id, static_cast<UINT>(ID_DELETE_MODE_RIPPLE));
}

TEST(StringTable, IdsAndLineBreaks) {
    for (const auto& [id, text] : Res().strings) {
        EXPECT_GE(id, 32790u);
        EXPECT_LE(id, 34898u);
        EXPECT_FALSE(text.IsEmpty()) << id;
        // A written-out "\n" would show as two characters in a message box.
        EXPECT_EQ(text.Find("\\n"), -1) << id;
    }
    for (UINT id : {IDS_ASK_DELETE_TRACK, IDS_ASK_CUT_TRACK, IDS_ASK_DELETE_SB, IDS_ASK_CUT_SB}) {
        ASSERT_NE(Text(id), nullptr);
        EXPECT_NE(Text(id)->Find("?\n\n("), -1) << id;
    }
}

TEST(ViewToolButtons, StripBitmapsAndTips) {
    const auto tools = ViewToolButtons();
    ASSERT_EQ(tools.size(), 6u);
    for (std::size_t i = 0; i < tools.size(); ++i) {
        EXPECT_EQ(tools[i].controlId, IDC_VIEW_TOOL_SB_OPERATION + i) << "left to right";
        ExpectStrip(tools[i].bitmapId);
        ASSERT_NE(Text(tools[i].tipId), nullptr) << tools[i].controlId;
    }
}

TEST(Bitmaps, DeclaredSizesAndWholePixelArrays) {
    struct Size {
        UINT id;
        int width, height;
    };
    const Size sizes[] = {
        {IDB_TRACK_PLAY_ALLOWED, 16, 16}, {IDB_TRACK_PLAY_FORBIDDEN, 16, 16},
        {IDB_TRACK_LOCKED, 16, 16},       {IDB_TRACK_UNLOCKED, 16, 16},
        {IDB_RANGE_START, 6, 10},         {IDB_RANGE_END, 6, 10},
        {IDB_TIMELINE_HEAD, 11, 8},
    };
    for (const Size& size : sizes) {
        const ImageData* image = Bitmap(size.id);
        ASSERT_NE(image, nullptr) << size.id;
        EXPECT_EQ(image->width, size.width) << size.id;
        EXPECT_EQ(image->height, size.height) << size.id;
    }
    // 28 dialog buttons, 6 view tools, 4 header icons, 3 backgrounds, 2 handles, 1 head.
    EXPECT_EQ(Res().bitmaps.size(), 44u);
    for (const auto& [id, image] : Res().bitmaps) {
        EXPECT_EQ(image.pixels.size(), static_cast<std::size_t>(image.width * image.height)) << id;
    }
}

TEST(Bitmaps, MaterialBackgroundsAreClearlyDifferent) {
    // In, Stay and Out must be told apart at a glance: compare their mean colours.
    const auto mean = [](UINT id) {
        const ImageData* image = Bitmap(id);
        std::array<double, 3> sum{};
        for (std::uint32_t pixel : image->pixels) {
            sum[0] += (pixel >> 16) & 0xFF;
            sum[1] += (pixel >> 8) & 0xFF;
            sum[2] += pixel & 0xFF;
        }
        for (double& channel : sum) {
            channel /= static_cast<double>(image->pixels.size());
        }
        return sum;
    };
    const UINT kinds[] = {IDB_MATERIAL_IN, IDB_MATERIAL_STAY, IDB_MATERIAL_OUT};
    for (UINT a : kinds) {
        ASSERT_NE(Bitmap(a), nullptr);
        for (UINT b : kinds) {
            if (a < b) {
                const auto ma = mean(a), mb = mean(b);
                const double distance = std::hypot(ma[0] - mb[0], ma[1] - mb[1], ma[2] - mb[2]);
                EXPECT_GT(distance, 60.0) << a << " and " << b;
            }
        }
    }
}

TEST(Cursors, SizeAndHotSpots) {
    const UINT ids[] = {IDC_CURSOR_TRIM, IDC_CURSOR_DELETE_SPACE, IDC_CURSOR_LOCKED,
                        IDC_CURSOR_FIXED_PASTE};
    EXPECT_EQ(Res().cursors.size(), std::size(ids));
    for (UINT id : ids) {
        const CursorData& cursor = Res().cursors.at(id);
        EXPECT_EQ(cursor.image.width, 32);
        EXPECT_EQ(cursor.image.height, 32);
        EXPECT_EQ(cursor.image.pixels.size(), 32u * 32u);
        EXPECT_GE(cursor.hotX, 0);
        EXPECT_GE(cursor.hotY, 0);
        EXPECT_LT(cursor.hotX, 32);
        EXPECT_LT(cursor.hotY, 32);
        // The hot spot is where the picture points: it is drawn, not transparent.
        const std::uint32_t hot =
            cursor.image.pixels[static_cast<std::size_t>(cursor.hotY * 32 + cursor.hotX)];
        EXPECT_NE(hot >> 24, 0u) << id;
    }
}

} // namespace
} // namespace kel::res
