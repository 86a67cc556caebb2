// What a module's resource section holds, in plain data: the stand-in for the resource
// compiler's output. A module hands one ModuleResources to the host's resource service,
// which finds it again by the module's instance handle.
#pragma once

#include "platform/cstring.h"
#include "platform/win_types.h"

#include <cstdint>
#include <map>
#include <vector>

// A 32-bit RGBA picture; pixels row by row from the top, each 0xAARRGGBB.
struct ImageData {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

struct CursorData {
    ImageData image;
    int hotX = 0;
    int hotY = 0;
};

struct MenuItemTemplate {
    UINT id = 0; // command id; 0 for separators and pop-ups
    CString text;
    bool separator = false;
    std::vector<MenuItemTemplate> popup; // non-empty: this item opens a submenu
};

struct MenuTemplate {
    std::vector<MenuItemTemplate> items; // the menu bar level; the editor's menus hold one pop-up
};

struct DialogItemTemplate {
    UINT id = 0;
    CString windowClass; // "BUTTON", "LISTBOX", "STATIC", ...
    CString caption;
    DWORD style = 0;
    int x = 0, y = 0, cx = 0, cy = 0; // dialog units
};

// One control of a dialog template. The style is taken as given: a visible child control
// needs WS_CHILD | WS_VISIBLE added by the caller.
inline DialogItemTemplate DialogItem(UINT id, const char* windowClass, const char* caption,
                                     DWORD style, int x, int y, int cx, int cy) {
    return {id, windowClass, caption, style, x, y, cx, cy};
}

struct DialogTemplate {
    CString caption;
    DWORD style = 0;
    int cx = 0, cy = 0; // dialog units
    CString fontName;
    int fontSize = 0;
    std::vector<DialogItemTemplate> items;
};

// Languages of a resource section, numbered as the resource compiler numbers them.
using LANGID = WORD;
constexpr LANGID LANG_ENGLISH_US = 1033;
constexpr LANGID LANG_CHINESE_SIMPLIFIED = 2052;
constexpr LANGID LANG_CHINESE_TRADITIONAL = 1028;

// What a module has once per language: its texts, and the menus and dialog templates that
// carry texts.
struct LanguageResources {
    std::map<UINT, CString> strings;
    std::map<UINT, MenuTemplate> menus;
    std::map<UINT, DialogTemplate> dialogs;
};

// The base holds language 1033, which every module has and which the resource service falls
// back to for a language, or an entry of one, that the module does not carry.
struct ModuleResources : LanguageResources {
    std::map<UINT, ImageData> bitmaps;
    std::map<UINT, CursorData> cursors;
    std::map<LANGID, LanguageResources> translations; // by language, never 1033
};
