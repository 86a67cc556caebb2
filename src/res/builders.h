// The parts from which KelSBEditResources() assembles the module's resources.
#pragma once

#include "platform/resource_types.h"

#include <span>
#include <string>

namespace kel::res::detail {

// A defect in the compiled-in resource data: reported on stderr, then the process stops. The
// data is fixed at build time and checked by the tests, so this only fires in a broken build;
// carrying on with a half-built resource table would fail later and far less clearly.
[[noreturn]] void Fail(const std::string& what);

// A picture in text form (see pixel_art.h) with the resource id it becomes.
struct ArtSource {
    UINT id;
    const char* rows;
};

// The button glyphs, one per button bitmap (edit dialog and timeline view tool buttons).
std::span<const ArtSource> ButtonGlyphs();

struct StringEntry {
    UINT id;
    const char* text;
};

// The title of a menu's pop-up, the one text of a menu that has no command id.
struct MenuTitle {
    UINT menuId;
    const char* text;
};

// A dialog's caption (control 0) or one of its controls' captions.
struct DialogText {
    UINT dialogId;
    UINT controlId;
    const char* text;
};

// Every text of the module in one language. Each language lives in a file of its own
// (strings_en.cpp, strings_zh_cn.cpp, strings_zh_tw.cpp) and names the same ids as the others.
struct LanguageTexts {
    LANGID language;
    std::span<const StringEntry> strings;
    std::span<const MenuTitle> menuTitles;
    std::span<const DialogText> dialogTexts;
};

LanguageTexts EnglishTexts();
LanguageTexts SimplifiedChineseTexts();
LanguageTexts TraditionalChineseTexts();

void AddStrings(LanguageResources& res, const LanguageTexts& texts);
void AddMenus(LanguageResources& res, const LanguageTexts& texts); // after AddStrings
void AddDialogs(LanguageResources& res, const LanguageTexts& texts);
void AddBitmaps(ModuleResources& res);
void AddCursors(ModuleResources& res);

} // namespace kel::res::detail
