// The Chinese texts against the English ones: each language shows its own wording, menus and
// dialogs keep their shape, and the texts can be glued, formatted and shown as the English ones.
#include "platform/cstring.h"
#include "res/module_resources.h"
#include "res/resource.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace kel::res {
namespace {

const ModuleResources& Res() {
    return KelSBEditResources();
}

struct Translation {
    LANGID language;
    const char* name;
};
constexpr Translation kTranslations[] = {{LANG_CHINESE_SIMPLIFIED, "2052"},
                                         {LANG_CHINESE_TRADITIONAL, "1028"}};

const LanguageResources& Tables(LANGID language) {
    return Res().translations.at(language);
}

// The printf conversions of a text, in order ("%d", "%s", "%5.2f", ...); "%%" is a percent sign.
std::vector<std::string> Conversions(const std::string& text) {
    std::vector<std::string> found;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%')
            continue;
        const std::size_t end = text.find_first_of("diouxXeEfgGcspn%", i + 1);
        if (end == std::string::npos) {
            found.push_back(text.substr(i));
            break;
        }
        if (text[end] != '%' || end != i + 1)
            found.push_back(text.substr(i, end - i + 1));
        i = end;
    }
    return found;
}

std::size_t LeadingBlanks(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? text.size() : first;
}

std::size_t TrailingBlanks(const std::string& text) {
    const std::size_t last = text.find_last_not_of(' ');
    return last == std::string::npos ? text.size() : text.size() - 1 - last;
}

// The key a button or shortcut tip names at its end, such as "(Del)" or "(X)"; empty for texts
// that end otherwise. A key is what the keyboard says, in every language.
std::string KeyOf(const std::string& text) {
    for (const char* key : {"Del", "Home", "End", "<--", "-->"}) {
        const std::string hint = std::string("(") + key + ")";
        if (text.ends_with(hint))
            return hint;
    }
    const std::size_t n = text.size();
    if (n >= 3 && text[n - 3] == '(' && text[n - 1] == ')' && text[n - 2] >= 'A' &&
        text[n - 2] <= 'Z')
        return text.substr(n - 3);
    return {};
}

