// Text on the desktop: the Qt font of a LOGFONT, and the texts measured and drawn in it.
//
// Every label of a paint is measured when the editor lays it out and drawn right after, and the
// same labels come back paint after paint. Shaping a text (finding its glyphs and their
// advances) is the dearest part of drawing it, so each font keeps the widths and the glyphs of
// its texts: a text is shaped once to be measured and once to be drawn, and is then only
// looked up, until the bound of kept texts is reached and they are shaped afresh.
#pragma once

#include "platform/backend.h"
#include "platform/gdi.h"

#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QList>
#include <QPoint>
#include <QRect>
#include <cstddef>
#include <string>
#include <unordered_map>

class QPainter;

namespace kel::qt {

// The font a LOGFONT stands for. Windows face names map to the installed families that look
// closest, so measuring and drawing agree on every machine.
QFont ToQFont(const LOGFONT& font);

class FontFace {
public:
    explicit FontFace(const QFont& font);

    const QFont& Font() const { return m_font; }
    const QFontMetrics& Metrics() const { return m_metrics; }
    // Asked at every DrawText; the average width is worked out over the font's glyphs.
    const kel::platform::TextMetrics& TextMetrics() const { return m_textMetrics; }
    // What QFontMetrics::horizontalAdvance gives for the UTF-8 text.
    int Width(const std::string& text);
    // Draws the UTF-8 text in the painter's pen colour with the left end of its baseline at
    // `baseline`: the pixels QPainter::drawText gives there.
    void Draw(QPainter& painter, QPoint baseline, const std::string& text);
    // Every pixel Draw may change, relative to the left end of the baseline; null when the
    // text is drawn the plain way, whose reach is not known beforehand.
    QRect Reach(const std::string& text);

    // How many texts a font keeps before it starts afresh.
    static constexpr std::size_t kKeptTexts = 4096;
    // Pixels around a glyph's outline that drawing it may still change.
    static constexpr int kInkMargin = 2;

private:
    enum class Drawing { Unknown, Glyphs, Plain };
    struct Shaped {
        int width = -1; // not measured yet
        Drawing drawing = Drawing::Unknown;
        QList<QGlyphRun> glyphs; // baseline-relative
        QRect reach;             // of the glyphs, baseline-relative
    };
    Shaped& Find(const std::string& text);
    void Shape(Shaped& shaped, const QString& text) const;

    QFont m_font;
    QFontMetrics m_metrics;
    kel::platform::TextMetrics m_textMetrics;
    // Decorations are drawn by QPainter::drawText along with the glyphs; such fonts are rare
    // and draw the plain way.
    bool m_decorated;
    std::unordered_map<std::string, Shaped> m_texts;
    std::pair<const std::string, Shaped>* m_last = nullptr; // found last
};

// The face of a LOGFONT, made on first use and kept for the process.
FontFace& FaceFor(const LOGFONT& font);

} // namespace kel::qt
