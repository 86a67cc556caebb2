// The Chinese texts on the desktop: every character of both Chinese tables is drawn with a real
// glyph, not the empty box a font shows for a character it lacks. Qt falls back from the font
// the editor asks for to an installed font that has the character; on a machine without a CJK
// font (the set-up installs fonts-wqy-microhei) this test says so.
#include "qt/qt_text.h"

#include "res/module_resources.h"

#include <QFontDatabase>
#include <QRawFont>
#include <QTextLayout>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

// Every character of one language's texts (strings, menu titles, dialog captions) above ASCII.
std::set<char32_t> CharactersOf(const LanguageResources& tables) {
    std::set<char32_t> found;
    const auto add = [&found](const CString& text) {
        for (const char32_t c : QString::fromUtf8(text.str()).toUcs4())
            if (c > 0x7E)
                found.insert(c);
    };
    for (const auto& [id, text] : tables.strings)
        add(text);
    for (const auto& [id, menu] : tables.menus)
        add(menu.items.front().text);
    for (const auto& [id, dialog] : tables.dialogs) {
        add(dialog.caption);
        for (const DialogItemTemplate& item : dialog.items)
            add(item.caption);
    }
    return found;
}

// Whether Qt draws `c` in `font`, or in the font it falls back to, with a glyph of its own.
bool DrawsWithAGlyph(const QFont& font, char32_t c) {
    QTextLayout layout(QString::fromUcs4(&c, 1), font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    for (const QGlyphRun& run : layout.glyphRuns()) {
        if (!run.rawFont().supportsCharacter(static_cast<uint>(c)))
            continue;
        const QList<quint32> glyphs = run.glyphIndexes();
        if (!glyphs.isEmpty() && glyphs.front() != 0)
            return true;
    }
    return false;
}

LOGFONT Face(const char* name, int height) {
    LOGFONT font;
    font.lfHeight = height;
    font.lfFaceName = name;
    return font;
}

TEST(ChineseText, EveryCharacterHasAGlyphInTheFontsTheEditorUses) {
    ASSERT_FALSE(QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty() &&
                 QFontDatabase::families(QFontDatabase::TraditionalChinese).isEmpty())
        << "no Chinese font installed: tools/setup.sh installs fonts-wqy-microhei";
    // Qt's own default, the dialogs' Times New Roman and the skinned controls' Tahoma.
    const QFont fonts[] = {QFont(), kel::qt::ToQFont(Face("Times New Roman", -12)),
                           kel::qt::ToQFont(Face("Tahoma", -12))};
    const auto& resources = kel::res::KelSBEditResources();
    for (const LANGID language : {LANG_CHINESE_SIMPLIFIED, LANG_CHINESE_TRADITIONAL}) {
        const std::set<char32_t> characters = CharactersOf(resources.translations.at(language));
        EXPECT_GT(characters.size(), 100u) << language;
        for (const QFont& font : fonts) {
            std::string missing;
            for (const char32_t c : characters)
                if (!DrawsWithAGlyph(font, c))
                    missing += QString::fromUcs4(&c, 1).toStdString();
            EXPECT_TRUE(missing.empty()) << "language " << language << ", font "
                                         << font.family().toStdString() << ": " << missing;
        }
    }
}

} // namespace