bool HasNonAscii(const std::string& text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

// A language showing another's wording would pass every check of form below.
TEST(LanguageTables, EachLanguageShowsItsOwnWording) {
    std::vector<LANGID> languages;
    for (const auto& entry : Res().translations)
        languages.push_back(entry.first);
    EXPECT_EQ(languages, (std::vector<LANGID>{LANG_CHINESE_TRADITIONAL, LANG_CHINESE_SIMPLIFIED}));

    struct Expected {
        const LanguageResources* tables;
        const char* tip;
        const char* menuTitle;
        const char* listCaption;
    };
    const Expected expected[] = {
        {&Res(), "Unlock", "Storyboard", "Storyboard List"},
        {&Tables(LANG_CHINESE_SIMPLIFIED), "解锁", "故事板", "故事板列表"},
        {&Tables(LANG_CHINESE_TRADITIONAL), "解除鎖定", "腳本", "腳本清單"},
    };
    for (const Expected& e : expected) {
        EXPECT_EQ(e.tables->strings.at(IDS_TIP_UNLOCK).str(), e.tip);
        EXPECT_EQ(e.tables->menus.at(IDR_MENU_STORYBOARD).items.at(0).text.str(), e.menuTitle);
        EXPECT_EQ(e.tables->dialogs.at(IDD_SBLIST).caption.str(), e.listCaption);
    }
}

TEST(LanguageTables, TextsAreTranslatedAndWellFormed) {
    // These two are not for reading: the status line searches the host's caption for the
    // letters of the first, and the second is the host's name of an effect.
    const std::set<UINT> kept = {IDS_STATUS_PREFIX_MARK, IDS_PAINT_FX_COPY};
    for (const Translation& t : kTranslations) {
        SCOPED_TRACE(t.name);
        for (const auto& [id, text] : Tables(t.language).strings) {
            const std::string& english = Res().strings.at(id).str();
            const std::string& local = text.str();
            if (kept.contains(id)) {
                EXPECT_EQ(local, english) << id;
                continue;
            }
            EXPECT_TRUE(HasNonAscii(local)) << id << " reads \"" << local << "\"";
            EXPECT_EQ(kel::platform::ToValidUtf8(local), local) << id << ": broken UTF-8";
        }
    }
    // The two Chinese tables are not one table twice.
    EXPECT_NE(Tables(LANG_CHINESE_SIMPLIFIED).strings.at(IDS_ASK_DELETE_TRACK),
              Tables(LANG_CHINESE_TRADITIONAL).strings.at(IDS_ASK_DELETE_TRACK));
}

TEST(LanguageTables, FormatMarkersBreaksBlanksAndKeysAgreeWithEnglish) {
    for (const Translation& t : kTranslations) {
        SCOPED_TRACE(t.name);
        for (const auto& [id, text] : Tables(t.language).strings) {
            const std::string& english = Res().strings.at(id).str();
            const std::string& local = text.str();
            EXPECT_EQ(Conversions(local), Conversions(english)) << id;
            EXPECT_EQ(std::count(local.begin(), local.end(), '\n'),
                      std::count(english.begin(), english.end(), '\n'))
                << id;
            // The status line and the zoom text put these pieces together without blanks.
            EXPECT_EQ(LeadingBlanks(local), LeadingBlanks(english)) << id << " \"" << local << '"';
            EXPECT_EQ(TrailingBlanks(local), TrailingBlanks(english))
                << id << " \"" << local << '"';
            EXPECT_EQ(KeyOf(local), KeyOf(english)) << id << " \"" << local << '"';
        }
    }
}

TEST(LanguageTables, MenusAndDialogsKeepTheirShape) {
    for (const Translation& t : kTranslations) {
        SCOPED_TRACE(t.name);
        const LanguageResources& local = Tables(t.language);
        for (const auto& [menuId, english] : Res().menus) {
            const MenuItemTemplate& popup = local.menus.at(menuId).items.at(0);
            const MenuItemTemplate& englishPopup = english.items.at(0);
            EXPECT_TRUE(HasNonAscii(popup.text.str())) << "menu " << menuId;
            ASSERT_EQ(popup.popup.size(), englishPopup.popup.size()) << "menu " << menuId;
            for (std::size_t i = 0; i < popup.popup.size(); ++i) {
                const MenuItemTemplate& item = popup.popup[i];
                EXPECT_EQ(item.id, englishPopup.popup[i].id) << "menu " << menuId << ", " << i;
                EXPECT_EQ(item.separator, englishPopup.popup[i].separator);
                if (!item.separator) {
                    EXPECT_EQ(item.text, local.strings.at(item.id)) << item.id;
                }
            }
        }
        for (const auto& [dialogId, english] : Res().dialogs) {
            const DialogTemplate& dlg = local.dialogs.at(dialogId);
            EXPECT_TRUE(HasNonAscii(dlg.caption.str())) << "dialog " << dialogId;
            EXPECT_EQ(dlg.cx, english.cx);
            EXPECT_EQ(dlg.cy, english.cy);
            ASSERT_EQ(dlg.items.size(), english.items.size()) << "dialog " << dialogId;
            for (std::size_t i = 0; i < dlg.items.size(); ++i) {
                const DialogItemTemplate& item = dlg.items[i];
                const DialogItemTemplate& base = english.items[i];
                EXPECT_EQ(item.id, base.id);
                EXPECT_EQ(item.style, base.style) << item.id;
                EXPECT_EQ((std::array{item.x, item.y, item.cx, item.cy}),
                          (std::array{base.x, base.y, base.cx, base.cy}))
                    << item.id;
                EXPECT_EQ(item.caption.IsEmpty(), base.caption.IsEmpty()) << item.id;
                // The skin's mark stays at the end of the captions that carry it.
                EXPECT_EQ(item.caption.str().ends_with("@p"), base.caption.str().ends_with("@p"))
                    << item.id;
            }
        }
    }
}

} // namespace
} // namespace kel::res
