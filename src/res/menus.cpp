// The context menus and the zoom pop-up, built once per language. Item texts come from that
// language's strings under the command ids, so a menu and its string entry can never disagree;
// the pop-up titles from the menu titles.
#include "res/builders.h"
#include "res/resource.h"

#include <vector>

namespace kel::res::detail {
namespace {

constexpr UINT kSeparator = 0;

const char* TitleOf(UINT menuId, LANGID language) {
    for (const MenuTitle& title : MenuTitles()) {
        if (title.menuId == menuId)
            return In(title.text, language);
    }
    Fail("menu " + std::to_string(menuId) + " has no title");
}

MenuTemplate OnePopup(const LanguageResources& res, LANGID language, UINT menuId,
                      const std::vector<UINT>& commands) {
    MenuItemTemplate popup;
    popup.text = TitleOf(menuId, language);
    for (UINT id : commands) {
        MenuItemTemplate item;
        if (id == kSeparator) {
            item.separator = true;
        } else {
            const auto text = res.strings.find(id);
            if (text == res.strings.end()) {
                Fail("menu " + std::to_string(menuId) + ": command " + std::to_string(id) +
                     " has no text in language " + std::to_string(language));
            }
            item.id = id;
            item.text = text->second;
        }
        popup.popup.push_back(std::move(item));
    }
    MenuTemplate menu;
    menu.items.push_back(std::move(popup));
    return menu;
}

} // namespace

void AddMenus(LanguageResources& res, LANGID language) {
    const auto add = [&](UINT menuId, const std::vector<UINT>& commands) {
        res.menus[menuId] = OnePopup(res, language, menuId, commands);
    };
    // The view checks the delete mode items by position (2 Normal, 3 Ripple).
    add(IDR_MENU_STORYBOARD, {ID_SB_SETUP, kSeparator, ID_DELETE_MODE_NORMAL, ID_DELETE_MODE_RIPPLE,
                              kSeparator, ID_SB_SELECT_ALL});
    add(IDR_MENU_SB_LIST,
        {ID_SBLIST_APPEND, ID_SBLIST_INSERT, ID_SBLIST_DELETE, ID_SBLIST_MOVE_UP,
         ID_SBLIST_MOVE_DOWN, kSeparator, ID_SBLIST_CUT, ID_SBLIST_COPY, ID_SBLIST_PASTE});
    add(IDR_MENU_MATERIALS,
        {ID_MAT_CUT, ID_MAT_COPY, ID_MAT_DELETE, kSeparator, ID_MAT_COPY_FX, ID_MAT_PASTE_FX,
         kSeparator, ID_MAT_MERGE, ID_MAT_SPLIT, kSeparator, ID_MAT_PLAY_PROPERTIES, kSeparator,
         ID_MAT_ALIGN_LEFT, ID_MAT_ALIGN_RIGHT, ID_MAT_SAME_LENGTH});
    add(IDR_MENU_TRACKS,
        {ID_TRACK_APPEND, ID_TRACK_INSERT, ID_TRACK_DELETE, ID_TRACK_MOVE_UP, ID_TRACK_MOVE_DOWN,
         kSeparator, ID_TRACK_CUT, ID_TRACK_COPY, ID_TRACK_PASTE});
    add(IDR_MENU_TRACK_AREA,
        {ID_AREA_PASTE_HERE, kSeparator, ID_AREA_SELECT_ALL, ID_AREA_SELECT_TRACK_MATERIALS,
         kSeparator, ID_AREA_FIT, ID_AREA_ZOOM_IN, ID_AREA_ZOOM_OUT});

    // The zoom pop-up lists the zoom steps in table order: item i is step i.
    std::vector<UINT> steps;
    for (UINT id = ID_ZOOM_FIRST; id <= ID_ZOOM_LAST; ++id) {
        steps.push_back(id);
    }
    add(IDR_MENU_ZOOM, steps);
}

} // namespace kel::res::detail
