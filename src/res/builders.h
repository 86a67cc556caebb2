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

// One text in each of the module's languages. The constructor takes all three, so a row of the
// tables cannot leave one out.
struct Translated {
    constexpr Translated(const char* english, const char* simplified, const char* traditional)
        : en(english), zhCN(simplified), zhTW(traditional) {}
    const char* en;
    const char* zhCN;
    const char* zhTW;
};

// The wording of `text` in `language` (1033, 2052 or 1028).
const char* In(const Translated& text, LANGID language);

struct StringEntry {
    UINT id;
    Translated text;
};

// The title of a menu's pop-up, the one text of a menu that has no command id.
struct MenuTitle {
    UINT menuId;
    Translated text;
};

// A dialog's caption (control 0) or one of its controls' captions.
struct DialogText {
    UINT dialogId;
    UINT controlId;
    Translated text;
};

// Every text of the module, one row per text in all its languages (texts.cpp).
std::span<const StringEntry> Strings();
std::span<const MenuTitle> MenuTitles();
std::span<const DialogText> DialogTexts();

void AddStrings(LanguageResources& res, LANGID language);
void AddMenus(LanguageResources& res, LANGID language); // after AddStrings
void AddDialogs(LanguageResources& res, LANGID language);
void AddBitmaps(ModuleResources& res);
void AddCursors(ModuleResources& res);

} // namespace kel::res::detail
